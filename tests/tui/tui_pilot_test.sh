#!/usr/bin/env bash
# The terminal simulator in the folder scripts/run makes (scripts/simroot),
# with the test's server added to the connect window's list as --server
# does, against the demo world, in a 160x50 tmux window: the server is
# picked from the list; Esc leaves the main window but closes a dialog;
# headings show three digits and the chooser's codes one line each; a form
# field shows its whole text; letters beyond ASCII reach the server as
# Latin-1 or are named on the panel; a refused plan leaves the focus on its
# field; a Roger Wilco station switches the registered stand-in.
#   tui_pilot_test.sh SIMHOST PLUGIN NETSERVER SOURCE_DIR BUILD_DIR
set -euo pipefail
simhost="$1" plugin="$2" netserver="$3" source="$4" build="$5"
address="127.0.0.215"
callsign="TUI5"

command -v tmux >/dev/null || { echo "tmux is not installed (scripts/setup installs it)"; exit 1; }
work="$(mktemp -d "${TMPDIR:-/tmp}/talvix-tui-pilot.XXXXXX")"
socket="talvix-tui-pilot-$$"
source "$source/tests/tui/tmux_session.sh"
trap cleanup EXIT

"$source/scripts/simroot" "$work/root" "$build" "$address"
grep -qx "item 2 $address" "$work/root/txConnect.win" || fail "the server is not item 2 of the list"
"$source/scripts/simroot" "$work/root" "$build" "$address"
[ "$(grep -c "$address" "$work/root/txConnect.win")" -eq 1 ] || fail "the server is listed twice"
# As scripts/run starts it: traffic and controllers within 40 nm.
printf "aircraft 37.6189 -122.3750 13 0 0 0 10\nsetting MPDistance 40\n" >"$work/start.sim"

"$netserver" --listen "$address" --port 6809 --world "$source/data/demo.world" \
  --metar "$source/data/metar" </dev/null >"$work/netserver.log" 2>&1 &
server_pid=$!
wait_until 10 "the server to listen" in_log "listen $address 6809"

start_simhost 160 50
wait_until 15 "the main window" on_screen "[Tab: Say]"
wait_until 5 "the heading in three digits" on_screen "Heading     010      set   010"

# Esc: the main window stays and says how it closes; a dialog goes.
keys Escape
wait_until 5 "the word on Esc" on_screen "Esc: this window closes from its menu"
on_screen "F1 Connection" || fail "Esc closed the main window"
keys F2 Down Enter
wait_until 5 "the flight plan window" on_screen "[Tab: Callsign]"
long="ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuvwxyz"
keys C-u "$long" Tab
wait_until 5 "the whole callsign field" on_screen "Callsign:         $long"
# A refused route: an alert says why, and once it is closed the focus is on
# the route again, each time.
keys BTab BTab BTab BTab
wait_until 5 "the route field" on_screen "[Tab: Route]"
keys "SSTIK4 LOSHN:BSR"
for _ in 1 2; do
  keys Tab Enter
  wait_until 5 "the alert" on_screen 'Route may not contain ":"'
  keys Enter
  wait_until 5 "the focus back on the route" on_screen "[Tab: Route]"
done
keys Escape
gone() { ! on_screen "[Tab: First name]"; }
wait_until 5 "Esc to close the flight plan window" gone
on_screen "F1 Connection" || fail "the main window is not in front after the dialog"

# The chooser: a four-letter code and its model on the description's line.
keys F1
wait_until 5 "the Connection menu" on_screen "Disconnect"
keys Enter
wait_until 5 "the aircraft chooser" on_screen "[Tab: Aircraft]"
screen | grep -qE '\|Cessna 172 Skyhawk +C172 C172 +P +\|' || fail "the chooser's C172 row is broken"
keys Enter
wait_until 5 "the connect window" on_screen "[Tab: Callsign]"
keys BTab Enter
wait_until 5 "the server list" on_screen "| $address"
keys Down Down Enter
wait_until 5 "the server popup to show $address" on_screen "<$address>"
keys Tab C-u "$callsign" Tab 100 Tab secret Tab Tab Tab Tab
wait_until 5 "Tab to reach OK" on_screen "[Tab: OK]"
keys Enter
wait_until 10 "the login" in_log "login $callsign"

# Chat: Latin-1 letters go out as their bytes; the euro sign is refused.
keys "café crème" Enter
wait_until 10 "the chat line at the server" in_log 'caf\xE9 cr\xE8me'
keys "€"
wait_until 5 "the refusal named" on_screen "U+20AC has no Latin-1 form: not typed"
keys C-u

# SFO_GND announces Roger Wilco: the registered stand-in is started.
# The plug-in tunes UNICOM at the login, and the radio's first change after
# that only arms the tracking: a turn of the dial, then the ground, until
# its controller is listed.
wait_until 15 "UNICOM tuned" on_screen "switched to UNICOM_CTR on 122.800"
keys F12
for _ in $(seq 10); do
  on_screen "switched to SFO_GND on 121.800" && break
  keys F12 C-f 1 2 1 . 8 Enter
  sleep 2
done
wait_until 1 "the ground tuned" on_screen "switched to SFO_GND on 121.800"
wait_until 15 "Roger Wilco switched" on_screen "switched Roger Wilco to SFO_GND"
wait_until 5 "the stand-in's arguments" test -f "$work/root/roger_args.txt"
grep -qx "/join1" "$work/root/roger_args.txt" || fail "roger.exe was not told to join"
on_screen "FAILED to switch" && fail "a voice switch failed"

keys C-q
wait_until 10 "simhost to end" test -f "$work/status"
[ "$(cat "$work/status")" = 0 ] || fail "simhost ended with status $(cat "$work/status")"
echo "PASS"
