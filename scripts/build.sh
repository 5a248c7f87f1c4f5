#!/usr/bin/env bash
# Configures and builds one of the CMake presets (CMakePresets.json):
#   scripts/build.sh [default|program|sanitizer|fuzz] [cmake options...]
# "program" is the default preset's folder, build/, with only the program and
# its help file built; "default" builds the tests and benchmarks there too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-default}
shift || true
configure=$preset
[ "$preset" = program ] && configure=default
cd "$root"
cmake --preset "$configure" "$@" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
