# Sourced by the CI steps: `require STEP command:package ...` and
# `require_package STEP package ...` stop the step at once, naming what is
# missing and the Debian package that brings it (scripts/install-deps
# installs them all), instead of failing later on a symptom.

require() {
  local step=$1 entry missing=()
  shift
  for entry in "$@"; do
    command -v "${entry%%:*}" >/dev/null 2>&1 || missing+=("${entry%%:*} (package ${entry#*:})")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "$step: missing ${missing[*]}; run scripts/install-deps" >&2
  exit 1
}

require_package() {
  local step=$1 package missing=()
  shift
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "$step: missing package ${missing[*]}; run scripts/install-deps" >&2
  exit 1
}
