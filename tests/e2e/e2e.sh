#!/usr/bin/env bash
# End-to-end test of the real program. Starts its own Xvfb (no window manager),
# builds a fresh Kestrel installation in a temporary folder, drives quillbox
# with xdotool as a person would, and checks the files it leaves on disk byte
# for byte against what the program's rules say they must hold.
#
# Usage: e2e.sh <quillbox binary> [output folder]
# Exit status: 0 passed, 1 failed, 77 skipped (Xvfb, xdotool or x11-utils
# missing). On failure the output folder holds a screenshot of the screen at
# the failing step, the program's output and a copy of the Kestrel folder.
set -uo pipefail

readonly SKIP=77
readonly WAIT=10        # seconds to wait for any window, file or exit
readonly KEY_DELAY=60   # milliseconds between synthetic keystrokes
readonly BUDGET=100     # seconds for the whole test (CTest stops it at 120)

program=${1:?usage: e2e.sh <quillbox binary> [output folder]}
out=${2:-$PWD/e2e-output}

for tool in Xvfb xdotool xwininfo xev; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (Debian packages xvfb, xdotool, x11-utils)"
        exit $SKIP
    fi
done
if [ ! -x "$program" ]; then
    echo "FAILED: $program is not an executable"
    exit 1
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
unset DISPLAY # the display is our own Xvfb, once it runs

rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/quillbox-e2e.XXXXXX")
kestrel=$work/kestrel
lists="$kestrel/Vocab Categories"
started=$SECONDS

xvfb_pid=
app_pid=
watch_pid=
step_name="setup"

