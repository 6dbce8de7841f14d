# Package installs that survive a package mirror caught mid-update.
# Sourced by scripts/setup and scripts/setup_windows; each caller sets
# APT_SAY to its own prefix.
#   apt_update                 apt-get update, retried; a failing index is
#                              reported in one line and the run goes on
#   apt_install PACKAGE...     installs what can be installed; sets
#                              APT_SKIPPED to the packages that could not be
#                              and APT_SKIP_REASON to apt-get's last error
#   apt_missing PACKAGE...     prints the packages not installed
APT_SAY="${APT_SAY:-setup}"
APT_TRIES="${APT_TRIES:-3}"
APT_PAUSE="${APT_PAUSE:-10}"
APT_SKIPPED=()
APT_SKIP_REASON=""

apt_say() { printf '== %s: %s\n' "$APT_SAY" "$*"; }

apt_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

apt_update() {
  local try log
  log="$(mktemp)"
  for ((try = 1; try <= APT_TRIES; try++)); do
    if apt_as_root apt-get update -q >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    [ "$try" -lt "$APT_TRIES" ] && sleep "$APT_PAUSE"
  done
  apt_say "apt-get update failed $APT_TRIES times ($(grep -m1 -E '^(E|Err):' "$log" | cut -c1-160)); going on with the package lists as they are"
  rm -f "$log"
  return 0
}

# One install for all; where that fails (a package that cannot be had, or
# versions that no longer match), each package on its own, so that the
# others still install.
apt_install() {
  local p log
  APT_SKIPPED=()
  APT_SKIP_REASON=""
  [ "$#" -gt 0 ] || return 0
  log="$(mktemp)"
  if apt_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" >"$log" 2>&1; then
    rm -f "$log"
    return 0
  fi
  for p in "$@"; do
    if ! apt_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$p" >"$log" 2>&1; then
      APT_SKIPPED+=("$p")
      APT_SKIP_REASON="$(grep -m1 -E '^E:' "$log" | cut -c1-200)"
    fi
  done
  rm -f "$log"
  [ ${#APT_SKIPPED[@]} -eq 0 ] || apt_say "skipped (could not be installed): ${APT_SKIPPED[*]}${APT_SKIP_REASON:+ ($APT_SKIP_REASON)}"
  return 0
}
