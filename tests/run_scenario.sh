#!/usr/bin/env bash
# Runs one scenario script of the stand-in host against the real plug-in.
#   run_scenario.sh SIMHOST PLUGIN NETSERVER DATA_DIR SCENARIO.sim
# A scenario that needs a network peer says so in a first-lines header:
#   #! server 127.0.0.N [netserver options]    (@DATA stands for DATA_DIR)
# The simulator's folder is a fresh copy of DATA_DIR, so settings never leak
# from one run into the next.
set -euo pipefail
simhost="$1" plugin="$2" netserver="$3" data="$4" scenario="$5"

root="$(mktemp -d "${TMPDIR:-/tmp}/talvix-scenario.XXXXXX")"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$root"
}
trap cleanup EXIT
cp -r "$data"/. "$root"/

header="$(grep -m1 '^#! server ' "$scenario" || true)"
if [ -n "$header" ]; then
  read -r -a words <<<"${header#\#! server }"
  address="${words[0]}"
  options=("${words[@]:1}")
  options=("${options[@]//@DATA/$data}")
  "$netserver" --listen "$address" --port 6809 "${options[@]}" \
    </dev/null >"$root/netserver.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/$address/6809") 2>/dev/null && break
    sleep 0.1
  done
fi

status=0
"$simhost" --root "$root" --plugin "$plugin" --script "$scenario" || status=$?
if [ "$status" -ne 0 ] && [ -f "$root/netserver.log" ]; then
  echo "--- netserver log ---"
  tail -n 50 "$root/netserver.log"
fi
exit "$status"
