# Package installs that survive a package mirror caught mid-update.
# Sourced by scripts/setup and scripts/setup_windows; each caller sets
# APT_SAY to its own prefix.
#   apt_update                 apt-get update, retried; a failing index is
#                              reported in one line and the run goes on
#   apt_install PACKAGE...     installs what can be installed; sets
#                              APT_SKIPPED to the packages that could not be
#                              and APT_SKIP_REASON to apt-get's last error
#   apt_missing PACKAGE...     prints the packages not installed
# Every failure is said with its reason, whatever apt-get (or sudo) wrote,
# even nothing, and none of them ends the caller's run: the functions
# return 0 under set -euo pipefail. A package manager held by another
# process is waited for APT_LOCK_WAIT seconds first.
APT_SAY="${APT_SAY:-setup}"
APT_TRIES="${APT_TRIES:-3}"
APT_PAUSE="${APT_PAUSE:-10}"
APT_LOCK_WAIT="${APT_LOCK_WAIT:-120}"
APT_SKIPPED=()
APT_SKIP_REASON=""

apt_say() { printf '== %s: %s\n' "$APT_SAY" "$*"; }

apt_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get's reason for a failure in one line, from its output (file) and
# exit status: its first "E:" or "Err:" line, else the last line written
# (sudo's refusal, say), else the status alone.
apt_reason() { # log status
  local reason
  reason="$(awk '/^(E|Err):/ && first == "" { first = $0 } NF { last = $0 }
    END { print (first != "" ? first : last) }' "$1" 2>/dev/null || true)"
  printf '%s' "${reason:-apt-get exited $2 with no output}" | cut -c1-200
}

# apt-get as root, waiting for a lock that another package manager holds;
# its output goes to the file given first.
apt_get() { # log arguments...
  local log="$1"
  shift
  apt_as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get -o DPkg::Lock::Timeout="$APT_LOCK_WAIT" "$@" >"$log" 2>&1
}

apt_locked() { # log
  grep -qE '^E: (Could not get lock|Unable to acquire the dpkg frontend lock|Unable to lock)' "$1"
}

apt_missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

apt_update() {
  local try log status=0
  log="$(mktemp)"
  for ((try = 1; try <= APT_TRIES; try++)); do
    status=0
    apt_get "$log" update -q || status=$?
    if [ "$status" -eq 0 ]; then
      rm -f "$log"
      return 0
    fi
    [ "$try" -lt "$APT_TRIES" ] && sleep "$APT_PAUSE"
  done
  apt_say "apt-get update failed $APT_TRIES times ($(apt_reason "$log" "$status")); going on with the package lists as they are"
  rm -f "$log"
  return 0
}

# One install for all; where that fails (a package that cannot be had, or
# versions that no longer match), each package on its own, so that the
# others still install. A lock still held after the wait fails them all
# alike: they are skipped together, without a wait for each.
apt_install() {
  local p log status=0
  APT_SKIPPED=()
  APT_SKIP_REASON=""
  [ "$#" -gt 0 ] || return 0
  log="$(mktemp)"
  apt_get "$log" install -y -q --no-install-recommends "$@" || status=$?
  if [ "$status" -eq 0 ]; then
    rm -f "$log"
    return 0
  fi
  if apt_locked "$log"; then
    APT_SKIPPED=("$@")
    APT_SKIP_REASON="$(apt_reason "$log" "$status")"
  else
    for p in "$@"; do
      status=0
      apt_get "$log" install -y -q --no-install-recommends "$p" || status=$?
      if [ "$status" -ne 0 ]; then
        APT_SKIPPED+=("$p")
        APT_SKIP_REASON="$(apt_reason "$log" "$status")"
      fi
    done
  fi
  rm -f "$log"
  [ ${#APT_SKIPPED[@]} -eq 0 ] || apt_say "skipped (could not be installed): ${APT_SKIPPED[*]}${APT_SKIP_REASON:+ ($APT_SKIP_REASON)}"
  return 0
}