cleanup() {
    [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null
    [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'fail "interrupted"' INT TERM

fail() {
    echo "FAILED: step $step_name: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null 2>&1; then
        local shot
        shot="$out/failure-step-${step_name%% *}.png"
        if timeout 10 import -window root "$shot" 2>/dev/null; then
            echo "Screenshot of the screen: $shot" >&2
        fi
    fi
    [ -d "$kestrel" ] && cp -a "$kestrel" "$out/kestrel-at-failure" 2>/dev/null
    [ -d "$work/expected" ] && cp -a "$work/expected" "$out/kestrel-expected" 2>/dev/null
    echo "Program output: $out/quillbox.log" >&2
    exit 1
}

step() {
    check_alive
    step_name="$1 ($2)"
    printf '[%3ds] step %s\n' $((SECONDS - started)) "$step_name"
}

# ---------------------------------------------------------------------------
# Expected state: a model of the Kestrel folder, changed by the same rules the
# program follows, from which the expected bytes are written.

declare -a m_index=()  # the lines of VocabularyLists.txt
declare -A m_files=()  # list files: file name -> its lines, each ended by \n
m_current=""           # the current list name
m_editor=""            # the editor's lines, each ended by \n

# The file name that a list name reaches: an existing file that matches it
# without regard to letter case (the exact spelling first), or the name as given.
m_file_of() {
    local want="$1.txt" key
    [ -n "${m_files[$want]+set}" ] && { echo "$want"; return; }
    for key in "${!m_files[@]}"; do
        [ "${key,,}" = "${want,,}" ] && { echo "$key"; return; }
    done
    echo "$want"
}
m_has_file() { [ -n "${m_files[$(m_file_of "$1")]+set}" ]; }

# The list index after a reload: the index lines whose list file exists.
m_list_index() {
    local name
    for name in "${m_index[@]}"; do
        m_has_file "$name" && printf '%s\n' "$name"
    done
}
m_find() { # name, then the index entries: found without regard to letter case?
    local want="${1,,}" name
    shift
    for name in "$@"; do [ "${name,,}" = "$want" ] && return 0; done
    return 1
}

# Stores the lines read as the list file $1 once written: in small letters,
# without empty lines.
m_store() {
    local words
    words=$(tr 'A-Z' 'a-z' | grep -v '^$')
    [ -n "$words" ] && words+=$'\n'
    m_files[$1]=$words
}
# What the editor keeps of typed text: letters only, in small letters.
m_filter_keys() { local t="${1//[^A-Za-z]/}"; printf '%s' "${t,,}"; }
m_type_line() { m_editor+="$(m_filter_keys "$1")"$'\n'; }

m_open() {
    m_current=$1
    m_editor=$(printf '%s' "${m_files[$(m_file_of "$1")]}" | tr 'A-Z' 'a-z')
    [ -n "$m_editor" ] && m_editor+=$'\n'
}
m_new() { m_current=$1; m_editor=""; }

# Save: the index is rewritten from the list index, a name new to it added at
# the end in small letters; the words go to the list file in small letters,
# without empty lines.
m_save() {
    local -a idx
    mapfile -t idx < <(m_list_index)
    m_find "$m_current" "${idx[@]}" || idx+=("${m_current,,}")
    m_index=("${idx[@]}")
    m_store "$(m_file_of "$m_current")" < <(printf '%s' "$m_editor")
}

# Delete: every remaining index name in small letters; the list file goes.
m_delete() {
    local -a idx kept=()
    local name
    mapfile -t idx < <(m_list_index)
    for name in "${idx[@]}"; do
        [ "${name,,}" != "${1,,}" ] && kept+=("${name,,}")
    done
    unset "m_files[$(m_file_of "$1")]"
    m_index=("${kept[@]}")
    [ "${m_current,,}" = "${1,,}" ] && { m_current=""; m_editor=""; }
}

# Import of one section: words in small letters, empty lines dropped; a name
# new to the index is added at its end as the header (or the new name) spells
# it; a replaced list keeps its index entry and gets the imported words.
m_import_begin() { mapfile -t m_import_index < <(m_list_index); }
m_import_section() { # name, then the section's word lines
    local name=$1
    shift
    m_find "$name" "${m_import_index[@]}" || m_import_index+=("$name")
    m_store "$(m_file_of "$name")" < <(printf '%s\n' "$@")
}
m_import_end() { m_index=("${m_import_index[@]}"); }

# The exchange file: per list "***" and its name as the index holds it, then
# the lines of its file as they stand.
m_export() {
    local name
    for name in "$@"; do
        printf '***%s\n' "$name"
        printf '%s' "${m_files[$(m_file_of "$name")]}"
    done | sed 's/$/\r/'
}

crlf() { sed 's/$/\r/'; } # lines ended by \n -> lines ended by CR LF

# Writes the expected files under $1, in the same layout as the Kestrel folder.
m_write() {
    local dir=$1 key
    rm -rf "$dir"
    mkdir -p "$dir/Vocab Categories"
    if [ ${#m_index[@]} -gt 0 ]; then printf '%s\n' "${m_index[@]}" | crlf; fi > "$dir/VocabularyLists.txt"
    for key in "${!m_files[@]}"; do
        printf '%s' "${m_files[$key]}" | crlf > "$dir/Vocab Categories/$key"
    done
}

# Compares the Kestrel folder with the model: the same files, byte for byte.
compare_state() {
    local expected=$work/expected
    m_write "$expected"
    diff_report=$(diff -r "$expected" "$kestrel" 2>&1) && return 0
    diff_report+=$'\n'"$(cd "$expected" && for f in VocabularyLists.txt "Vocab Categories"/*; do
        [ -f "$f" ] || continue
        cmp -s "$f" "$kestrel/$f" && continue
        printf '%s expected: %s\n' "$f" "$(od -An -c "$f" | tr -s ' ' | tr -d '\n')"
        if [ -f "$kestrel/$f" ]; then
            printf '%s found:    %s\n' "$f" "$(od -An -c "$kestrel/$f" | tr -s ' ' | tr -d '\n')"
        fi
    done)"
    return 1
}

# Waits (bounded) until the Kestrel folder holds what the model says.
expect_state() {
    local deadline=$((SECONDS + WAIT))
    until compare_state; do
        [ $SECONDS -ge $deadline ] && fail "the files are not as expected after $1:"$'\n'"$diff_report"
        check_alive
        sleep 0.2
    done
}

expect_same() { # expected file, file, what
    cmp -s "$1" "$2" ||
        fail "$3 is not as expected"$'\n'"expected: $(od -An -c "$1" | tr -s ' ' | tr -d '\n')"$'\n'"found:    $(od -An -c "$2" 2>&1 | tr -s ' ' | tr -d '\n')"
}
expect_bytes() { # file, expected bytes, what
    printf '%s' "$2" > "$work/expected.bytes"
    expect_same "$work/expected.bytes" "$1" "$3"
}

# ---------------------------------------------------------------------------
# Driving the program.

check_alive() {
    if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then
        wait "$app_pid"
        local code=$?
        app_pid=
        fail "quillbox ended unexpectedly (exit status $code)"
    fi
    [ $((SECONDS - started)) -lt $BUDGET ] || fail "the test has run for more than $BUDGET s"
}

# The id of a visible window with exactly that title other than the main
# window, or nothing. The titles are compared here: xdotool's own name search
# ignores letter case and misses the menus' popup windows.
find_window() {
    local id
    for id in $(timeout 5 xdotool search --onlyvisible --name '' 2>/dev/null); do
        [ "$id" != "${main_win:-}" ] || continue
        [ "$(timeout 5 xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
    done
    return 1
}
window() { # title -> sets win, waiting for it at most $WAIT seconds
    local deadline=$((SECONDS + WAIT))
    until win=$(find_window "$1"); do
        check_alive
        [ $SECONDS -ge $deadline ] && fail "window '$1' did not appear within $WAIT s"
        sleep 0.1
    done
}
is_viewable() { timeout 5 xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
gone() { # id title: waits until that window is no longer on the screen
    local deadline=$((SECONDS + WAIT))
    while is_viewable "$1"; do
        [ $SECONDS -ge $deadline ] && fail "window '$2' was still open after $WAIT s"
        check_alive
        sleep 0.1
    done
}
focus() {
    timeout "$WAIT" xdotool windowfocus --sync "$1" >/dev/null 2>&1 ||
        fail "could not give the keyboard focus to window $1"
}
keys() { timeout 30 xdotool key --delay "$KEY_DELAY" "$@" || fail "xdotool key $* failed"; }
type_text() { timeout 30 xdotool type --delay "$KEY_DELAY" "$1" || fail "xdotool type '$1' failed"; }

# Answers a dialog: focus it, press keys, wait until it has closed.
answer() { # title, keys...
    local title=$1
    shift
    window "$title"
    focus "$win"
    keys "$@"
    gone "$win" "$title"
}
main_keys() { focus "$main_win"; keys "$@"; }
main_type() { focus "$main_win"; type_text "$1"; }

# A dialog shown again right after it closed keeps its window: count its
# mappings with xev to tell one showing from the next.
watch_window() {
    [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null
    : > "$work/watch.log"
    xev -id "$1" -event structure > "$work/watch.log" 2>&1 &
    watch_pid=$!
    sleep 0.3
}
mappings() { grep -c '^MapNotify' "$work/watch.log"; }
unmappings() { grep -c '^UnmapNotify' "$work/watch.log"; }
wait_mapped_again() { # id count title
    local deadline=$((SECONDS + WAIT))
    until [ "$(mappings)" -ge "$2" ] && is_viewable "$1"; do
        [ $SECONDS -ge $deadline ] && fail "window '$3' did not appear again within $WAIT s"
        check_alive
        sleep 0.1
    done
}

# ---------------------------------------------------------------------------
step 0 "a fresh Kestrel installation and a display"

mkdir -p "$lists" "$work/config/quillbox" "$work/xdg-empty" "$work/home" "$work/runtime" \
    "$work/exchange"
chmod 700 "$work/runtime"
# The index spells one name with a capital (its file is in small letters) and
# names a list whose file is missing.
printf '%s\r\n' animals Colors fruit ghost > "$kestrel/VocabularyLists.txt"
printf '%s\r\n' cat dog horse > "$lists/animals.txt"
printf '%s\r\n' red green blue > "$lists/colors.txt"
printf '%s\r\n' apple pear > "$lists/fruit.txt"
m_index=(animals Colors fruit ghost)
m_files=([animals.txt]=$'cat\ndog\nhorse\n' [colors.txt]=$'red\ngreen\nblue\n'
    [fruit.txt]=$'apple\npear\n')
expect_state "setting up" # the model and the installation agree to begin with

esc() { printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g'; }
{
    printf '%s\r\n' "Windows Registry Editor Version 5.00" ""
    printf '%s\r\n' '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Quillbox.exe]'
    printf '%s\r\n' "\"PATH\"=\"$(esc "$(dirname "$program")")\"" ""
    printf '%s\r\n' '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\kestrel.exe]'
    printf '%s\r\n' "\"PATH\"=\"$(esc "$kestrel")\""
} > "$work/config/quillbox/registry.reg"

# An exchange file from another installation: FRUIT clashes with fruit,
# Planets is new, ANIMALS clashes with animals, COLORS with Colors.
clash_file="$work/exchange/from school.kte"
printf '%s\r\n' '***FRUIT' Kiwi '' MANGO '***Planets' Mars venus '***ANIMALS' zebra \
    '***COLORS' Cyan > "$clash_file"

# Xvfb picks a free display number itself and writes it to the descriptor.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/display" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
deadline=$((SECONDS + WAIT))
until grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null; do
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start (see $out/xvfb.log)"
    [ $SECONDS -ge $deadline ] && fail "Xvfb gave no display number within $WAIT s"
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"
echo "Display $DISPLAY, Kestrel folder $kestrel"

passthrough=()
for var in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
    [ -n "${!var:-}" ] && passthrough+=("$var=${!var}")
done
(cd "$work/home" && exec env -i PATH="$PATH" HOME="$work/home" LANG=C.UTF-8 DISPLAY="$DISPLAY" \
    QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/xdg-empty" \
    XDG_DATA_HOME="$work/home/data" XDG_CACHE_HOME="$work/home/cache" \
    XDG_RUNTIME_DIR="$work/runtime" "${passthrough[@]}" "$program") >"$out/quillbox.log" 2>&1 &
app_pid=$!

# ---------------------------------------------------------------------------
step 1 "password"
window "Select a category"
password_win=$win
focus "$win"
type_text "Quorp7" # the wrong letter case is a wrong password
keys Return
answer "Quillbox" Return # "Incorrect Password"
focus "$password_win"
keys ctrl+a
type_text "quorp7"
keys Return
gone "$password_win" "Select a category"
window "Quillbox"
main_win=$win

step 2 "New list, with refused keys among the words"
main_keys ctrl+n
answer "Add a category" Shift+b i r d s Return
m_new Birds
# A digit and a space are refused: nothing appears for them.
for line in Robin Wr3en "Ow l"; do
    main_type "$line"
    [ "$line" != "Ow l" ] && main_keys Return
    m_type_line "$line"
done

step 3 "Save"
main_keys ctrl+s
answer "Success" Return
m_save
expect_state "File > Save of the new list"

step 4 "Open another list"
main_keys ctrl+o
# Rows: the lists whose files exist, in index order: animals Colors fruit birds.
answer "Select a category" Home Down Down Tab space
m_open fruit
main_keys ctrl+End
main_type "Plum"
m_type_line "Plum"

step 5 "Open a third list: the unsaved-changes prompt, Yes"
main_keys ctrl+o
answer "Confirm" space # Yes has the focus
m_save
window "Select a category"
expect_state "Yes to the unsaved-changes prompt" # saved before the list appears
focus "$win"
keys Home Tab space
gone "$win" "Select a category"
m_open animals
main_keys ctrl+End
main_type "Tiger" # never saved: the answer below is No
m_type_line "Tiger"

step 6 "New list: the unsaved-changes prompt, No"
main_keys ctrl+n
answer "Confirm" Tab space # No
answer "Add a category" Shift+f i s h Return
m_new Fish
main_type "Cod"
main_keys Return
main_type "EEL"
m_type_line "Cod"
m_type_line "EEL"
expect_state "No to the unsaved-changes prompt" # nothing was written

step 7 "Export"
main_keys ctrl+e
answer "Confirm" Tab space # No: the new list stays unsaved
window "Export  categories"
export_win=$win
focus "$win"
# Rows animals Colors fruit birds: select the last three.
keys Home Down shift+Down shift+Down Tab space
window "Export File Name"
export_file=$work/exchange/lists.kte
focus "$win"
type_text "$export_file"
keys Return
gone "$win" "Export File Name"
gone "$export_win" "Export  categories"
[ -f "$export_file" ] || fail "the exchange file $export_file was not written"
m_export Colors fruit birds > "$work/expected.kte"
expect_same "$work/expected.kte" "$export_file" "the exchange file"
expect_state "the export" # the export changes no list

step 8 "Import with clashes: Rename, Skip, Replace"
main_keys ctrl+i
answer "Confirm" Tab space # No
window "Import file"
focus "$win"
type_text "$clash_file"
sleep 0.3
keys Return
gone "$win" "Import file"
m_import_begin
window "Dpulicate category -- replace, rename or skip?" # FRUIT
duplicate_win=$win
watch_window "$duplicate_win"
focus "$duplicate_win"
keys Tab space # Rename
# A name the index holds already is not taken: the question stays.
answer "Rename a category" b i r d s Return
sleep 0.5
[ "$(unmappings)" -eq 0 ] || fail "Rename accepted 'birds', a name that the index holds"
focus "$duplicate_win"
keys space # Rename again (it kept the focus)
answer "Rename a category" Shift+s n a c k s Return
m_import_section Snacks Kiwi "" MANGO
m_import_section Planets Mars venus
wait_mapped_again "$duplicate_win" 1 "Dpulicate category -- replace, rename or skip? (ANIMALS)"
focus "$duplicate_win"
keys Tab Tab space # Skip
wait_mapped_again "$duplicate_win" 2 "Dpulicate category -- replace, rename or skip? (COLORS)"
focus "$duplicate_win"
keys space # Replace has the focus
m_import_section COLORS Cyan
m_import_end
kill "$watch_pid" 2>/dev/null
watch_pid=
expect_state "the import"

step 9 "Delete a List"
main_keys alt+e
window "Quillbox" # the Edit menu, open
keys Up Return # from the first item up to the last one, Delete a List
# Rows animals Colors fruit birds Snacks Planets: delete birds.
answer "Delete a category" Home Down Down Down Tab space
m_delete birds
expect_state "the deletion"

step 10 "Exit, saving the unsaved list"
main_keys alt+f
window "Quillbox" # the File menu, open
keys x
window "Confirm"
focus "$win"
keys space # Yes: the list is saved, then the program ends
m_save
deadline=$((SECONDS + WAIT))
while kill -0 "$app_pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && fail "quillbox was still running $WAIT s after File > Exit"
    sleep 0.1
done
wait "$app_pid"
code=$?
app_pid=
[ "$code" -eq 0 ] || fail "quillbox ended with exit status $code after File > Exit"
expect_state "File > Exit"

# The rules behind the final state, spelled out once more as plain bytes.
step 11 "final files"
expect_bytes "$kestrel/VocabularyLists.txt" $'animals\r\ncolors\r\nfruit\r\nsnacks\r\nplanets\r\nfish\r\n' \
    "VocabularyLists.txt"
expect_bytes "$lists/Fish.txt" $'cod\r\neel\r\n' "Fish.txt"

printf 'PASSED in %d s\n' $((SECONDS - started))
