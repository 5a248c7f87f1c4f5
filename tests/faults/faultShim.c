/* Preloaded (LD_PRELOAD) into the program that tst_faultMatrix drives. It counts the calls that
 * replace or delete a file under the folder QB_FAULT_ROOT (named by absolute paths, as the program
 * names them): opens for writing, writes, syncs (fdatasync, fsync), renames and links, unlinks;
 * and it kills the process (SIGKILL) before or after one of them, or makes one fail, as
 * QB_FAULT="<mode> <call> <N> <sticky>" says: mode none, kill-before, kill-after, fail or stall
 * (the call waits 60 s first, reported as ",stall", as on a disk that does not answer); the Nth
 * counted call, of any kind or of one (open, write, sync, rename, unlink); sticky 1: every later
 * call of the kind fails (stalls) too, as on a disk that stays full. Each counted call is reported
 * on stderr once made (before, for kill-before):
 *   CALL <any#> <kind> <kind#> <inode> <flags> <path>
 * flags: dir (a folder's descriptor), clean (a sync with nothing written since the last one) or
 * "-", then any of ",failed", ",injected" (failed by the shim), ",kill-before", ",kill-after".
 * The calls go straight to the kernel; a write writes at most 4096 bytes, as the kernel may, so
 * the caller must loop. QB_FAULT="untyped" changes nothing but the listing of every folder: readdir
 * gives each entry's type as DT_UNKNOWN, as some network and FUSE file systems do. Linux only. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

enum { K_OPEN, K_WRITE, K_SYNC, K_RENAME, K_UNLINK, K_NONE };
static const char* const kKinds[] = {"open", "write", "sync", "rename", "unlink"};
static const int kErrno[] = {ENOSPC, ENOSPC, EIO, ENOSPC, EPERM};
static long anyCount, kindCount[K_NONE];
static char dirty[4096]; /* by descriptor: opened or written to since its last sync */
static _Thread_local struct {
    int kind, fd, fail;
    long any, nth;
    unsigned long ino;
    const char* flags;
    char path[4096];
} c; /* the call being made */

static int hit(const char* fault) {
    char mode[16] = "", kind[16] = "";
    long at = 0;
    int sticky = 0;
    sscanf(getenv("QB_FAULT") ? getenv("QB_FAULT") : "", "%15s %15s %ld %d", mode, kind, &at,
           &sticky);
    return c.kind != K_NONE && strcmp(mode, fault) == 0 &&
           (strcmp(kind, "any") == 0
                ? c.any == at
                : strcmp(kind, kKinds[c.kind]) == 0 && (c.nth == at || (sticky && c.nth > at)));
}

static void report(const char* more, int thenDie) {
    char line[5000];
    const int n = snprintf(line, sizeof line, "CALL %ld %s %ld %lu %s%s %s\n", c.any,
                           kKinds[c.kind], c.nth, c.ino, c.flags, more, c.path);
    syscall(SYS_write, 2, line, (size_t)n);
    while (thenDie)
        kill(getpid(), SIGKILL);
}

/* Counts a call of kind on path (without a path, the file of dirfd) when it is under the root,
 * with the inode of (statDir, statPath); true when it is to fail. */
static int begin(int kind, int dirfd, const char* path, int statDir, const char* statPath) {
    const char* root = getenv("QB_FAULT_ROOT") ? getenv("QB_FAULT_ROOT") : "";
    const size_t n = strlen(root);
    struct stat st = {0}; /* without a path, the open file of statDir (even one without a name) */
    fstatat(statDir, statPath ? statPath : "", &st, statPath ? 0 : AT_EMPTY_PATH);
    char link[48];
    snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
    const ssize_t got = path ? snprintf(c.path, sizeof c.path, "%s", path)
                             : readlink(link, c.path, sizeof c.path - 1);
    c.path[got > 0 && got < (ssize_t)sizeof c.path ? got : 0] = 0;
    /* under the root: the root, or the root, "/" and more (strchr finds the '\0' too) */
    const int under = n && strncmp(c.path, root, n) == 0 && strchr("/", c.path[n]);
    c.kind = under ? kind : K_NONE;
    c.fd = dirfd;
    c.fail = 0;
    c.ino = (unsigned long)st.st_ino;
    c.flags = kind != K_SYNC || dirty[dirfd & 4095] ? "-" : "clean";
    c.flags = kind == K_SYNC && S_ISDIR(st.st_mode) ? "dir" : c.flags;
    if (c.kind == K_NONE)
        return 0;
    c.any = ++anyCount;
    c.nth = ++kindCount[kind];
    if (hit("kill-before"))
        report(",kill-before", 1);
    if (hit("stall")) {
        struct timespec left = {60, 0};
        report(",stall", 0);
        while (nanosleep(&left, &left) != 0 && errno == EINTR) {
        }
    }
    errno = (c.fail = hit("fail")) ? kErrno[kind] : errno;
    return c.fail;
}

