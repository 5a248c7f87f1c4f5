#!/usr/bin/env bash
# End-to-end test of the real program. Starts its own Xvfb (no window manager),
# builds a fresh Kestrel installation, drives quillbox with xdotool as a person
# would, and after each step compares the Kestrel folder byte for byte with the
# files written out for that step.
#
# Usage: e2e.sh [--windows] <quillbox binary> [output folder]
# --windows: the binary is Quillbox.exe in its program folder, run under Wine
# (scripts/wine-run.sh, in the prefix QUILLBOX_WINEPREFIX names); the two
# application-path entries are imported into the registry with regedit, the
# Kestrel folder is checked for names that differ only in case, and the beeps
# of refused keys are seen in Wine's log of MessageBeep, Help > Contents opens
# the help file in the system's HTML Help, and the session's end comes from
# wineboot instead of SIGTERM.
# Exit status: 0 passed, 1 failed, 77 skipped (Xvfb, xdotool or x11-utils
# missing). The output folder holds the program's output, the Kestrel folder
# and the one expected at the last check, and on failure a screenshot.
set -uo pipefail
windows=false
[ "${1:-}" = --windows ] && windows=true && shift
WAIT=10 KEY_DELAY=60 BUDGET=100 # s for a window, file or exit; ms between keys; s in all
SETTLE=0.3 # s for a window shown again to take the keyboard
$windows && WAIT=30 BUDGET=300 SETTLE=1.5 # Wine starts a program in seconds, and is slower to focus
program=${1:?usage: e2e.sh [--windows] <quillbox binary> [output folder]} out=${2:-$PWD/e2e-output}
type -P Xvfb xdotool xwininfo xev xkill >/dev/null ||
    { echo "SKIPPED: needs Xvfb, xdotool, xwininfo, xev and xkill (packages xvfb, xdotool, x11-utils)"; exit 77; }
program=$(realpath -e "$program" 2>/dev/null) && [ -x "$program" ] || { echo "FAILED: $1 is no executable"; exit 1; }
wine_run=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-run.sh
winpath() { printf 'Z:%s' "${1//\//\\}"; } # a path as Wine's programs name it, Z:\...
native() { if $windows; then winpath "$1"; else printf '%s' "$1"; fi; } # as the program names it
rm -rf "$out" && mkdir -p "$out" && out=$(realpath "$out") && work=$(mktemp -d "${TMPDIR:-/tmp}/quillbox-e2e.XXXXXX")
# The display is our own Xvfb, once it runs.
kestrel=$out/kestrel expected=$out/expected started=$SECONDS step_name=setup app_pid='' open=() DISPLAY=''
# At the end: quillbox before its display, then Xvfb and xev.
trap '[ -z "$app_pid" ] || { kill -KILL "$app_pid" && wait "$app_pid"; } 2>/dev/null
    kill $(jobs -p) 2>/dev/null; wait; rm -rf "$work"
    [ -z "${help_file:-}" ] || [ ! -e "$help_file.away" ] || mv "$help_file.away" "$help_file"' EXIT
trap 'fail "interrupted"' INT TERM

fail() { # message: reports it with a screenshot of the screen, and ends the test
    echo "FAILED: step $step_name: $*"$'\n'"See $out: the log, both Kestrel folders, a screenshot" >&2
    [ -z "$DISPLAY" ] || timeout 10 import -window root "$out/failure-step-${step_name%% *}.png"
    exit 1
}
wait_for() { # command...: runs it until it succeeds, for at most $WAIT s
    local deadline=$((SECONDS + WAIT))
    until "$@"; do
        [ -z "$app_pid" ] || kill -0 "$app_pid" 2>/dev/null ||
            { wait "$app_pid"; fail "quillbox ended unexpectedly (exit status $?)"; }
        [ $SECONDS -lt $deadline ] && sleep 0.1 || return 1
    done
}

