# Sourced by the CI steps that run the Windows build under Wine 64-bit
# (windows-wine, package). The step defines fail (message, then exit 1)
# and "$work", its scratch folder; the prefix is made in $work/prefix.
#   make_prefix          a fresh prefix (about 15 s); needs a display
#   report_nt40          makes the prefix report Windows NT 4.0, build 1381,
#                        "Service Pack 4", and checks that it does
#   stop_wine            ends the prefix's Wine processes
#   windows              top-level X windows as "id title" lines
#   wait_for PATTERN SECONDS [ID to skip]   -> the id of a window so titled
#   dismiss ID           answers a box with Return, waits until it is gone
#   start FOLDER PROGRAM runs it from FOLDER in the background ($program),
#                        the texts of its boxes traced into $work/trace
#   finish STATUS NAME   waits for it; fails on another exit status
#   boxes_were NAME TEXTS  the traced box texts, one a line, must be TEXTS

wine=/usr/lib/wine/wine64
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
unset WINEARCH WINELOADER WINESERVER
program=""

make_prefix() {
  timeout -k 5 120 "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot failed"; }
  timeout -k 5 60 /usr/lib/wine/wineserver -w || true
}

report_nt40() {
  cat >"$work/nt40.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion]
"CurrentVersion"="4.0"
"CurrentMajorVersionNumber"=dword:00000004
"CurrentMinorVersionNumber"=dword:00000000
"CurrentBuild"="1381"
"CurrentBuildNumber"="1381"
"CSDVersion"="Service Pack 4"
REG
  (cd "$work" && timeout -k 5 30 "$wine" reg import nt40.reg >/dev/null 2>&1) || fail "reg import of the NT 4.0 version failed"
  local version
  version=$(timeout -k 5 30 "$wine" cmd /c ver | tr -d '\r' | grep .)
  echo "Wine reports: $version"
  [ "$version" = "Microsoft Windows 4.0.1381" ] || fail "the prefix does not report NT 4.0 build 1381"
}

stop_wine() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  [ -d "$WINEPREFIX" ] && timeout -k 5 20 /usr/lib/wine/wineserver -k 2>/dev/null || true
}

windows() { xwininfo -root -tree 2>/dev/null | sed -nE 's/^ +(0x[0-9a-f]+) "(.*)": .*/\1 \2/p'; }
wait_for() {  # title-pattern seconds [id to skip] -> window id
  local end=$((SECONDS + $2)) id
  while [ $SECONDS -lt $end ]; do
    for id in $(windows | grep -E "^0x[0-9a-f]+ $1\$" | cut -d' ' -f1); do
      [ "$id" != "${3:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
dismiss() {  # id
  xdotool key --window "$1" Return 2>/dev/null
  local end=$((SECONDS + 10))
  while windows | grep -q "^$1 "; do
    [ $SECONDS -lt $end ] || fail "box $1 did not close on Return"
    sleep 0.2
  done
}
start() {  # folder program
  (cd "$1" && WINEDEBUG=-all,trace+msgbox timeout -k 5 180 "$wine" "$2" >"$work/out" 2>"$work/trace") &
  program=$!
}
finish() {  # expected-status name
  local status=0
  wait "$program" || status=$?
  program=""
  [ "$status" -eq "$1" ] || { tail -20 "$work/trace"; fail "$2 ended with status $status, not $1"; }
}
boxes_were() {  # name expected-lines
  sed -nE 's/^[0-9a-f]+:trace:msgbox:MSGBOX_OnInit L"(.*)"\r?$/\1/p' "$work/trace" >"$work/shown"
  printf '%s\n' "$2" | diff -u - "$work/shown" || fail "$1: the boxes' texts differ"
}
