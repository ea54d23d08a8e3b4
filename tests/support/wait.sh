# Waiting helpers shared by the shell tests (sourced).
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
  local until=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $until ] || return 1
    sleep 0.1
  done
}
ended() {  # ended PID: gone, or a zombie waiting for this script to reap it
  local st
  st=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null || true)
  [ -z "$st" ] || [ "$st" = Z ]
}
