#!/usr/bin/env bash
# Starts the local server and `simhost --tui` in a 160x50 tmux window, logs in
# with the keys a person would press, and checks what the screen and the
# server show: the main window, traffic with callsigns on the scope, a chat
# line reaching the server, and a clean logoff on quitting.
#   tui_session_test.sh SIMHOST PLUGIN NETSERVER SOURCE_DIR
set -euo pipefail
simhost="$1" plugin="$2" netserver="$3" source="$4"
address="127.0.0.177"
callsign="TUI7"

command -v tmux >/dev/null || { echo "tmux is not installed (scripts/setup installs it)"; exit 1; }
work="$(mktemp -d "${TMPDIR:-/tmp}/talvix-tui.XXXXXX")"
socket="talvix-tui-$$"
source "$source/tests/tui/tmux_session.sh"
trap cleanup EXIT

# The scope is the right-hand 64 columns below the panel.
scope() { screen | sed -n '11,47p' | cut -c97-; }

make_root "$address"

world=(--demo)
minimum=3
if [ -f "$source/data/demo.world" ]; then
  world=(--world "$source/data/demo.world")
  minimum=5
fi
"$netserver" --listen "$address" --port 6809 "${world[@]}" --metar "$source/data/metar" \
  </dev/null >"$work/netserver.log" 2>&1 &
server_pid=$!
wait_until 10 "the server to listen" in_log "listen $address 6809"

start_simhost 160 50
wait_until 15 "the main window" on_screen "[Tab: Say]"
wait_until 5 "the main window's menus" on_screen "F1 Connection"
wait_until 5 "the help line" on_screen "F5/F6 heading"

# Connection menu, Connect: the aircraft chooser comes first.
connect_as "$callsign" "$address"
wait_until 5 "the network light to show the session" on_screen "Network  ON  $address:6809"

# Traffic out to 100 nm; the scope's range goes round back to 20 nm.
keys Tab Tab Tab Tab
wait_until 5 "Tab to reach the traffic range" on_screen "[Tab: Traffic]"
keys Enter Down Down Down Down Down Enter
wait_until 5 "the traffic range 100 nm" on_screen "Traffic: <100 nm>"
keys C-r
wait_until 5 "^R to set the scope to 40 nm" on_screen "Traffic  40 nm"
keys C-r C-r C-r C-r C-r
wait_until 5 "^R to come round to 20 nm" on_screen "Traffic  20 nm"
# A label is a callsign over "TYPE ALT": the callsigns are the capital words
# that no three-digit altitude follows.
callsigns() {
  scope | tr -c 'A-Z0-9_~\n' ' ' | awk '{
    for (i = 1; i <= NF; ++i)
      if ($i ~ /^[A-Z][A-Z0-9_]+$/ && $(i + 1) !~ /^[0-9][0-9][0-9]$/) print $i
  }' | sort -u
}
targets() { [ "$(callsigns | wc -l)" -ge "$minimum" ]; }
wait_until 30 "$minimum callsigns on the scope" targets
echo "on the scope: $(callsigns | tr '\n' ' ')"

# The command line: a chat line goes out to the server.
keys BTab BTab BTab BTab
wait_until 5 "Shift-Tab to come back to the command line" on_screen "[Tab: Say]"
keys "hello from the terminal" Enter
wait_until 10 "the chat line at the server" in_log "hello from the terminal"

# The panel: squawk, transponder mode and COM 1.
keys C-x 4 5 2 1 Enter C-t C-t F12 F12
wait_until 5 "F12 to dial COM 1" on_screen "COM 1  122.850"
wait_until 5 "^X and ^T to set the transponder" on_screen "XPDR 4521 On"

# A controller is listed and tuned: the tower's frequency typed into COM 1
# switches the plug-in to the tower, which is asked for its ATIS.
if [ "$minimum" -ge 5 ]; then
  keys C-f 1 2 0 . 5 0 Enter
  wait_until 10 "the tower tuned by COM 1" on_screen "switched to SFO_TWR on 120.500"
  wait_until 10 "the ATIS request at the server" in_log '$CQ'"$callsign"':SFO_TWR:ATIS'
fi

# The aircraft flies itself towards the speed set with F10.
keys F10 F10
wait_until 5 "F10 to set the speed" on_screen "set    20 kt"
moving() { ! on_screen "Speed         0 kt"; }
wait_until 5 "the aircraft to gather speed" moving

# A terminal too small says so; back to size, everything is drawn again.
# Keys wait meanwhile: nothing typed, no menu, no prompt.
tmux -L "$socket" resize-window -t tui -x 80 -y 20
wait_until 5 "the too-small message" on_screen "needs at least 100x30"
keys x y F1 C-x Escape
tmux -L "$socket" resize-window -t tui -x 160 -y 50
wait_until 5 "the redraw" on_screen "F1 Connection"
on_screen "Say: xy" && fail "keys typed on the too-small screen reached the field"
on_screen "Disconnect" && fail "F1 on the too-small screen opened the menu"
on_screen "Squawk:" && fail "^X on the too-small screen opened the prompt"

# Quitting disconnects first and unloads the plug-in.
keys C-q
wait_until 10 "simhost to end" test -f "$work/status"
[ "$(cat "$work/status")" = 0 ] || fail "simhost ended with status $(cat "$work/status")"
in_log "logout $callsign" || in_log "disconnect" || fail "the server saw no logoff"
echo "PASS"
