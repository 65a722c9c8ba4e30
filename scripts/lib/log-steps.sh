# Sourced by scripts/run-demos and scripts/run-tests: the output of each
# step (installing, building, testing) goes to one log; the terminal gets
# a line per step with the time it took and, when a step fails, the log's
# last lines, and the script ends with the step's status.
#
#   log_start build/run-tests.log
#   log_step build scripts/build build          # "build ... done in 2 min 5 s"
#
# While a step runs, its progress shows: the build's percentage ("[ 42%]"
# of its lines) or the tests done of all ("12/140 Test"). On a terminal the
# step's line is redrawn in place every second with the percentage so far
# and the time taken ("build ... 42%, 1 min 5 s"), so that no step is a
# silent minute; anywhere else (a log, a pipe) a line at each quarter.

log_start() {  # file
  step_log=$1
  mkdir -p "$(dirname "$step_log")"
  : >"$step_log"
  echo "The output of each step goes to $step_log"
}

log_duration() {  # seconds
  if [ "$1" -ge 60 ]; then echo "$(($1 / 60)) min $(($1 % 60)) s"; else echo "$1 s"; fi
}

# Reads a step's output; writes the percentage done so far into FILE and,
# when LINES is 1, prints "NAME ... N%" at each quarter passed. (Read line
# by line in the shell: awk may wait for a whole block of input.)
log_progress() {  # name file lines
  local line p shown=0
  while IFS= read -r line; do
    p=''
    if [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
      p=${BASH_REMATCH[1]}
    elif [[ $line =~ ^\ *([0-9]+)/([0-9]+)\ Test\  ]] && [ "${BASH_REMATCH[2]}" -gt 0 ]; then
      p=$((100 * BASH_REMATCH[1] / BASH_REMATCH[2]))
    fi
    if [ -n "$p" ] && [ "$((10#$p))" -gt "$shown" ]; then
      p=$((10#$p))
      if [ "$3" = 1 ] && [ $((p / 25)) -gt $((shown / 25)) ]; then echo "$1 ... $p%"; fi
      shown=$p
      printf '%d%%, ' "$p" >"$2"
    fi
  done
}

# On a terminal, the step's line redrawn every second from FILE.
log_watch() {  # name file start
  while sleep 1; do
    printf '\r\033[K%s ... %s%s' "$1" "$(cat "$2" 2>/dev/null)" "$(log_duration $(($(date +%s) - $3)))"
  done
}

log_step() {  # name command...
  local name=$1 start=$SECONDS status=0 progress watcher='' on_terminal=0 errexit=''
  shift
  progress=$(mktemp)
  [ -t 1 ] && on_terminal=1
  if [ "$on_terminal" = 1 ]; then
    printf '%s ... ' "$name"
    log_watch "$name" "$progress" "$(date +%s)" &
    watcher=$!
  fi
  echo "== $name: $*" >>"$step_log"
  case $- in *e*) errexit=1; set +e ;; esac
  "$@" 2>&1 | tee -a "$step_log" | log_progress "$name" "$progress" $((1 - on_terminal))
  status=${PIPESTATUS[0]}
  [ -n "$errexit" ] && set -e
  if [ -n "$watcher" ]; then
    kill "$watcher" 2>/dev/null || true
    wait "$watcher" 2>/dev/null || true
  fi
  rm -f "$progress"
  [ "$on_terminal" = 1 ] && printf '\r\033[K'
  printf '%s ... ' "$name"
  if [ "$status" -ne 0 ]; then
    echo "failed (status $status) after $(log_duration $((SECONDS - start))); the last lines of $step_log:"
    tail -n 40 "$step_log" | sed 's/^/  /'
    exit "$status"
  fi
  echo "done in $(log_duration $((SECONDS - start)))"
}
