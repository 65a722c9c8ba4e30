# Sourced by scripts/run-demos and scripts/run-tests: the output of each
# step (installing, building, testing) goes to one log; the terminal gets
# a line per step with the time it took and, when a step fails, the log's
# last lines, and the script ends with the step's status.
#
#   log_start build/run-tests.log
#   log_step build scripts/build build          # "build ... done in 2 min 5 s"

log_start() {  # file
  step_log=$1
  mkdir -p "$(dirname "$step_log")"
  : >"$step_log"
  echo "The output of each step goes to $step_log"
}

log_duration() {  # seconds
  if [ "$1" -ge 60 ]; then echo "$(($1 / 60)) min $(($1 % 60)) s"; else echo "$1 s"; fi
}

log_step() {  # name command...
  local name=$1 start=$SECONDS status=0
  shift
  printf '%s ... ' "$name"
  echo "== $name: $*" >>"$step_log"
  "$@" >>"$step_log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "failed (status $status) after $(log_duration $((SECONDS - start))); the last lines of $step_log:"
    tail -n 40 "$step_log" | sed 's/^/  /'
    exit "$status"
  fi
  echo "done in $(log_duration $((SECONDS - start)))"
}
