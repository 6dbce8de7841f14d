# Helpers for the tmux tests of the terminal front end, sourced by them.
# The test sets work (its folder), socket (its tmux server) and, once the
# network server runs, server_pid; the screen's window is called "tui".
server_pid=""
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
fail() {
  echo "FAIL: $*"
  echo "--- screen ---"; screen || true
  echo "--- netserver ---"; tail -n 30 "$work/netserver.log" || true
  echo "--- simhost.log ---"; tail -n 20 "$work/root/simhost.log" 2>/dev/null || true
  exit 1
}
screen() { tmux -L "$socket" capture-pane -p -t tui; }
keys() { tmux -L "$socket" send-keys -t tui "$@"; sleep 0.2; }
# wait_until SECONDS WHAT COMMAND...: polls until COMMAND succeeds.
wait_until() {
  local seconds="$1" what="$2"
  shift 2
  for _ in $(seq $((seconds * 5))); do
    "$@" && return 0
    sleep 0.2
  done
  fail "waited $seconds s for $what"
}
on_screen() { screen | grep -qF -- "$1"; }
in_log() { grep -qF -- "$1" "$work/netserver.log"; }
# The simulator's folder, with the test's server among the connect window's.
make_root() {
  local address="$1"
  mkdir -p "$work/root"
  cp -r "$source/data/." "$work/root/"
  sed -i "s/^item 1 localhost\$/item 1 localhost\nitem 2 $address/" "$work/root/txConnect.win"
  grep -q "item 2 $address" "$work/root/txConnect.win" || fail "cannot add the server to txConnect.win"
  echo "aircraft 37.6189 -122.3750 13 0 0 0 280" >"$work/start.sim"
}
# start_simhost COLUMNS ROWS: the terminal simulator in a tmux window.
start_simhost() {
  tmux -L "$socket" new-session -d -s tui -x "$1" -y "$2" \
    "'$simhost' --root '$work/root' --plugin '$plugin' --script '$work/start.sim' --tui; echo \$? >'$work/status'"
}
# connect_as CALLSIGN ADDRESS: from the main window, the way a person logs
# in: Connect, the aircraft chooser, the connect window's fields, OK.
connect_as() {
  local callsign="$1" address="$2"
  keys F1
  wait_until 5 "the Connection menu" on_screen "Disconnect"
  keys Enter
  wait_until 5 "the aircraft chooser" on_screen "[Tab: Aircraft]"
  keys Down Enter
  wait_until 5 "the connect window" on_screen "[Tab: Callsign]"
  keys BTab Enter Down Down Enter
  wait_until 5 "the server popup to show $address" on_screen "<$address>"
  keys Tab C-u "$callsign" Tab 100 Tab secret Tab Tab Tab Tab
  wait_until 5 "Tab to reach OK" on_screen "[Tab: OK]"
  keys Enter
  wait_until 10 "the login" in_log "login $callsign"
}
