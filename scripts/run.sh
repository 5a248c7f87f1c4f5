#!/usr/bin/env bash
# The README's run command: installs what is missing, builds, makes the demo
# installation in build/demo/ and starts Quillbox on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" run
"$root/scripts/build.sh" program >/dev/null
demo=$("$root/scripts/demo.sh" "$root/build/demo" "$root/build")

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: set DISPLAY (or run under a desktop session) to start Quillbox." >&2
    exit 1
fi
if [ -n "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && ! xdpyinfo >/dev/null 2>&1; then
    echo "Cannot open the display '$DISPLAY'." >&2
    exit 1
fi

echo "Demo installation: $demo/kestrel"
echo "Password: quorp7"
# The demo's registry file is used instead of the user's own.
XDG_CONFIG_HOME="$demo/config" exec "$root/build/quillbox"
