/* Fault injection for the crash and fault matrix, loaded with LD_PRELOAD into
 * the writer driver. It wraps the calls through which a file is replaced or
 * deleted: open (for writing), write, fdatasync/fsync, rename/link and unlink.
 * Only calls on paths under one of the prefixes in QB_FAULT_PREFIXES (colon
 * separated) are counted, so files the toolkit opens for itself never shift
 * the counts.
 *
 * Environment:
 *   QB_FAULT_PREFIXES  folders whose files count
 *   QB_FAULT           none (count only), kill-before, kill-after, fail
 *   QB_FAULT_CALL      any, open, write, sync, rename, unlink
 *   QB_FAULT_AT        N: the Nth counted call of that kind (1-based)
 *   QB_FAULT_STICKY    1: with fail, every later call of the kind fails too,
 *                      as on a disk that stays full
 *   QB_SHORT_WRITES    B: a counted write writes at most B bytes and returns
 *                      that count, as the kernel may; the caller must loop
 *
 * Every counted call is reported on stderr, one line each:
 *   CALL <any#> <kind> <kind#> ino=<inode> <flags> <path>
 * where path is the target for rename and link, flags is "-" or a
 * comma-separated set of: dir (the fd is a folder), clean (a sync with no
 * write since the last sync that succeeded), failed (the call failed). An
 * injected fault is reported before it happens:
 *   FAULT <kill-before|kill-after|fail> <any#> <kind> <kind#> <path>
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

enum Kind { K_OPEN, K_WRITE, K_SYNC, K_RENAME, K_UNLINK, K_KINDS, K_ANY = -1 };
static const char* const kKindNames[K_KINDS] = {"open", "write", "sync", "rename", "unlink"};
static const int kFailErrno[K_KINDS] = {ENOSPC, ENOSPC, EIO, ENOSPC, EPERM};

enum Mode { M_NONE, M_KILL_BEFORE, M_KILL_AFTER, M_FAIL };

#define MAX_PREFIXES 8
#define MAX_FDS 4096

static struct {
    int ready;
    enum Mode mode;
    int kind; /* K_ANY or a Kind */
    long at;
    int sticky;
    long shortWrites;
    char prefixes[MAX_PREFIXES][PATH_MAX];
    int prefixCount;
    long anyCount;
    long kindCount[K_KINDS];
    unsigned char dirty[MAX_FDS];
} S;

/* ---- the real calls ---------------------------------------------------- */

#define REAL(name) real_##name
/* The next definition of name, in the C library. (Assigned through a void
 * pointer, as POSIX suggests for dlsym's answer.) */
