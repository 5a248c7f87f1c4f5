#!/usr/bin/env bash
# The README's Windows check: cross-builds Quillbox.exe, its help file and its
# Qt Core-level tests for 64-bit Windows with MinGW-w64, against Qt built from
# Debian's own qt6-base source (scripts/windows-qt.sh, cached outside the
# clone), makes the folder a Windows user copies (build-win/Quillbox/), and
# runs, under Wine in a private prefix (build-win/wine/): the tests, and the
# real Quillbox.exe end to end, driven on its own X display as the Linux
# end-to-end test drives the Linux program. Every step has a time limit.
# Where Wine cannot run, it says so and fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
started=$SECONDS

step() { printf '\n=== [%4ds] %s\n' $((SECONDS - started)) "$*"; }
fail() { printf 'WINDOWS CHECK FAILED: %s\n' "$*" >&2; exit 1; }

step "Packages"
"$root/scripts/deps.sh" windows
[ -x /usr/lib/wine/wine64 ] || fail "Wine (wine64) is not installed, so nothing can run here"
wine_version=$(timeout 60 /usr/lib/wine/wine64 --version 2>&1) ||
    fail "Wine does not run on this machine: $wine_version"
echo "$wine_version"

step "Qt for Windows (built once, then taken from the cache)"
qt=$(timeout 7800 "$root/scripts/windows-qt.sh") || fail "no Qt for Windows"
echo "$qt"

step "Build (build-win/), warnings as errors"
cd "$root"
QUILLBOX_WINDOWS_QT=$qt timeout 600 cmake --preset windows >/dev/null
timeout 1800 cmake --build --preset windows -j "$jobs"

step "The program's folder (build-win/Quillbox/): what a Windows user copies"
folder="$root/build-win/Quillbox"
# MinGW's runtime, where its compiler keeps it.
runtime() { x86_64-w64-mingw32-g++-posix -print-file-name="$1"; }
mingw=$(dirname "$(runtime libstdc++-6.dll)")
rm -rf "$folder"
mkdir -p "$folder/platforms" "$folder/styles"
cp "$root/build-win/Quillbox.exe" "$root/build-win/Quillbox.chm" "$folder/"
cp "$qt/bin/Qt6Core.dll" "$qt/bin/Qt6Gui.dll" "$qt/bin/Qt6Widgets.dll" "$folder/"
cp "$qt/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
cp "$(runtime libstdc++-6.dll)" "$(runtime libgcc_s_seh-1.dll)" "$(runtime libwinpthread-1.dll)" \
    "$folder/"
find "$folder" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
(cd "$folder" && find . -type f | sort | sed 's/^\.\///' | while read -r f; do
    printf '  %-40s %6d KB\n' "$f" $(($(stat -c %s "$f") / 1024))
done)
printf '  in all %s\n' "$(du -sh "$folder" | cut -f1)"

step "Wine, in a private prefix (build-win/wine/)"
export QUILLBOX_WINEPREFIX="$root/build-win/wine"
QUILLBOX_WINEPATH="$qt/bin:$mingw:$(dirname "$(runtime libwinpthread-1.dll)")"
export QUILLBOX_WINEPATH
# Made at the first program; Wine's default dialog font then resolves to a
# sans font that is installed. RelayInclude lets the end-to-end test see the
# beeps (only when it asks for them with WINEDEBUG=+relay). With no window
# manager to offer the focus, Wine is told to take it as X gives it: otherwise
# a dialog shown a second time may never have the keyboard.
timeout 600 "$root/scripts/wine-run.sh" cmd /c exit 0 </dev/null >/dev/null ||
    fail "Wine could not make its prefix or run a program"
settings="$root/build-win/wine-settings.reg"
printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"MS Shell Dlg"="Liberation Sans"' '"MS Shell Dlg 2"="Liberation Sans"' \
    '"Tahoma"="Liberation Sans"' '"Segoe UI"="Liberation Sans"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Debug]' '"RelayInclude"="user32.MessageBeep"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"UseTakeFocus"="N"' >"$settings"
timeout 120 "$root/scripts/wine-run.sh" regedit /S "$settings" </dev/null
timeout 60 "$root/scripts/wine-run.sh" reg query 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus \
    </dev/null | grep -q REG_SZ || fail "the Wine prefix's settings were not imported"

step "Tests under Wine"
timeout 1800 ctest --test-dir "$root/build-win" --output-on-failure -j "$jobs"

step "End to end under Wine: the real Quillbox.exe"
timeout 600 bash "$root/tests/e2e/e2e.sh" --windows "$folder/Quillbox.exe" "$root/build-win/e2e-output"

step "Windows check passed in $((SECONDS - started)) s"
