#!/usr/bin/env bash
# The terminal simulator at its smallest size, 100x30, under tmux: a long
# private message is readable whole, the focus indicator names every control
# plainly, a busy scope keeps every mark and never garbles its labels (also
# at 160x50), the help item hides and shows the key help, and the network
# light follows the connection.
#   tui_small_screen_test.sh SIMHOST PLUGIN NETSERVER SOURCE_DIR
set -euo pipefail
simhost="$1" plugin="$2" netserver="$3" source="$4"
address="127.0.0.171"
callsign="TUI1"

command -v tmux >/dev/null || { echo "tmux is not installed (scripts/setup installs it)"; exit 1; }
work="$(mktemp -d "${TMPDIR:-/tmp}/talvix-tui-small.XXXXXX")"
socket="talvix-tui-small-$$"
source "$source/tests/tui/tmux_session.sh"
trap cleanup EXIT
make_root "$address"

# A world without pilots (one far controller, since a world needs a
# station); the test sends the traffic itself through the server's stdin.
echo "controller FAR_CTR 132.000 6 50 5 10.0 10.0" >"$work/empty.world"
mkfifo "$work/server.in"
exec 3<>"$work/server.in"
"$netserver" --listen "$address" --port 6809 --world "$work/empty.world" \
  --metar "$source/data/metar" <"$work/server.in" >"$work/netserver.log" 2>&1 &
server_pid=$!
wait_until 10 "the server to listen" in_log "listen $address 6809"
server() { echo "$*" >&3; }

start_simhost 100 30
wait_until 15 "the main window" on_screen "[Tab: Say]"
wait_until 5 "the network light off" on_screen "Network  --  no TCP connection"
connect_as "$callsign" "$address"
wait_until 5 "the network light on" on_screen "Network  ON  $address:6809"
# The transponder's mode is labelled, never a lone word starting a line.
wait_until 5 "the labelled transponder" on_screen "|XPDR Off "

# The focus indicator on the window's menu line, all the way round the main
# window's controls: always there, never one of the controls' codes.
focus_name() { screen | sed -n 3p | cut -c1-56 | grep -o '\[[^]]*\] *|$' | sed 's/\] *|$//; s/^\[//; s/^Tab: //'; }
for _ in 1 2 3 4 5 6 7 8; do
  name="$(focus_name)"
  [ -n "$name" ] || fail "no focus indicator"
  case "$name" in
    hist|text|spMg|sAtc|aFrq|modT|idnt|mp__|atcv|atco) fail "the focus indicator shows the code $name" ;;
  esac
  seen="${seen:-} [$name]"
  keys Tab
done
echo "focus names:$seen"
for want in History Say Pilots ATC Traffic "Altitude offset" Apply; do
  case "$seen" in *"[$want]"*) ;; *) fail "the focus never named $want" ;; esac
done
wait_until 5 "Tab to come round to the command line" on_screen "[Tab: Say]"

# A field shows its start unless the cursor is beyond it.
long="$(seq -f 'w%02g' 1 20 | tr '\n' ' ')"
keys "$long"
wait_until 5 "the field to follow the cursor" on_screen "w20"
on_screen "Say: w01" && fail "the focused field shows its start, not the cursor"
keys Tab
wait_until 5 "the field to show its start" on_screen "Say: w01 w02"
keys BTab C-u

# A private message of 300 characters, readable whole in the history.
message="$(seq -f 'a%03g' 1 60 | tr '\n' ' ' | sed 's/ $/./')"
[ "${#message}" -eq 300 ] || fail "the message is ${#message} characters"
server "send $callsign #TMPEER:$callsign:$message"
# The history: inside the window's frame, the rows above the command line.
history_text() {
  screen | sed -n '5,30p' | cut -c2-55 | sed '/^Say:/,$d' | tr '\n' ' ' | tr -s ' '
}
readable() { history_text | grep -qF -- "[PRIVATE <PEER>] $message"; }
wait_until 10 "the whole message in the history" readable

# Traffic out to 100 nm.
keys Tab Tab Tab Tab
wait_until 5 "Tab to reach the traffic range" on_screen "[Tab: Traffic]"
keys Enter Down Down Down Down Down Enter
wait_until 5 "the traffic range 100 nm" on_screen "Traffic: <100 nm>"