#define DECLARE_REAL(ret, name, ...)                                                               \
    static ret (*real_##name)(__VA_ARGS__);                                                        \
    static void load_##name(void) {                                                                \
        if (!real_##name)                                                                          \
            *(void**)(&real_##name) = dlsym(RTLD_NEXT, #name);                                     \
    }

DECLARE_REAL(int, open, const char*, int, ...)
DECLARE_REAL(int, open64, const char*, int, ...)
DECLARE_REAL(int, openat, int, const char*, int, ...)
DECLARE_REAL(int, openat64, int, const char*, int, ...)
DECLARE_REAL(ssize_t, write, int, const void*, size_t)
DECLARE_REAL(int, fsync, int)
DECLARE_REAL(int, fdatasync, int)
DECLARE_REAL(int, rename, const char*, const char*)
DECLARE_REAL(int, renameat, int, const char*, int, const char*)
DECLARE_REAL(int, renameat2, int, const char*, int, const char*, unsigned int)
DECLARE_REAL(int, link, const char*, const char*)
DECLARE_REAL(int, linkat, int, const char*, int, const char*, int)
DECLARE_REAL(int, unlink, const char*)
DECLARE_REAL(int, unlinkat, int, const char*, int)

/* ---- reporting --------------------------------------------------------- */

static void say(const char* text) {
    /* Straight to the kernel: never through the wrapped write. */
    size_t left = strlen(text);
    while (left > 0) {
        long n = syscall(SYS_write, 2, text, left);
        if (n <= 0)
            break;
        text += n;
        left -= (size_t)n;
    }
}

/* ---- set-up ------------------------------------------------------------ */

static int kindByName(const char* name) {
    if (!name || !*name || strcmp(name, "any") == 0)
        return K_ANY;
    for (int k = 0; k < K_KINDS; ++k)
        if (strcmp(name, kKindNames[k]) == 0)
            return k;
    return K_ANY;
}

static void setUp(void) {
    if (S.ready)
        return;
    S.ready = 1;
    const char* prefixes = getenv("QB_FAULT_PREFIXES");
    if (prefixes) {
        const char* p = prefixes;
        while (*p && S.prefixCount < MAX_PREFIXES) {
            const char* end = strchr(p, ':');
            size_t n = end ? (size_t)(end - p) : strlen(p);
            if (n > 0 && n < PATH_MAX) {
                memcpy(S.prefixes[S.prefixCount], p, n);
                S.prefixes[S.prefixCount][n] = 0;
                ++S.prefixCount;
            }
            p += n;
            if (*p == ':')
                ++p;
        }
    }
    const char* mode = getenv("QB_FAULT");
    if (mode && strcmp(mode, "kill-before") == 0)
        S.mode = M_KILL_BEFORE;
    else if (mode && strcmp(mode, "kill-after") == 0)
        S.mode = M_KILL_AFTER;
    else if (mode && strcmp(mode, "fail") == 0)
        S.mode = M_FAIL;
    else
        S.mode = M_NONE;
    S.kind = kindByName(getenv("QB_FAULT_CALL"));
    const char* at = getenv("QB_FAULT_AT");
    S.at = at ? strtol(at, NULL, 10) : 0;
    const char* sticky = getenv("QB_FAULT_STICKY");
    S.sticky = sticky && strcmp(sticky, "1") == 0;
    const char* shortWrites = getenv("QB_SHORT_WRITES");
    S.shortWrites = shortWrites ? strtol(shortWrites, NULL, 10) : 0;
    if (S.mode == M_FAIL && S.kind == K_ANY)
        S.mode = M_NONE; /* a failure needs a kind: the errno depends on it */
}

__attribute__((constructor)) static void shimLoaded(void) {
    setUp();
}

/* ---- paths ------------------------------------------------------------- */

static int fdPath(int fd, char* out, size_t size) {
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, out, size - 1);
    if (n < 0)
        return 0;
    out[n] = 0;
    return 1;
}

/* The absolute form of path, taken relative to dirfd. */
static void resolve(int dirfd, const char* path, char* out, size_t size) {
    if (!path) {
        out[0] = 0;
        return;
    }
    if (path[0] == '/') {
        snprintf(out, size, "%s", path);
        return;
    }
    char base[PATH_MAX];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(base, sizeof base))
            base[0] = 0;
    } else if (!fdPath(dirfd, base, sizeof base)) {
        base[0] = 0;
    }
    snprintf(out, size, "%s/%s", base, path);
}

static int underPrefix(const char* path) {
    for (int i = 0; i < S.prefixCount; ++i) {
        size_t n = strlen(S.prefixes[i]);
        if (strncmp(path, S.prefixes[i], n) == 0 &&
            (path[n] == 0 || path[n] == '/' || S.prefixes[i][n - 1] == '/'))
            return 1;
    }
    return 0;
}

static unsigned long fdInode(int fd) {
    struct stat st;
    return fd >= 0 && fstat(fd, &st) == 0 ? (unsigned long)st.st_ino : 0;
}

static unsigned long pathInode(const char* path) {
    struct stat st;
    return lstat(path, &st) == 0 ? (unsigned long)st.st_ino : 0;
}

