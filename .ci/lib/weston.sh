# Sourced by the steps and scripts that run programs under weston, the
# Wayland reference compositor, drawn into an X server of our own (its x11
# backend, which gives it a real seat: keys typed through XTEST on that
# outer X server reach the focused Wayland window). The caller has started
# the outer X server (.ci/lib/xvfb.sh; 24 bits, so that weston's composited
# pixels are the clients' own), exported its DISPLAY, and defines "$work"
# (its scratch folder) and fail (message, then exit 1). Every wait is bounded.
#
#   weston_start            starts weston with Xwayland in a runtime folder of
#                           its own; sets weston_pid, weston_socket,
#                           weston_runtime, xwayland_display; the log is
#                           $work/weston.log
#   weston_stop             ends it (and with it Xwayland and its shell)
#   xwayland_pid            Xwayland's process id (it starts with its first
#                           client), or nothing
#   weston_client MODE      sets the array weston_client to the env command
#                           that runs a program as weston's client:
#                           "${weston_client[@]}" CMD ... (one process, so
#                           that $! after & is the program's own, or its
#                           timeout's); MODE "wayland" natively (SDL's
#                           wayland driver, no DISPLAY), "xwayland" through
#                           weston's Xwayland (SDL's x11 driver, no
#                           WAYLAND_DISPLAY)
#   weston_shot FILE        a screenshot of the outer server's whole screen
#   weston_pointer_away     puts weston's pointer in the screen's bottom-right
#                           corner, off every window
#   weston_key KEY          types KEY as a person would (on the focused window)
#   trace_count TRACE KIND  the number of KIND lines (frame, box-open, ...)
#                           in a platform frame trace, 0 when there is none
#   weston_wait_box TRACE K SECONDS PID
#                           waits until the K-th box of the program PID is
#                           open (its box-open line in the trace)
#   weston_close_box TRACE K
#                           presses Enter until the K-th box has closed, at
#                           most five times, two seconds apart; 1 if it
#                           stays; weston_presses is the number of presses
#
# Windows of weston's clients cannot be named from the outer X server, so
# the programs' frame trace (PLATFORM_FRAME_TRACE) says when a box is open,
# and keys go to whatever window weston has focused, as they do for a
# person at the keyboard: weston focuses each new window.

weston_pid="" weston_socket="" weston_runtime="" xwayland_display="" weston_client=() weston_presses=0
# the desktop's plain colour (0xAARRGGBB in weston.ini), so that a
# screenshot without windows holds one colour and the pointer
weston_background="32,64,96"

weston_start() {
  weston_runtime=$work/runtime
  weston_socket=wayland-ci
  mkdir -p "$weston_runtime"
  chmod 0700 "$weston_runtime"
  # no animations (a window must show its own pixels as soon as it is
  # mapped), no panel, no on-screen keyboard, a plain background, no
  # locking or blanking while the run is idle
  cat >"$work/weston.ini" <<'INI'
[core]
idle-time=0

[shell]
background-image=
background-color=0xff204060
panel-position=none
animation=none
startup-animation=none
close-animation=none
focus-animation=none
locking=false

[input-method]
path=
INI
  XDG_RUNTIME_DIR=$weston_runtime weston --backend=x11-backend.so --use-pixman \
    --width=1024 --height=768 --idle-time=0 --socket="$weston_socket" \
    --config="$work/weston.ini" --xwayland --log="$work/weston.log" \
    >"$work/weston.out" 2>&1 &
  weston_pid=$!
  local end=$((SECONDS + 20))
  until [ -S "$weston_runtime/$weston_socket" ] && grep -q 'xserver listening on display :' "$work/weston.log" 2>/dev/null; do
    kill -0 "$weston_pid" 2>/dev/null || { weston_logs; fail "weston ended at start"; }
    [ $SECONDS -lt $end ] || { weston_logs; fail "weston's socket or its Xwayland display did not come within 20 s"; }
    sleep 0.1
  done
  # Xwayland itself starts when its first client connects
  xwayland_display=$(sed -nE 's/.*xserver listening on display (:[0-9]+).*/\1/p' "$work/weston.log" | tail -1)
  # the shell has drawn the desktop once its colour is on the screen (at
  # the centre and near a corner, with the pointer, which starts where the
  # outer pointer entered, moved out of the way)
  end=$((SECONDS + 20))
  while :; do
    weston_pointer_away
    weston_shot "$work/desktop.png"
    [ "$(convert "$work/desktop.png" -format '%[pixel:p{512,384}] %[pixel:p{20,20}]' info: 2>/dev/null)" = \
      "srgb($weston_background) srgb($weston_background)" ] && break
    [ $SECONDS -lt $end ] || { weston_logs; fail "weston's desktop was not drawn within 20 s"; }
    sleep 0.2
  done
}

weston_stop() {
  [ -n "$weston_pid" ] || return 0
  kill "$weston_pid" 2>/dev/null || true
  local end=$((SECONDS + 10))
  while kill -0 "$weston_pid" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.1; done
  kill -KILL "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  weston_pid=""
}

weston_logs() {
  echo "---- weston's log"
  tail -40 "$work/weston.log" 2>/dev/null || true
  tail -20 "$work/weston.out" 2>/dev/null || true
}

weston_client() {  # mode
  case $1 in
    wayland) weston_client=(env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$weston_socket" XDG_RUNTIME_DIR="$weston_runtime") ;;
    xwayland) weston_client=(env -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 DISPLAY="$xwayland_display" XDG_RUNTIME_DIR="$weston_runtime") ;;
    *) fail "no client mode '$1' (wayland, xwayland)" ;;
  esac
}

weston_shot() {  # file
  timeout -k 2 10 import -silent -window root "$1"
}

# weston's x11 backend moves its pointer by the outer pointer's motion, not
# to its place: a sweep from the top-left corner to the bottom-right one
# takes it to the bottom-right corner from anywhere
weston_pointer_away() {
  timeout 5 xdotool mousemove 0 0 && sleep 0.1 && timeout 5 xdotool mousemove 1023 767 && sleep 0.1
}

weston_key() {  # key
  # a key left down by an earlier press whose window closed on it would
  # reach the next focused window
  timeout 5 xdotool keyup Return Escape 2>/dev/null || true
  timeout 5 xdotool key "$1"
}

trace_count() {  # trace kind
  local n
  n=$(grep -c " $2 " "$1" 2>/dev/null) || true
  echo "${n:-0}"
}

weston_wait_box() {  # trace k seconds pid
  local end=$((SECONDS + $3))
  while [ "$(trace_count "$1" box-open)" -lt "$2" ]; do
    kill -0 "$4" 2>/dev/null || fail "the program ended before its box $2"
    [ $SECONDS -lt $end ] || fail "no box $2 within $3 s"
    sleep 0.1
  done
}

weston_close_box() {  # trace k
  local try end
  for try in 1 2 3 4 5; do
    weston_presses=$try
    weston_key Return
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
