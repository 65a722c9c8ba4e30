# Sourced by the CI steps that need a display:
#   start_xvfb STEP DEPTH [Xvfb options...]
# starts an X server of our own (Xvfb picks a free display number and writes
# it to fd 3) with a 1024 x 768 screen of DEPTH bits, leaves its pid in
# $xvfb, exports DISPLAY and returns once the server answers; every wait is
# bounded. "$work" must name the step's scratch folder. The caller kills
# $xvfb when it is done (a server that does not answer is started again,
# once). XVFB_DISPLAY=N takes display :N instead of a free
# one (on a machine shared with other people's servers).

start_xvfb() {
  local step=$1 depth=$2 attempt
  shift 2
  # a server that never answers (seen once, right after another step had
  # stopped its servers) is stopped and started once more
  for attempt in 1 2; do
    launch_xvfb "$step" "$depth" "$@"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "$step: Xvfb on $DISPLAY did not answer within 5 s (attempt $attempt)"
    cat "$work/xvfb.log"
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  done
  exit 1
}

launch_xvfb() {
  local step=$1 depth=$2
  shift 2
  rm -f "$work/display"
  if [ -n "${XVFB_DISPLAY:-}" ]; then
    # not someone else's server
    [ -e "/tmp/.X$XVFB_DISPLAY-lock" ] && { echo "$step: display :$XVFB_DISPLAY is in use"; exit 1; }
    echo "$XVFB_DISPLAY" >"$work/display"
    Xvfb ":$XVFB_DISPLAY" -screen 0 "1024x768x$depth" -nolisten tcp "$@" >"$work/xvfb.log" 2>&1 &
  else
    Xvfb -displayfd 3 -screen 0 "1024x768x$depth" -nolisten tcp "$@" \
      3>"$work/display" >"$work/xvfb.log" 2>&1 &
  fi
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
  [ -s "$work/display" ] || { echo "$step: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  export DISPLAY=:$(head -1 "$work/display")
}
