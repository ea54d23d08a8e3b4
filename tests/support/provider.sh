# The provider simulator for the shell tests that run the real program
# (sourced): start_provider HOME [SIMULATOR OPTIONS...] starts corvalink-sim
# with its state in HOME/sim, exports the program's folders below HOME and
# writes the simulator's addresses into the program's endpoints.conf;
# $simpid is the simulator. write_hive [LINES] stores the account
# demo / demo (its password scrambled as the program keeps it), the first
# update after a second, and LINES (registry text, CR LF ended).
start_provider() {
  local home=$1; shift
  "$sim" --state-dir "$home/sim" "$@" >"$home/sim.json" &
  simpid=$!
  wait_for 30 test -s "$home/sim.json" || { echo "FAIL: the simulator did not start"; exit 1; }
  local json field
  json=$(cat "$home/sim.json")
  field() { sed -E "s/.*\"$1\":\"?([^\",}]*)\"?.*/\1/" <<<"$json"; }
  export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime
  mkdir -p "$XDG_CONFIG_HOME/Corvalink" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  cat >"$XDG_CONFIG_HOME/Corvalink/endpoints.conf" <<CONF
api-base = $(field apiBase)
ca-file = $(field caFile)
feeds-url = $(field feedUrl)
home-site = http://localhost:$(field httpPort)/qgm/
mail-host = localhost:$(field pop3Port)
time-host = 127.0.0.1:$(field timePort)
CONF
  hive=$XDG_CONFIG_HOME/Corvalink/registry.reg
}
write_hive() {
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"accountType"=dword:00000000\r\n"home"="demo"\r\n"home2"=hex:71,72,7a,7c\r\n"StartDelay"=dword:00000001\r\n%b' \
    "${1:-}" >"$hive"
}
# The demo mailbox (demo / demo), checked at each update: it has mail.
demo_mailbox='"CheckEmail"=dword:00000001\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData\\Email\\demo]\r\n"b3"=hex:71,72,7a,7c\r\n'
