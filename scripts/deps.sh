#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quillbox
# need, when any is missing. Usage: scripts/deps.sh [run|test|windows]
set -euo pipefail

build=(cmake ninja-build g++ pkg-config qt6-base-dev fonts-comic-neue fp-utils libchm1)
run=(x11-utils)
# acl: setfacl, with which the test command lets its test user through folders closed to it
test=(xvfb xauth xdotool x11-utils clang libclang-rt-dev imagemagick acl)
# The Windows check (scripts/windows.sh): Wine and a sans font for it, and
# the end-to-end test's tools; scripts/windows-qt.sh installs the compilers.
windows=(wine wine64 fonts-liberation xvfb xauth xdotool x11-utils imagemagick)

wanted=("${build[@]}")
case "${1:-test}" in
    run) wanted+=("${run[@]}") ;;
    test) wanted+=("${test[@]}") ;;
    windows) wanted+=("${windows[@]}") ;;
    *) echo "usage: $0 [run|test|windows]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
