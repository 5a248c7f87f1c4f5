#!/usr/bin/env bash
# Cross-builds Qt 6 (qtbase only: Core, Gui, Widgets, Test and the Windows
# platform plugins) for 64-bit Windows with Debian's MinGW-w64, from Debian's
# own qt6-base source of the same version as the host's qt6-base-dev, and
# keeps it in a cache outside the repository. The first run took 33 minutes
# on 2 idle cores, nearly all of it the build; later runs return at once.
#
# Usage: scripts/windows-qt.sh [--rebuild]
#   prefix=$(scripts/windows-qt.sh)
#   cmake -G Ninja -S . -B build-win \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH="$prefix"
#
# The Qt prefix is the last (and only) line on standard output; progress goes
# to standard error, and configure/build output to a log file next to the
# prefix. Settings (environment):
#   QUILLBOX_QT_CACHE      cache folder (default ${XDG_CACHE_HOME:-$HOME/.cache}/quillbox)
#   QUILLBOX_QT_JOBS       parallel build jobs (default: nproc)
#   QUILLBOX_QT_TIMEOUT    time limit of the build step in seconds (default 7200)
#   QUILLBOX_QT_KEEP_BUILD keep the source and build folders after success (1)
set -euo pipefail

# Everything but the final prefix line goes to stderr.
exec 3>&1 1>&2

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
toolchain="$repo/cmake/mingw-w64-x86_64.cmake"

# Bump when the configure options below change, so that caches are rebuilt.
recipe=2

rebuild=0
case "${1:-}" in
    "") ;;
    --rebuild) rebuild=1 ;;
    -h|--help) sed -n '2,20p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "usage: $0 [--rebuild]" >&2; exit 2 ;;
esac

log() { printf 'windows-qt: %s\n' "$*"; }
die() { printf 'windows-qt: error: %s\n' "$*"; exit 1; }
duration() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

[ -f "$toolchain" ] || die "toolchain file missing: $toolchain"

# --- packages ---------------------------------------------------------------
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
wanted=(gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        mingw-w64-x86-64-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools
        dpkg-dev perl python3 xz-utils ca-certificates)
missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    timeout -k 30 900 "${sudo[@]}" apt-get update -qq
    timeout -k 30 1800 "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The target Qt must be the host Qt's version: moc, rcc and uic come from it.