static int fdIsDir(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

/* ---- the decision ------------------------------------------------------ */

struct Call {
    int kind;
    long any;   /* its number among all counted calls */
    long nth;   /* its number among the counted calls of its kind */
    int action; /* 0 pass, 1 fail */
    const char* path;
};

static int hits(const struct Call* c) {
    if (S.kind == K_ANY)
        return c->any == S.at;
    if (S.kind != c->kind)
        return 0;
    return c->nth == S.at || (S.sticky && S.mode == M_FAIL && c->nth > S.at);
}

static void report(const char* what, const struct Call* c) {
    char line[PATH_MAX + 128];
    snprintf(line, sizeof line, "FAULT %s %ld %s %ld %s\n", what, c->any, kKindNames[c->kind],
             c->nth, c->path);
    say(line);
}

static void killNow(void) {
    kill(getpid(), SIGKILL);
    for (;;)
        pause();
}

/* Counts a call on path and decides what becomes of it. */
static struct Call before(int kind, const char* path) {
    struct Call c = {kind, 0, 0, 0, path};
    setUp();
    if (!underPrefix(path)) {
        c.kind = -1;
        return c;
    }
    c.any = ++S.anyCount;
    c.nth = ++S.kindCount[kind];
    if (S.at > 0 && hits(&c)) {
        if (S.mode == M_KILL_BEFORE) {
            report("kill-before", &c);
            killNow();
        }
        if (S.mode == M_FAIL) {
            report("fail", &c);
            c.action = 1;
        }
    }
    return c;
}

static int after(const struct Call* c, int result, unsigned long ino, const char* flags) {
    int saved = errno;
    if (c->kind < 0)
        return result;
    char line[PATH_MAX + 160];
    char allFlags[64];
    snprintf(allFlags, sizeof allFlags, "%s%s%s", flags ? flags : "",
             (flags && *flags && result < 0) ? "," : "", result < 0 ? "failed" : "");
    snprintf(line, sizeof line, "CALL %ld %s %ld ino=%lu %s %s\n", c->any, kKindNames[c->kind],
             c->nth, ino, *allFlags ? allFlags : "-", c->path);
    say(line);
    if (S.mode == M_KILL_AFTER && S.at > 0 && hits(c)) {
        report("kill-after", c);
        killNow();
    }
    errno = saved;
    return result;
}

static int failWith(const struct Call* c) {
    errno = kFailErrno[c->kind];
    return -1;
}

/* ---- open -------------------------------------------------------------- */

static int forWriting(int flags) {
    return (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC)) ||
           (flags & O_TMPFILE) == O_TMPFILE;
}

static int needsMode(int flags) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
}

static int openCommon(int dirfd, const char* path, int flags, mode_t mode, int viaAt, int which) {
    char full[PATH_MAX];
    resolve(viaAt ? dirfd : AT_FDCWD, path, full, sizeof full);
    struct Call c = {-1, 0, 0, 0, full};
    if (forWriting(flags))
        c = before(K_OPEN, full);
    int fd;
    if (c.action) {
        fd = failWith(&c);
    } else {
        switch (which) {
        case 0:
            load_open();
            fd = REAL(open)(path, flags, mode);
            break;
        case 1:
            load_open64();
            fd = REAL(open64)(path, flags, mode);
            break;
        case 2:
            load_openat();
            fd = REAL(openat)(dirfd, path, flags, mode);
            break;
        default:
            load_openat64();
            fd = REAL(openat64)(dirfd, path, flags, mode);
            break;
        }
    }
    if (fd >= 0 && fd < MAX_FDS)
        S.dirty[fd] = 1; /* a new file: even empty, its size and inode are not yet on disk */
    return after(&c, fd, fd >= 0 ? fdInode(fd) : 0, "");
}

#define MODE_ARG(flags, mode)                                                                      \
    mode_t mode = 0;                                                                               \
    if (needsMode(flags)) {                                                                        \
        va_list ap;                                                                                \
        va_start(ap, flags);                                                                       \
        mode = (mode_t)va_arg(ap, int);                                                            \
        va_end(ap);                                                                                \
    }

int open(const char* path, int flags, ...) {
    MODE_ARG(flags, mode)
    return openCommon(AT_FDCWD, path, flags, mode, 0, 0);
}
int open64(const char* path, int flags, ...) {
    MODE_ARG(flags, mode)
    return openCommon(AT_FDCWD, path, flags, mode, 0, 1);
}
int openat(int dirfd, const char* path, int flags, ...) {
    MODE_ARG(flags, mode)
    return openCommon(dirfd, path, flags, mode, 1, 2);
}
int openat64(int dirfd, const char* path, int flags, ...) {
    MODE_ARG(flags, mode)
    return openCommon(dirfd, path, flags, mode, 1, 3);
}
int __open_2(const char* path, int flags) {
    return openCommon(AT_FDCWD, path, flags, 0, 0, 0);
}
int __open64_2(const char* path, int flags) {
    return openCommon(AT_FDCWD, path, flags, 0, 0, 1);
}
int __openat_2(int dirfd, const char* path, int flags) {
    return openCommon(dirfd, path, flags, 0, 1, 2);
}
int __openat64_2(int dirfd, const char* path, int flags) {
    return openCommon(dirfd, path, flags, 0, 1, 3);
}
int creat(const char* path, mode_t mode) {
    return openCommon(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode, 0, 0);
}
int creat64(const char* path, mode_t mode) {
    return openCommon(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode, 0, 1);
}

/* ---- write and sync ---------------------------------------------------- */

