# Sourced by the steps and scripts that run programs under the Wayland
# compositors people use, each drawn into an X server of our own, as its
# nested or x11 backend: that gives it a real seat, so keys typed through
# XTEST on the outer X server reach the Wayland window it has focused. The
# compositors run with their default settings; only what a run without a
# person needs is set (no idle time, the outer screen's size).
#
# The caller has started the outer X server (.ci/lib/xvfb.sh; 24 bits, so
# that the composited pixels are the clients' own), exported its DISPLAY, and
# defines "$work" (its scratch folder) and fail (message, then exit 1).
# Every wait is bounded.
#
#   compositor_start NAME   starts weston, mutter, kwin, sway or cage (cage
#                           starts with each program: it runs one
#                           application) in a runtime folder of its own
#                           (mode 0700); waits until its desktop is drawn and
#                           keeps a screenshot of it in $work/empty.png. Sets
#                           wl_name, wl_pid, wl_socket, wl_runtime,
#                           xwayland_display (weston only). The log is
#                           $work/NAME.log
#   compositor_stop         ends it (and what it started)
#   compositor_alive        status 0 while it runs (always for cage)
#   compositor_client MODE  sets the array wl_client to the command that runs
#                           a program as the compositor's client:
#                           "${wl_client[@]}" VAR=... CMD ... (one process, so
#                           that $! after & is the one to wait for); MODE
#                           "wayland" natively (SDL's wayland driver, no
#                           DISPLAY), "xwayland" through weston's Xwayland.
#                           Under sway and cage the program runs as the
#                           unprivileged user $wl_user (they refuse root),
#                           in the folder $wl_files, which it may write
#                           (traces go there; paths must be absolute)
#   client_status PID       waits for the client and sets wl_status to its
#                           status (the program's own under cage, not cage's)
#   wl_shot FILE            a screenshot of the outer server's whole screen
#   wl_differ A B           the number of pixels in which two screenshots
#                           differ (by more than 8 in a channel)
#   wl_change BEFORE AFTER  .ci/lib/screen_change.py of two screenshots:
#                           "changed N colours C box X Y W H" (slower)
#   wl_pointer_to X Y       moves the pointer there (on the outer screen)
#   wl_key KEY              types KEY as a person would, held about 100 ms
#   trace_count TRACE KIND  the number of KIND lines (frame, box-open, ...)
#                           in a platform frame trace, 0 when there is none
#   wl_wait_box TRACE K SECONDS PID
#                           waits until the K-th box of the program PID is
#                           open (its box-open line in the trace)
#   wl_close_box TRACE K    presses Enter until the K-th box has closed, at
#                           most five times, two seconds apart; 1 if it
#                           stays; wl_presses is the number of presses
#   compositor_logs         prints the end of the compositor's log
#
# Windows of Wayland clients cannot be named from the outer X server, so the
# programs' frame trace (PLATFORM_FRAME_TRACE) says when a box is open, and
# keys go to whatever window the compositor has focused, as they do for a
# person at the keyboard.

wl_compositors="weston mutter kwin sway cage"
wl_name="" wl_pid="" wl_socket="" wl_runtime="" wl_files="" xwayland_display=""
wl_client=() wl_presses=0 wl_bus_pid="" wl_bus_address=""
# sway refuses to run as root: it and its clients run as this user
wl_user=kelvane-ci

compositor_start() {  # name
  wl_name=$1
  wl_runtime=$work/runtime-$1
  wl_files=$work
  rm -rf "$wl_runtime"
  mkdir -p "$wl_runtime"
  chmod 0700 "$wl_runtime"
  case $1 in
    weston | mutter | kwin | sway) "$1_start" ;;
    # until cage starts with a program, the screen is the bare outer one
    cage) wl_pid="" wl_socket="" && wl_unprivileged && wl_shot "$work/empty.png" ;;
    *) fail "no compositor '$1' ($wl_compositors)" ;;
  esac
  [ "$1" = cage ] || wl_wait_desktop
}

weston_start() {
  wl_socket=wayland-ci
  # no weston.ini: its defaults (panel, animations, background); no idle
  # time, which would lock the screen of a run nobody watches
  XDG_RUNTIME_DIR=$wl_runtime weston --no-config --backend=x11-backend.so --use-pixman \
    --width=1024 --height=768 --idle-time=0 --socket="$wl_socket" \
    --xwayland --log="$work/weston.log" >"$work/weston.out" 2>&1 &
  wl_pid=$!
  wl_wait_socket 'xserver listening on display :'
  # Xwayland itself starts when its first client connects
  xwayland_display=$(sed -nE 's/.*xserver listening on display (:[0-9]+).*/\1/p' "$work/weston.log" | tail -1)
}

# a session bus of our own for the desktops' compositors, ended with them
wl_start_bus() {
  local out
  out=$(timeout 10 dbus-launch --sh-syntax) || fail "dbus-launch did not start a session bus"
  wl_bus_address=$(sed -nE "s/^DBUS_SESSION_BUS_ADDRESS='(.*)';$/\1/p" <<<"$out")
  wl_bus_pid=$(sed -nE 's/^DBUS_SESSION_BUS_PID=([0-9]+);$/\1/p' <<<"$out")
  [ -n "$wl_bus_address" ] && [ -n "$wl_bus_pid" ] || fail "dbus-launch said: $out"
}