# The files. crlf "a||b" prints the lines a, an empty one and b, each ended by
# CR LF. folder DIR "index=a|b" "name=x|y" ... writes a Kestrel folder: the index
# VocabularyLists.txt and the list files Vocab Categories/<name>.txt.
crlf() { local -a l; IFS='|' read -ra l <<<"$1"; [ ${#l[@]} -eq 0 ] || printf '%s\r\n' "${l[@]}"; }
folder() {
    rm -rf "$1" && mkdir -p "$1/Vocab Categories"
    for entry in "${@:2}"; do crlf "${entry#*=}" >"$1/Vocab Categories/${entry%%=*}.txt"; done
    mv "$1/Vocab Categories/index.txt" "$1/VocabularyLists.txt"
}
bytes() { od -An -c -v "$1" 2>/dev/null | tr -s ' ' | tr -d '\n' && echo; } # "a \r \n"
listing() { # folder: each file or folder in it, with the bytes of the files
    find "$1" -mindepth 1 -printf '%P\n' | sort | while read -r f; do echo "$f:$(bytes "$1/$f")"; done
}
# The list folder holds no two files whose names differ only in letter case.
no_case_twins() {
    local twins
    twins=$(find "$kestrel/Vocab Categories" -mindepth 1 -printf '%f\n' | tr '[:upper:]' '[:lower:]' | sort | uniq -d)
    [ -z "$twins" ] || { report="files whose names differ only in case: $twins"; return 1; }
}
matches() { report=$(diff <(listing "$expected") <(listing "$kestrel")) && no_case_twins; } # sets report
expect_state() { # what, then the files as for folder, or none for the files of the last check
    [ $# -eq 1 ] || folder "$expected" "${@:2}"
    wait_for matches ||
        fail "the files are not as expected after $1 (< expected, > found):"$'\n'"$report"
}

# find_window sets win to a visible window with exactly that title other than
# the main window. The titles are compared here: xdotool's own name search
# ignores letter case and misses the menus' popup windows.
find_window() {
    for win in $(timeout 5 xdotool search --onlyvisible --name '' 2>/dev/null); do
        [ "$win" != "${main_win:-}" ] &&
            [ "$(timeout 5 xdotool getwindowname "$win" 2>/dev/null)" = "$1" ] && return
    done
    false
}
hidden() { ! timeout 5 xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
focus() {
    timeout $WAIT xdotool windowfocus --sync "$1" >/dev/null 2>&1 || fail "cannot focus window $1"
    ! $windows || sleep 0.3 # Wine passes the focus on to the program's window a moment later
}
mapped() { [ "$(grep -c ^MapNotify "$work/xev.log")" -ge "$1" ] && ! hidden "$watched"; }
# Plays a person's actions, one an argument: "main" focuses the main window,
# "@Title" waits for that window and focuses it, "?Title" only waits for it,
# "gone" waits until the last of those windows still open has closed, "=text"
# types text, a number waits that many seconds, anything else is keys, pressed
# in one go ("Home Down Tab space"). A dialog shown again right after it closed
# keeps its window: "watch" counts the mappings of the last window waited for
# (with xev), and "again" waits for its next showing (the first time for none)
# and focuses it.
user() {
    for action in "$@"; do case $action in
        main) focus "$main_win" ;;
        [@?]*) title=${action:1} && wait_for find_window "$title" ||
            fail "window '$title' did not appear within $WAIT s"
            open+=("$win $title") ;;&
        @*) focus "$win" ;;
        gone) wait_for hidden "${open[-1]%% *}" || fail "window '${open[-1]#* }' was still open after $WAIT s"
            unset 'open[-1]' ;;
        =*) timeout 30 xdotool type --delay $KEY_DELAY "${action:1}" || fail "typing $action failed" ;;
        [0-9]*) sleep "$action" ;;
        watch) watched=$win question=$title shown=0; xev -id "$win" -event structure &>"$work/xev.log" & ;;&
        again) wait_for mapped $((shown++)) || fail "window '$question' was not shown again in $WAIT s" ;;&
        again | watch) sleep $SETTLE && focus "$watched" ;;
        [^@?]*) timeout 30 xdotool key --delay $KEY_DELAY $action || fail "xdotool key $action failed" ;;
    esac; done
}
step() { # number, name, then the first actions
    [ $((SECONDS - started)) -lt $BUDGET ] || fail "the test has run for more than $BUDGET s"
    step_name="$1 ($2)" && printf '[%3ds] step %s\n' $((SECONDS - started)) "$step_name" && user "${@:3}"
}

