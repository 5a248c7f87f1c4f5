#!/usr/bin/env bash
# Makes a demo installation in the folder given (default build/demo), unless
# one is there already: a Kestrel folder with an index and a few word lists,
# and a registry file that names both programs' folders, under
# <demo>/config/quillbox/registry.reg (point XDG_CONFIG_HOME at <demo>/config).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo=${1:-$root/build/demo}
program_dir=${2:-$root/build}
kestrel=$demo/kestrel
registry=$demo/config/quillbox/registry.reg

if [ ! -f "$registry" ]; then
    mkdir -p "$kestrel/Vocab Categories" "$(dirname "$registry")"
    crlf() { printf '%s\r\n' "$@"; }
    crlf animals colors fruit > "$kestrel/VocabularyLists.txt"
    crlf cat dog horse rabbit mouse > "$kestrel/Vocab Categories/animals.txt"
    crlf red green blue yellow > "$kestrel/Vocab Categories/colors.txt"
    crlf apple banana cherry pear plum > "$kestrel/Vocab Categories/fruit.txt"
    esc() { printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g'; }
    {
        crlf "Windows Registry Editor Version 5.00" ""
        crlf "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quillbox.exe]"
        crlf "\"PATH\"=\"$(esc "$program_dir")\"" ""
        crlf "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe]"
        crlf "\"PATH\"=\"$(esc "$kestrel")\""
    } > "$registry"
fi
echo "$demo"
