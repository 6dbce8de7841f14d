#!/usr/bin/env bash
# The set-up's package installs against a mirror caught mid-update: an
# apt-get and a dpkg-query of our own on the PATH stand for the package
# manager. Their update fails while FAIL_UPDATE is set; their install
# refuses every package named in REFUSE, alone or with others. With FAIL
# set, every call fails the way it names: silent (no output at all),
# refused (sudo's one line), err (only "Err:" lines), lock (the package
# manager held by another process).
set -uo pipefail
lib="$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/apt.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
export STATE="$work/state"
mkdir -p "$STATE"
touch "$STATE/installed" "$STATE/calls"

cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
lock_wait=""
if [ "$1" = -o ]; then lock_wait="$2" && shift 2; fi
echo "apt-get $* $lock_wait" >>"$STATE/calls"
case "${FAIL:-}" in
  silent) exit 100 ;;
  refused) echo "sudo: a password is required" >&2; exit 1 ;;
  err) printf 'Err:1 http://mirror.invalid/debian bookworm/main amd64 foo 1.0\n  404  Not Found\n'; exit 100 ;;
  lock) printf 'E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)\nE: Unable to acquire the dpkg frontend lock\n'; exit 100 ;;
esac
case "$1" in
  update)
    if [ -n "${FAIL_UPDATE:-}" ]; then
      echo "Err:8 http://mirror.invalid/debian-security bookworm-security/main i386 Packages"
      echo "E: Some index files failed to download."
      exit 100
    fi ;;
  install)
    shift
    wanted=()
    for a in "$@"; do case "$a" in -*) ;; *) wanted+=("$a") ;; esac; done
    for p in "${wanted[@]}"; do
      for r in ${REFUSE:-}; do
        if [ "$p" = "$r" ]; then
          echo "E: Unable to correct problems, you have held broken packages."
          exit 100
        fi
      done
    done
    printf '%s\n' "${wanted[@]}" >>"$STATE/installed" ;;
esac
exit 0
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
p="${!#}"
grep -qx "$p" "$STATE/installed" || exit 1
echo "install ok installed"
STUB
chmod +x "$work/bin/apt-get" "$work/bin/dpkg-query"
export PATH="$work/bin:$PATH"

passed=0 failed=0
check() { # description, command...
  local what="$1"
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
run() { # runs a snippet against the library in a fresh shell
  bash -c "set -euo pipefail; APT_SAY=test; APT_PAUSE=0; . '$lib'; $1" 2>&1
}

# An index that keeps failing: three tries, one line that says so, then on.
: >"$STATE/calls"
out="$(FAIL_UPDATE=1 run 'apt_update; echo after-update')"
check "update tried three times" [ "$(grep -c '^apt-get update' "$STATE/calls")" -eq 3 ]
check "the failure said in one line" [ "$(grep -c 'going on with the package lists as they are' <<<"$out")" -eq 1 ]
check "the failing index named" grep -q 'Err:8 http://mirror.invalid' <<<"$out"
check "the run goes on after a failed update" grep -qx 'after-update' <<<"$out"

# An index that works at once is fetched once and nothing is said.
: >"$STATE/calls"
out="$(run 'apt_update')"
check "a good update runs once" [ "$(grep -c '^apt-get update' "$STATE/calls")" -eq 1 ]
check "a good update says nothing" [ -z "$out" ]

# One package that cannot be had: the others still install, it is named.
: >"$STATE/installed"
out="$(REFUSE=wine32:i386 run 'apt_install wine64 wine32:i386 zip; echo "skipped=${APT_SKIPPED[*]}"')"
check "the installable ones installed" grep -qx wine64 "$STATE/installed"
check "zip installed too" grep -qx zip "$STATE/installed"
check "the refused one not installed" bash -c "! grep -qx 'wine32:i386' '$STATE/installed'"
check "only the refused one skipped" grep -qx 'skipped=wine32:i386' <<<"$out"
check "the skip said with apt-get's reason" grep -q 'skipped (could not be installed): wine32:i386 (E: Unable to correct problems' <<<"$out"

# Everything installable: one call, nothing skipped, nothing said.
: >"$STATE/installed"
: >"$STATE/calls"
out="$(run 'apt_install cmake g++; echo "skipped=${APT_SKIPPED[*]}"')"
check "one install call" [ "$(grep -c '^apt-get install' "$STATE/calls")" -eq 1 ]
check "nothing skipped" [ "$out" = "skipped=" ]

# apt-get failing in each way it can: the failure is said with what apt-get
# gave, and the run goes on: the functions return 0 under set -e. A held lock
# is waited for on every call, and fails the packages together.
while IFS='|' read -r mode installs said; do
  : >"$STATE/calls"
  : >"$STATE/installed"
  out="$(FAIL="$mode" run 'apt_install foo bar; echo "returned=$?"; apt_update')"
  check "$mode: install returns 0" grep -qx 'returned=0' <<<"$out"
  check "$mode: install failure said" grep -qxF "== test: skipped (could not be installed): foo bar ($said)" <<<"$out"
  check "$mode: update failure said" grep -qF "apt-get update failed 3 times ($said)" <<<"$out"
  check "$mode: $installs install calls" [ "$(grep -c '^apt-get install' "$STATE/calls")" -eq "$installs" ]
  check "$mode: every call waits for a lock" bash -c "! grep -qv 'DPkg::Lock::Timeout=120$' '$STATE/calls'"
done <<'ROWS'
silent|3|apt-get exited 100 with no output
refused|3|sudo: a password is required
err|3|Err:1 http://mirror.invalid/debian bookworm/main amd64 foo 1.0
lock|1|E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)
ROWS

# apt_missing names exactly the packages not installed, in order.
printf 'cmake\nzip\n' >"$STATE/installed"
out="$(run 'apt_missing cmake wine64 zip nftables')"
check "missing packages listed" [ "$out" = "$(printf 'wine64\nnftables')" ]

echo "apt_test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