step 0 "a fresh Kestrel installation and a display"
# The index spells one name with a capital (its file is in small letters) and
# names a list whose file is missing.
folder "$expected" "index=animals|Colors|fruit|ghost" "animals=cat|dog|horse" "colors=red|green|blue" \
    "fruit=apple|pear"
cp -a "$expected" "$kestrel"
mkdir -p "$work/config/quillbox" "$work/home" "$work/exchange"
esc() { printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g'; }
paths='[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths'
if $windows; then # the registry itself, as regedit imports a file
    crlf "REGEDIT4||$paths\\Quillbox.exe]|\"PATH\"=\"$(esc "$(winpath "${program%/*}")")\"|\
|$paths\\kestrel.exe]|\"PATH\"=\"$(esc "$(winpath "$kestrel")")\"" >"$work/app-paths.reg"
    timeout 120 "$wine_run" regedit /S "$work/app-paths.reg" </dev/null >>"$out/wine.log" 2>&1
    timeout 60 "$wine_run" reg query "${paths:1}\\kestrel.exe" /v PATH </dev/null 2>>"$out/wine.log" |
        grep -qF "$(winpath "$kestrel")" || fail "regedit did not import the application-path entries"
    # Unsaved words of an earlier run are no business of this one.
    rm -rf "$QUILLBOX_WINEPREFIX"/drive_c/users/*/AppData/Local/quillbox
else
    crlf "Windows Registry Editor Version 5.00||$paths\\Quillbox.exe]|\"PATH\"=\"$(esc "${program%/*}")\"|\
|$paths\\kestrel.exe]|\"PATH\"=\"$(esc "$kestrel")\"" >"$work/config/quillbox/registry.reg"
fi
# An exchange file from another installation: FRUIT clashes with fruit,
# Planets is new, ANIMALS clashes with animals, COLORS with Colors.
crlf "***FRUIT|Kiwi||MANGO|***Planets|Mars|venus|***ANIMALS|zebra|***COLORS|Cyan" >"$work/exchange/from school.kte"
# Xvfb picks a free display number itself and writes it to the descriptor.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" &>"$out/xvfb.log" &
wait_for grep -qs '^[0-9][0-9]*$' "$work/display" || fail "Xvfb gave no display (see $out/xvfb.log)"
DISPLAY=":$(cat "$work/display")" && export DISPLAY && echo "Display $DISPLAY, Kestrel folder $kestrel"
if $windows; then # Wine's session begun afresh on this display: one begun without a display shows no window
    WINEPREFIX=$QUILLBOX_WINEPREFIX timeout 60 /usr/lib/wine/wineserver -k 2>/dev/null
    WINEPREFIX=$QUILLBOX_WINEPREFIX timeout 60 /usr/lib/wine/wineserver -w
fi
# A clean environment, but for the sanitizers' options; the user's data folder
# (the recovery journals) in $work/home.
start_app() {
    if $windows; then # in this process (no time limit of wine-run's), so that a kill reaches it
        (cd "$work/home" && exec env -i PATH="$PATH" HOME="$HOME" LANG=C.UTF-8 DISPLAY="$DISPLAY" \
            QUILLBOX_WINEPREFIX="$QUILLBOX_WINEPREFIX" WINE_RUN_TIMEOUT=0 \
            WINEDEBUG=-all,err+module,+relay "$wine_run" "$program") >>"$out/quillbox.log" 2>&1 &
    else
        # shellcheck disable=SC2046
        (cd "$work/home" && exec env -i PATH="$PATH" HOME="$work/home" LANG=C.UTF-8 DISPLAY="$DISPLAY" \
            QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/none" \
            XDG_RUNTIME_DIR="$work" $(env | grep -E '^(A|UB|L)SAN_OPTIONS=') "$program") >>"$out/quillbox.log" 2>&1 &
    fi
    app_pid=$!
}
ended() { # exit status expected: quillbox has ended with it
    { timeout $WAIT tail --pid="$app_pid" -s 0.1 -f /dev/null; } 2>/dev/null || fail "quillbox still runs $WAIT s on"
    { wait "$app_pid"; } 2>/dev/null; local status=$?; app_pid='' main_win='' # X reuses the ended program's ids
    [ "$status" = "$1" ] || fail "quillbox ended with exit status $status, not $1"
}
# Starts quillbox again: the password, then the actions given, until the main window shows.
restart() { start_app && user @"Select a category" =quorp7 Return gone "$@" "?Quillbox" && main_win=$win; }
recover() { restart @"Words not saved" space gone && user main ctrl+s @Success Return gone; } # Yes, saved
start_app

# The wrong letter case is a wrong password: "Incorrect Password".
step 1 "password" @"Select a category" =Quorp7 Return @Quillbox Return gone \
    @"Select a category" ctrl+a =quorp7 Return gone "?Quillbox"
main_win=$win
expect_state "the start" # starting writes nothing
if $windows; then
    # Without its help file HTML Help opens no window, and the program says so
    # ("help files not properly installed").
    help_file=${program%/*}/Quillbox.chm
    mv "$help_file" "$help_file.away"
    step 1h "Help > Contents without the help file" main alt+h "?Quillbox" c 1 @Quillbox Return gone
    mv "$help_file.away" "$help_file"
    # HTML Help opens the help file: its window bears the file's own title,
    # which it has read from the file.
    step 1i "Help > Contents, in HTML Help" main alt+h "?Quillbox" c @"Quillbox Help" alt+F4 gone
fi

# A digit and a space are refused: nothing appears for them.
beeps() { grep -c 'Call user32.MessageBeep' "$out/quillbox.log"; } # Wine's log of the calls
beeps_before=$(beeps)
step 2 "New list, with refused keys among the words" main ctrl+n @"Add a category" \
    "Shift+b i r d s Return" gone main =Robin Return =Wr3en Return "=Ow l"
# On Windows each refusal's beep is the system's MessageBeep: two refused keys, two calls.
if $windows; then
    wait_for test "$(beeps)" -ge $((beeps_before + 2)) && [ "$(beeps)" -eq $((beeps_before + 2)) ] ||
        fail "two refused keys made $(($(beeps) - beeps_before)) calls of MessageBeep, not 2"
fi

step 3 "Save" main ctrl+s @Success Return gone
expect_state "File > Save of the new list" "index=animals|Colors|fruit|birds" "Birds=robin|wren|owl" \
    "animals=cat|dog|horse" "colors=red|green|blue" "fruit=apple|pear"

# Rows: the lists whose files exist, in index order: animals Colors fruit birds.
step 4 "Open another list" main ctrl+o @"Select a category" "Home Down Down Tab space" gone main ctrl+End =Plum

# Yes has the focus; the list is saved before the next one is chosen.
step 5 "Open a third list: the unsaved-changes prompt, Yes" main ctrl+o @Confirm space gone "?Select a category"
expect_state "Yes to the unsaved-changes prompt" "index=animals|Colors|fruit|birds" \
    "Birds=robin|wren|owl" "animals=cat|dog|horse" "colors=red|green|blue" "fruit=apple|pear|plum"
user @"Select a category" "Home Tab space" gone main ctrl+End =Tiger # never saved: No below

step 6 "New list: the unsaved-changes prompt, No" main ctrl+n @Confirm "Tab space" gone \
    @"Add a category" "Shift+f i s h Return" gone main =Cod Return =EEL
expect_state "No to the unsaved-changes prompt" # nothing was written

# No keeps the new list unsaved; of the rows animals Colors fruit birds, the last three.
step 7 "Export" main ctrl+e @Confirm "Tab space" gone @"Export  categories" \
    "Home Down shift+Down shift+Down Tab space" @"Export File Name" "=$(native "$work/exchange/lists.kte")" Return gone gone
crlf "***Colors|red|green|blue|***fruit|apple|pear|plum|***birds|robin|wren|owl" >"$out/lists.kte"
cmp -s "$out/lists.kte" "$work/exchange/lists.kte" ||
    fail "the exchange file is not as expected; found:$(bytes "$work/exchange/lists.kte" || echo ' no file')"
expect_state "the export" # the export changes no list

# FRUIT: Rename; a name the index holds already is not taken, and the question
# stays; Rename again (it kept the focus). ANIMALS: Skip. COLORS: Replace, which
# has the focus.
step 8 "Import with clashes: Rename, Skip, Replace" main ctrl+i @Confirm "Tab space" gone \
    @"Import file" "=$(native "$work/exchange/from school.kte")" 0.3 Return gone \
    "?Dpulicate category -- replace, rename or skip?" watch "Tab space" \
    @"Rename a category" "b i r d s Return" gone 0.5
grep -q UnmapNotify "$work/xev.log" && fail "Rename accepted 'birds', a name that the index holds"
user again space @"Rename a category" "Shift+s n a c k s Return" gone again "Tab Tab space" again space
expect_state "the import" "index=animals|Colors|fruit|birds|Snacks|Planets" "Birds=robin|wren|owl" \
    "Planets=mars|venus" "Snacks=kiwi|mango" "animals=cat|dog|horse" "colors=cyan" "fruit=apple|pear|plum"

# The Edit menu opens; Up goes from its first item to the last, Delete a List.
# Rows animals Colors fruit birds Snacks Planets: delete birds.
step 9 "Delete a List" main alt+e "?Quillbox" "Up Return" @"Delete a category" \
    "Home Down Down Down Tab space" gone
expect_state "the deletion" "index=animals|colors|fruit|snacks|planets" "Planets=mars|venus" \
    "Snacks=kiwi|mango" "animals=cat|dog|horse" "colors=cyan" "fruit=apple|pear|plum"

# The File menu opens; Yes saves the list, then the program ends.
step 10 "Exit, saving the unsaved list" main alt+f "?Quillbox" x @Confirm space
ended 0
expect_state "File > Exit" "index=animals|colors|fruit|snacks|planets|fish" "Fish=cod|eel" \
    "Planets=mars|venus" "Snacks=kiwi|mango" "animals=cat|dog|horse" "colors=cyan" "fruit=apple|pear|plum"

# Words typed 3 s before the program is killed come back at the next start,
# and nothing reaches the Kestrel folder until they are saved.
step 11 "killed 3 s after typing; started again: Yes brings the words back"
restart
user main ctrl+o @"Select a category" "Home Tab space" gone main ctrl+End =Lynx 3
kill -KILL "$app_pid" && ended 137
restart @"Words not saved" space gone
expect_state "the words brought back" # nothing written yet
user main ctrl+s @Success Return gone
expect_state "the brought back words saved" "index=animals|colors|fruit|snacks|planets|fish" \
    "Fish=cod|eel" "Planets=mars|venus" "Snacks=kiwi|mango" "animals=cat|dog|horse|lynx" \
    "colors=cyan" "fruit=apple|pear|plum"

# The end of the desktop session (SIGTERM): the program ends at once, and the
# words come back too.
# On Windows the session's end is the system's question to every window
# (WM_QUERYENDSESSION, then WM_ENDSESSION), which wineboot asks.
if $windows; then how="the session ends (wineboot)"; else how=SIGTERM; fi
step 12 "$how right after typing; started again: Yes brings the words back" \
    main ctrl+o @"Select a category" "Home Down Tab space" gone main ctrl+End =Teal 0.5
if $windows; then
    timeout 60 "$wine_run" wineboot --end-session </dev/null >>"$out/wine.log" 2>&1 ||
        fail "wineboot did not end the session (status $?): the program held it up"
else
    kill -TERM "$app_pid"
fi
ended 0
recover
# The X connection lost (xkill): the X platform ends the program with exit status 1, the words
# typed a moment before brought up to date first.
if ! $windows; then
    step 13 "the X connection lost right after typing; started again: Yes brings the words back" \
        main ctrl+o @"Select a category" "Home Down Down Tab space" gone main ctrl+End =Kiwi 0.2
    xkill -id "$main_win" >/dev/null || fail "xkill did not end the X connection"
    ended 1
    recover
fi
user main alt+f "?Quillbox" x
ended 0
expect_state "the words brought back, saved" \
    "index=animals|colors|fruit|snacks|planets|fish" "Fish=cod|eel" "Planets=mars|venus" \
    "Snacks=kiwi|mango" "animals=cat|dog|horse|lynx" "colors=cyan|teal" \
    "fruit=apple|pear|plum$($windows || echo '|kiwi')"
printf 'PASSED in %d s\n' $((SECONDS - started))