debver=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)   # e.g. 6.4.2+dfsg-10
upver=${debver#*:}; upver=${upver%%[+~-]*}                     # e.g. 6.4.2
host_qt_config=$(dpkg -L qt6-base-dev | grep '/cmake/Qt6/Qt6Config\.cmake$' || true)
[ -n "$host_qt_config" ] || die "qt6-base-dev has no Qt6Config.cmake"
host_cmake_dir=$(dirname "$(dirname "${host_qt_config%%$'\n'*}")")  # /usr/lib/<multiarch>/cmake

cache=${QUILLBOX_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillbox}
prefix="$cache/qt6-mingw-$upver"
work="$cache/qt6-mingw-$upver.work"
buildlog="$cache/qt6-mingw-$upver.log"
stamp="$prefix/.quillbox-qt-stamp"
stamp_text="qt6-base $debver recipe $recipe x86_64-w64-mingw32-posix $(x86_64-w64-mingw32-g++-posix -dumpversion)"
mkdir -p "$cache"

# One build at a time per cache; a second caller waits for the first.
exec 9>"$cache/qt6-mingw-$upver.lock"
timeout 7800 flock 9 || die "timed out waiting for another build to finish"

if [ "$rebuild" = 0 ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ] \
    && [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    log "using cached Qt $debver for Windows"
    echo "$prefix" >&3
    exit 0
fi

# Nothing half-built is reused: an interrupted build starts over from scratch
# (a re-run of Qt's configure in an old build folder ignores new options).
log "building Qt $debver (qtbase) for x86_64-w64-mingw32 into $prefix"
log "log: $buildlog"
rm -rf "$prefix" "$work/src" "$work/build"
mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$work/apt/cache/archives/partial" \
         "$work/download" "$work/build"
: >"$buildlog"
started=$SECONDS

# --- Debian's source, without touching the machine's apt configuration ------
# deb-src entries for the Debian suites this machine already uses (same mirror).
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || die "cannot tell the Debian release from /etc/os-release"
srclist="$work/apt/sources.list.d/quillbox-qt.list"
{
    shopt -s nullglob
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        # one-line format: deb [options] uri suite components...
        awk -v cn="$codename" '
            $1 == "deb" {
                opts = ""; i = 2
                if ($2 ~ /^\[/) { while ($i !~ /\]$/) { opts = opts $i " "; i++ } opts = opts $i; i++ }
                uri = $i; suite = $(i + 1)
                if (suite == cn || suite == cn "-updates" || suite == cn "-security")
                    print "deb-src " opts " " uri " " suite " main"
            }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        # deb822 format: stanzas of Types/URIs/Suites/Signed-By fields
        awk -v cn="$codename" '
            function flush(   n, u, s, uris, suites, j, k, opt) {
                if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                    opt = (signed != "") ? "[signed-by=" signed "] " : ""
                    n = split(urilist, uris, " "); k = split(suitelist, suites, " ")
                    for (j = 1; j <= n; j++) for (s = 1; s <= k; s++)
                        if (suites[s] == cn || suites[s] == cn "-updates" || suites[s] == cn "-security")
                            print "deb-src " opt uris[j] " " suites[s] " main"
                }
                types = urilist = suitelist = signed = enabled = ""
            }
            /^[[:space:]]*$/ { flush(); next }
            /^#/ { next }
            tolower($1) == "types:"     { sub(/^[^:]*:[[:space:]]*/, ""); types = $0 }
            tolower($1) == "uris:"      { sub(/^[^:]*:[[:space:]]*/, ""); urilist = $0 }
            tolower($1) == "suites:"    { sub(/^[^:]*:[[:space:]]*/, ""); suitelist = $0 }
            tolower($1) == "signed-by:" { sub(/^[^:]*:[[:space:]]*/, ""); if ($0 ~ /^\//) signed = $0 }
            tolower($1) == "enabled:"   { sub(/^[^:]*:[[:space:]]*/, ""); enabled = tolower($0) }
            END { flush() }' "$f"
    done
} | sort -u >"$srclist"
if [ ! -s "$srclist" ]; then
    key=/usr/share/keyrings/debian-archive-keyring.gpg
    opt=""; [ -f "$key" ] && opt="[signed-by=$key] "
    echo "deb-src ${opt}http://deb.debian.org/debian $codename main" >"$srclist"
fi
log "source entries: $(tr '\n' ';' <"$srclist")"

apt_private=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
             -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
             -o APT::Sandbox::User=root)
log "fetching Debian's qt6-base $debver source"
timeout -k 30 600 apt-get "${apt_private[@]}" -q update >>"$buildlog" 2>&1 \
    || { tail -n 20 "$buildlog"; die "apt-get update (private source list) failed"; }
(cd "$work/download" && timeout -k 30 1200 apt-get "${apt_private[@]}" -q source --download-only "qt6-base=$debver") \
    >>"$buildlog" 2>&1 || { tail -n 20 "$buildlog"; die "apt-get source qt6-base=$debver failed"; }
dsc=$(ls "$work"/download/qt6-base_*.dsc | head -n 1)
timeout -k 30 600 dpkg-source -x "$dsc" "$work/src" >>"$buildlog" 2>&1 \
    || { tail -n 20 "$buildlog"; die "dpkg-source -x failed"; }

# --- configure, build, install ---------------------------------------------
jobs=${QUILLBOX_QT_JOBS:-$(nproc)}
configure_args=(
    -prefix "$prefix"
    -xplatform win32-g++
    -qt-host-path /usr
    -release -shared -opensource -confirm-license
    -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-feature-vulkan
    -no-feature-network -no-feature-sql -no-feature-printsupport
    -no-feature-concurrent -no-feature-xml -no-feature-androiddeployqt
    # Debian's source drops src/3rdparty/wintab, which the tablet support needs.
    -no-feature-tabletevent
    # Bundled third-party libraries; FreeType also gives the offscreen plugin,
    # for a widget program run without a display. No JPEG: the program shows none.
    -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -qt-freetype -qt-harfbuzz
    --
    -G Ninja
    "-DCMAKE_TOOLCHAIN_FILE=$toolchain"
    "-DQT_HOST_PATH_CMAKE_DIR=$host_cmake_dir"
)
log "configuring (see $buildlog)"
(cd "$work/build" && timeout -k 30 1200 "$work/src/configure" "${configure_args[@]}") >>"$buildlog" 2>&1 \
    || { tail -n 40 "$buildlog"; die "configure failed"; }
log "building with $jobs jobs (limit ${QUILLBOX_QT_TIMEOUT:-7200}s)"
timeout -k 60 "${QUILLBOX_QT_TIMEOUT:-7200}" cmake --build "$work/build" --parallel "$jobs" >>"$buildlog" 2>&1 \
    || { tail -n 40 "$buildlog"; die "build failed or timed out after $(duration $((SECONDS - started)))"; }
log "installing"
timeout -k 30 900 cmake --install "$work/build" --strip >>"$buildlog" 2>&1 \
    || { tail -n 40 "$buildlog"; die "install failed"; }
[ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ] || die "install left no Qt6Config.cmake in $prefix"

# The stamp is written last: without it the next run builds again.
echo "$stamp_text" >"$stamp"
[ "${QUILLBOX_QT_KEEP_BUILD:-0}" = 1 ] || rm -rf "$work"
log "Qt build took $(duration $((SECONDS - started))); $(du -sh "$prefix" | cut -f1) in $prefix"
echo "$prefix" >&3