# 20 pilots within 5 nm of the user's aircraft, standing still, and three
# beyond 10 nm; the scope at 10 nm.
send_traffic() {
  awk -v cs="$callsign" 'BEGIN {
    lat = 37.6189; lon = -122.3750; k = cos(lat * 3.14159265358979 / 180)
    split("-3.6 -1.8 0 1.8 3.6", east, " "); split("-3 -1 1 3", north, " ")
    n = 0
    for (i = 1; i <= 5; ++i) for (j = 1; j <= 4; ++j) {
      ++n
      printf "send %s @N:PK%02d:1200:1:%.6f:%.6f:3000:0:0:0\n", cs, n,
             lat + north[j] / 60, lon + east[i] / (60 * k)
    }
    printf "send %s @N:FAR1:1200:1:%.6f:%.6f:5000:0:0:0\n", cs, lat + 15 / 60, lon
    printf "send %s @N:FAR2:1200:1:%.6f:%.6f:5000:0:0:0\n", cs, lat - 25 / 60, lon
    printf "send %s @N:FAR3:1200:1:%.6f:%.6f:5000:0:0:0\n", cs, lat, lon + 60 / (60 * k)
  }' >&3
}
send_traffic
keys C-r C-r C-r C-r C-r
wait_until 5 "^R to come round to 10 nm" on_screen "Traffic  10 nm"
wait_until 15 "the count of the targets within 10 nm" on_screen "10 nm  (^R range)  20 targets"

# The scope's inside, from its frame on the screen.
scope() {
  screen | awk '
    index($0, "+- Traffic") { top = NR; left = index($0, "+- Traffic") }
    top && NR > top { if (substr($0, left, 2) == "+-") exit
                      print substr($0, left + 1, length($0) - left - 1) }'
}
# Every mark there, one own aircraft, and labels that are whole: each
# callsign once, each "TYPE ALT" right under a callsign, and no text but
# callsigns, types, altitudes and ring labels.
check_scope() {
  local size="$1" picture marks labels
  picture="$(scope)"
  marks="$(printf '%s\n' "$picture" | tr -cd '*' | wc -c)"
  [ "$marks" -eq 20 ] || fail "$size: $marks target marks on the scope, not 20"
  [ "$(printf '%s\n' "$picture" | tr -cd '+' | wc -c)" -eq 1 ] || fail "$size: not one own aircraft"
  printf '%s\n' "$picture" | awk '
    { line[NR] = $0 }
    END {
      for (i = 1; i <= NR; ++i) {
        rest = line[i]; at = 0
        while (match(rest, /PK[0-9][0-9]/)) {
          cs = substr(rest, RSTART, RLENGTH); at += RSTART
          if (seen[cs]++) { print "twice: " cs; bad = 1 }
          ++labels
          rest = substr(rest, RSTART + RLENGTH); at += RLENGTH - 1
        }
        rest = line[i]; at = 0
        while (match(rest, /C172 [0-9][0-9][0-9]/)) {
          at += RSTART
          if (substr(line[i - 1], at, 2) != "PK") { print "detail without callsign in line " i; bad = 1 }
          rest = substr(rest, RSTART + RLENGTH); at += RLENGTH - 1
        }
      }
      print "labels " labels
      exit bad
    }' >"$work/labels" || { cat "$work/labels"; fail "$size: a label is broken"; }
  stray="$(printf '%s\n' "$picture" | tr -c 'A-Za-z0-9\n' ' ' | tr ' ' '\n' |
           grep -vxE 'PK[0-9][0-9]|C172|[0-9][0-9][0-9]|5|10|nm|' || true)"
  [ -z "$stray" ] || fail "$size: pieces of labels on the scope: $(echo $stray)"
  labels="$(sed -n 's/^labels //p' "$work/labels")"
  [ "${labels:-0}" -ge 5 ] || fail "$size: only ${labels:-0} labels placed"
  echo "$size: 20 marks, $labels labels"
}
check_scope 100x30
send_traffic
tmux -L "$socket" resize-window -t tui -x 160 -y 50
wait_until 5 "the redraw at 160x50" on_screen "F5/F6 heading"
wait_until 5 "the count at 160x50" on_screen "10 nm  (^R range)  20 targets"
check_scope 160x50
tmux -L "$socket" resize-window -t tui -x 100 -y 30
wait_until 5 "the redraw at 100x30" on_screen "F5/F6 hdg"

# The panel's prompts fit the narrowest panel whole.
keys C-x 4 5 2 1 7
wait_until 5 "the squawk prompt whole" on_screen "Squawk: 4521_  Enter sets, Esc cancels"
keys Escape C-f 1 2 2 . 8 5 0 9
wait_until 5 "the COM prompt whole" on_screen "COM 1: 122.850_  Enter sets, Esc cancels"
keys Escape

# The help menu's second item hides the key help, and shows it again.
keys F3
wait_until 5 "the Help menu" on_screen "Help display"
keys Down Enter
gone() { ! on_screen "F5/F6 hdg"; }
wait_until 5 "the key help to go" gone
keys F3 Down Enter
wait_until 5 "the key help to come back" on_screen "F5/F6 hdg"

# The server goes: so does the light.
server quit
wait_until 10 "the network light to go out" on_screen "Network  --  no TCP connection"

keys C-q
wait_until 10 "simhost to end" test -f "$work/status"
[ "$(cat "$work/status")" = 0 ] || fail "simhost ended with status $(cat "$work/status")"
echo "PASS"