static long end(long result) {
    const int saved = errno, die = hit("kill-after");
    char more[48];
    if (c.kind == K_NONE)
        return result;
    struct stat st;
    if (c.kind == K_OPEN && result >= 0 && fstat((int)result, &st) == 0)
        c.ino = (unsigned long)st.st_ino;
    if (c.kind <= K_SYNC && result >= 0) /* a new file, even empty, is not on the disk yet */
        dirty[(c.kind == K_OPEN ? result : c.fd) & 4095] = c.kind != K_SYNC;
    snprintf(more, sizeof more, "%s%s%s", result < 0 ? ",failed" : "", c.fail ? ",injected" : "",
             die ? ",kill-after" : "");
    report(more, die);
    errno = saved;
    return result;
}

/* A wrapper: the call counted as kind on (dirfd, path), with the inode of (statDir, statPath),
 * then made by call unless it is to fail. A variadic open reads the mode whatever the flags: the
 * kernel ignores it unless they need it. */
#define WRAP(ret, name, params, kind, dirfd, path, statDir, statPath, call)                        \
    ret name params {                                                                              \
        return end(begin(kind, dirfd, path, statDir, statPath) ? -1 : (call));                     \
    }
#define OPEN(name, AT, dirfd)                                                                      \
    int name(AT const char* p, int f, ...) {                                                       \
        va_list ap;                                                                                \
        va_start(ap, f);                                                                           \
        const int mode = va_arg(ap, int);                                                          \
        va_end(ap);                                                                                \
        return openAt(dirfd, p, f, mode);                                                          \
    }
#define AT int d,
#define CWD AT_FDCWD
#define FROM_TO int d1, const char *p1, int d2, const char *p2
#define SYS(name, ...) syscall(SYS_##name, __VA_ARGS__)

WRAP(static int, openAt, (AT const char* p, int f, int m),
     (f & (O_ACCMODE | O_CREAT | O_TRUNC)) ? K_OPEN : K_NONE, d, p, d, p,
     SYS(openat, d, p, f | O_LARGEFILE, m))
OPEN(open, , CWD)
OPEN(open64, , CWD)
OPEN(openat, AT, d)
OPEN(openat64, AT, d)
WRAP(ssize_t, write, (int fd, const void* b, size_t n), K_WRITE, fd, 0, fd, 0,
     SYS(write, fd, b, n < 4096 ? n : 4096))
WRAP(int, fsync, (int fd), K_SYNC, fd, 0, fd, 0, SYS(fsync, fd))
WRAP(int, fdatasync, (int fd), K_SYNC, fd, 0, fd, 0, SYS(fdatasync, fd))
WRAP(int, rename, (const char* p1, const char* p2), K_RENAME, CWD, p2, CWD, p1,
     SYS(renameat2, CWD, p1, CWD, p2, 0))
WRAP(int, renameat, (FROM_TO), K_RENAME, d2, p2, d1, p1, SYS(renameat2, d1, p1, d2, p2, 0))
WRAP(int, renameat2, (FROM_TO, unsigned f), K_RENAME, d2, p2, d1, p1,
     SYS(renameat2, d1, p1, d2, p2, f))
WRAP(int, link, (const char* p1, const char* p2), K_RENAME, CWD, p2, CWD, p1,
     SYS(linkat, CWD, p1, CWD, p2, 0))
WRAP(int, linkat, (FROM_TO, int f), K_RENAME, d2, p2, d1, p1, SYS(linkat, d1, p1, d2, p2, f))
WRAP(int, unlink, (const char* p), K_UNLINK, CWD, p, CWD, p, SYS(unlinkat, CWD, p, 0))
WRAP(int, unlinkat, (AT const char* p, int f), K_UNLINK, d, p, d, p, SYS(unlinkat, d, p, f))

#define UNTYPED(name, entry)                                                                       \
    struct entry* name(DIR* d) {                                                                   \
        static struct entry* (*next)(DIR*);                                                        \
        if (!next)                                                                                 \
            *(void**)&next = dlsym(RTLD_NEXT, #name);                                              \
        struct entry* e = next(d);                                                                 \
        if (e && strcmp(getenv("QB_FAULT") ? getenv("QB_FAULT") : "", "untyped") == 0)             \
            e->d_type = DT_UNKNOWN;                                                                \
        return e;                                                                                  \
    }
UNTYPED(readdir, dirent)
UNTYPED(readdir64, dirent64)