ssize_t write(int fd, const void* buffer, size_t count) {
    load_write();
    char path[PATH_MAX];
    setUp();
    if (fd <= 2 || S.prefixCount == 0 || !fdPath(fd, path, sizeof path) || !underPrefix(path))
        return REAL(write)(fd, buffer, count);
    const unsigned long ino = fdInode(fd);
    struct Call c = before(K_WRITE, path);
    ssize_t n;
    if (c.action) {
        n = failWith(&c);
    } else {
        if (S.shortWrites > 0 && count > (size_t)S.shortWrites)
            count = (size_t)S.shortWrites;
        n = REAL(write)(fd, buffer, count);
    }
    if (n > 0 && fd < MAX_FDS)
        S.dirty[fd] = 1;
    after(&c, n < 0 ? -1 : 0, ino, "");
    return n;
}

static int syncCommon(int fd, int data) {
    char path[PATH_MAX];
    setUp();
    load_fsync();
    load_fdatasync();
    if (S.prefixCount == 0 || !fdPath(fd, path, sizeof path) || !underPrefix(path))
        return data ? REAL(fdatasync)(fd) : REAL(fsync)(fd);
    const int dir = fdIsDir(fd);
    const int clean = !dir && fd >= 0 && fd < MAX_FDS && !S.dirty[fd];
    const unsigned long ino = fdInode(fd);
    struct Call c = before(K_SYNC, path);
    int r = c.action ? failWith(&c) : (data ? REAL(fdatasync)(fd) : REAL(fsync)(fd));
    if (r == 0 && fd >= 0 && fd < MAX_FDS)
        S.dirty[fd] = 0;
    return after(&c, r, ino, dir ? "dir" : clean ? "clean" : "");
}

int fsync(int fd) {
    return syncCommon(fd, 0);
}
int fdatasync(int fd) {
    return syncCommon(fd, 1);
}

/* ---- rename and link --------------------------------------------------- */

/* The inode that a rename or link moves: for a link from /proc/self/fd/N,
 * the open file's. */
static unsigned long sourceInode(int dirfd, const char* path) {
    char full[PATH_MAX];
    resolve(dirfd, path, full, sizeof full);
    int fd;
    if (sscanf(full, "/proc/self/fd/%d", &fd) == 1)
        return fdInode(fd);
    struct stat st;
    return stat(full, &st) == 0 ? (unsigned long)st.st_ino : 0;
}

#define MOVE_CALL(realCall, olddirfd, oldpath, newdirfd, newpath)                                  \
    char target[PATH_MAX];                                                                         \
    resolve(newdirfd, newpath, target, sizeof target);                                             \
    const unsigned long ino = sourceInode(olddirfd, oldpath);                                      \
    struct Call c = before(K_RENAME, target);                                                      \
    int r = c.action ? failWith(&c) : (realCall);                                                  \
    return after(&c, r, ino, "");

int rename(const char* oldpath, const char* newpath) {
    load_rename();
    MOVE_CALL(REAL(rename)(oldpath, newpath), AT_FDCWD, oldpath, AT_FDCWD, newpath)
}
int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath) {
    load_renameat();
    MOVE_CALL(REAL(renameat)(olddirfd, oldpath, newdirfd, newpath), olddirfd, oldpath, newdirfd,
              newpath)
}
int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
              unsigned int flags) {
    load_renameat2();
    MOVE_CALL(REAL(renameat2)(olddirfd, oldpath, newdirfd, newpath, flags), olddirfd, oldpath,
              newdirfd, newpath)
}
int link(const char* oldpath, const char* newpath) {
    load_link();
    MOVE_CALL(REAL(link)(oldpath, newpath), AT_FDCWD, oldpath, AT_FDCWD, newpath)
}
int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags) {
    load_linkat();
    MOVE_CALL(REAL(linkat)(olddirfd, oldpath, newdirfd, newpath, flags), olddirfd, oldpath,
              newdirfd, newpath)
}

/* ---- unlink ------------------------------------------------------------ */

int unlink(const char* path) {
    load_unlink();
    char full[PATH_MAX];
    resolve(AT_FDCWD, path, full, sizeof full);
    const unsigned long ino = pathInode(full);
    struct Call c = before(K_UNLINK, full);
    int r = c.action ? failWith(&c) : REAL(unlink)(path);
    return after(&c, r, ino, "");
}

int unlinkat(int dirfd, const char* path, int flags) {
    load_unlinkat();
    char full[PATH_MAX];
    resolve(dirfd, path, full, sizeof full);
    const unsigned long ino = pathInode(full);
    struct Call c = before(K_UNLINK, full);
    int r = c.action ? failWith(&c) : REAL(unlinkat)(dirfd, path, flags);
    return after(&c, r, ino, "");
}
