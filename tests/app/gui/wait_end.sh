# Sourced by the scripts that end the real program by a signal: waits at most 10 seconds
# for process $pid to end and leaves its exit status in $status ("timeout" when it had to
# be killed).
wait_end() {
  status=timeout
  for _ in $(seq 200); do
    if ! kill -0 "$pid" 2>/dev/null; then
      status=0
      wait "$pid" || status=$?
      return 0
    fi
    sleep 0.05
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