mutter_start() {
  wl_socket=wayland-ci
  wl_start_bus
  # nested in the outer screen, at its size
  DBUS_SESSION_BUS_ADDRESS=$wl_bus_address XDG_RUNTIME_DIR=$wl_runtime \
    MUTTER_DEBUG_DUMMY_MODE_SPECS=1024x768 \
    mutter --wayland --nested --wayland-display="$wl_socket" >"$work/mutter.log" 2>&1 &
  wl_pid=$!
  wl_wait_socket
}

kwin_start() {
  wl_socket=wayland-ci
  wl_start_bus
  # kwin_wayland carries file capabilities (to raise its priority) that a
  # container may refuse to exec: a copy has none
  mkdir -p "$work/kwin"
  cp /usr/bin/kwin_wayland "$work/kwin/kwin_wayland"
  DBUS_SESSION_BUS_ADDRESS=$wl_bus_address XDG_RUNTIME_DIR=$wl_runtime \
    "$work/kwin/kwin_wayland" --x11-display "$DISPLAY" --socket "$wl_socket" \
    --width 1024 --height 768 --xwayland >"$work/kwin.log" 2>&1 &
  wl_pid=$!
  wl_wait_socket
}

# sway and cage refuse to run as root: they and their clients run as
# $wl_user (made here when missing), with the runtime folder, and a folder
# of its own to write in, $wl_files, inside the scratch folder
wl_unprivileged() {
  id -u "$wl_user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin "$wl_user" ||
    fail "cannot create the user $wl_user that $wl_name runs as"
  chown "$wl_user:" "$wl_runtime"
  chmod 0711 "$work"
  wl_files=$work/user
  mkdir -p "$wl_files/home"
  chown -R "$wl_user:" "$wl_files"
}

# runs a command as $wl_user (exec: the same process)
wl_as_user() {
  setpriv --reuid="$wl_user" --regid="$wl_user" --clear-groups env HOME="$wl_files/home" "$@"
}

sway_start() {
  wl_unprivileged
  # sway's own configuration file, as installed (a bar, a wallpaper)
  wl_as_user WLR_BACKENDS=x11 XDG_RUNTIME_DIR="$wl_runtime" sway >"$work/sway.log" 2>&1 &
  wl_pid=$!
  local end=$((SECONDS + 20))
  # sway takes the first free wayland-N
  until wl_socket=$(cd "$wl_runtime" && ls wayland-? 2>/dev/null | head -1) && [ -n "$wl_socket" ]; do
    kill -0 "$wl_pid" 2>/dev/null || { compositor_logs; fail "sway ended at start"; }
    [ $SECONDS -lt $end ] || { compositor_logs; fail "sway's socket did not come within 20 s"; }
    sleep 0.1
  done
}

# waits for the socket and, when given, a line of the log
wl_wait_socket() {  # [log line]
  local end=$((SECONDS + 30))
  until [ -S "$wl_runtime/$wl_socket" ] && { [ -z "${1:-}" ] || grep -q "$1" "$work/$wl_name.log" 2>/dev/null; }; do
    kill -0 "$wl_pid" 2>/dev/null || { compositor_logs; fail "$wl_name ended at start"; }
    [ $SECONDS -lt $end ] || { compositor_logs; fail "$wl_name's socket did not come within 30 s"; }
    sleep 0.1
  done
}

# The desktop is drawn once the compositor's window is mapped on the outer
# screen and the screen has settled (two screenshots half a second apart
# alike but for a clock or a bar); it is kept as $work/empty.png. (A
# desktop may be black, as the bare screen is.)
wl_wait_desktop() {
  local end=$((SECONDS + 30)) last="" now=""
  while :; do
    sleep 0.5
    if [ -n "$(wl_outer_windows)" ]; then
      wl_shot "$work/empty.png"
      [ -n "$last" ] && now=$(wl_differ "$work/last.png" "$work/empty.png") && [ "$now" -lt 3000 ] && break
      last=yes
      cp "$work/empty.png" "$work/last.png"
    fi
    kill -0 "$wl_pid" 2>/dev/null || { compositor_logs; fail "$wl_name ended while drawing its desktop"; }
    [ $SECONDS -lt $end ] || { compositor_logs; fail "$wl_name's window was not mapped and settled within 30 s (${now:-no window}${now:+ pixels changed in half a second})"; }
  done
}

# the mapped windows on the outer screen
wl_outer_windows() {
  local id
  for id in $(timeout 5 xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
    timeout 5 xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id"
  done
}

compositor_stop() {
  if [ -n "$wl_pid" ]; then
    kill "$wl_pid" 2>/dev/null || true
    local end=$((SECONDS + 10))
    while kill -0 "$wl_pid" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.1; done
    kill -KILL "$wl_pid" 2>/dev/null || true
    wait "$wl_pid" 2>/dev/null || true
  fi
  [ -z "$wl_bus_pid" ] || kill "$wl_bus_pid" 2>/dev/null || true
  wl_pid="" wl_bus_pid=""
}

compositor_alive() {
  [ "$wl_name" = cage ] || kill -0 "$wl_pid" 2>/dev/null
}

compositor_logs() {
  echo "---- the end of $wl_name's log"
  tail -30 "$work/$wl_name.log" 2>/dev/null || true
  [ ! -s "$work/$wl_name.out" ] || tail -10 "$work/$wl_name.out"
}

compositor_client() {  # mode
  local user=()
  case $1 in
    wayland) ;;
    xwayland)
      [ -n "$xwayland_display" ] || fail "no Xwayland under $wl_name here"
      wl_client=(env -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 DISPLAY="$xwayland_display" XDG_RUNTIME_DIR="$wl_runtime")
      return ;;
    *) fail "no client mode '$1' (wayland, xwayland)" ;;
  esac
  case $wl_name in
    sway) user=(setpriv --reuid="$wl_user" --regid="$wl_user" --clear-groups env -C "$wl_files" HOME="$wl_files/home") ;;
    cage)
      # cage runs the program as its one application and says nothing of
      # how it ended: the shell in between writes its status
      rm -f "$wl_files/cage.status"
      wl_client=(setpriv --reuid="$wl_user" --regid="$wl_user" --clear-groups
        env -C "$wl_files" HOME="$wl_files/home" XDG_RUNTIME_DIR="$wl_runtime" WLR_BACKENDS=x11
        cage -- sh -c '"$@"; echo $? >"$0"' "$wl_files/cage.status" env -u DISPLAY SDL_VIDEODRIVER=wayland)
      return ;;
  esac
  wl_client=("${user[@]}" env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$wl_socket" XDG_RUNTIME_DIR="$wl_runtime")
}

client_status() {  # pid
  wl_status=0
  wait "$1" || wl_status=$?
  if [ "$wl_name" = cage ]; then
    # cage's own status when the program never ended inside it
    [ ! -s "$wl_files/cage.status" ] || wl_status=$(cat "$wl_files/cage.status")
    rm -f "$wl_files/cage.status"
  fi
}

wl_shot() {  # file
  rm -f "$1"
  timeout -k 2 20 import -silent -window root "$1" && [ -s "$1" ] ||
    fail "no screenshot of the outer screen $DISPLAY within 20 s"
}

wl_differ() {  # a b
  local n
  # by more than 8 in a channel, as in screen_change.py
  n=$(compare -metric AE -fuzz 3.2% "$1" "$2" null: 2>&1) || true
  # (called inside $(...), where fail would end only the subshell: an
  # unreadable screenshot counts as all different, and says why)
  if [[ $n =~ ^[0-9]+$ ]]; then echo "$n"; else echo "compare $1 $2 said: $n" >&2; echo 999999999; fi
}

wl_change() {  # before after
  local size
  size=$(identify -format '%w %h' "$2") && convert "$1" -depth 8 "rgba:$work/change-a.rgba" &&
    convert "$2" -depth 8 "rgba:$work/change-b.rgba" &&
    python3 "$(dirname "${BASH_SOURCE[0]}")/screen_change.py" $size "$work/change-a.rgba" "$work/change-b.rgba"
  rm -f "$work/change-a.rgba" "$work/change-b.rgba"
}

# a field of wl_change's line: changed, colours, or box (four numbers)
wl_field() {  # line name
  case $2 in
    box) sed -nE 's/.* box ([0-9]+ [0-9]+ [0-9]+ [0-9]+)$/\1/p' <<<"$1" ;;
    *) sed -nE "s/.*\\<$2 ([0-9]+).*/\\1/p" <<<"$1" ;;
  esac
}

wl_pointer_to() {  # x y
  timeout 5 xdotool mousemove "$1" "$2"
}

wl_key() {  # key
  timeout 5 xdotool keydown "$1" && sleep 0.1 && timeout 5 xdotool keyup "$1"
}

trace_count() {  # trace kind
  local n
  n=$(grep -c " $2 " "$1" 2>/dev/null) || true
  echo "${n:-0}"
}

wl_wait_box() {  # trace k seconds pid
  local end=$((SECONDS + $3))
  while [ "$(trace_count "$1" box-open)" -lt "$2" ]; do
    kill -0 "$4" 2>/dev/null || fail "the program ended before its box $2"
    [ $SECONDS -lt $end ] || fail "no box $2 within $3 s"
    sleep 0.1
  done
}

wl_close_box() {  # trace k
  local try end
  for try in 1 2 3 4 5; do
    wl_presses=$try
    wl_key Return
    end=$((SECONDS + 2))
    while [ $SECONDS -lt $end ]; do
      [ "$(trace_count "$1" box-closed)" -ge "$2" ] && return 0
      sleep 0.1
    done
  done
  return 1
}

# the process id of weston's Xwayland, empty before its first client
xwayland_pid() {
  sed -nE 's/.*Spawned Xwayland server, pid ([0-9]+).*/\1/p' "$work/weston.log" 2>/dev/null | tail -1
}
