# Runs qgm-cli as a user would and checks its output and exit codes.
# Invoked by CTest with -DCLI=<path to qgm-cli> -DSAMPLES=<folder>.

function(expect_run expected_code)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "qgm-cli ${ARGN}: exit ${code}, expected ${expected_code}\n${out}${err}")
  endif()
  set(last_out "${out}" PARENT_SCOPE)
  set(last_err "${err}" PARENT_SCOPE)
endfunction()

expect_run(0 xml ${SAMPLES}/reply.xml)
set(expected [=[other ""
  other "<?xml version=\"1.0\"?>"
  tag "corvalink"
    tag "api" a="x &amp; y"
      tag "usage" day="2014-05-01"
        text "café"
      comment "<!-- c -->"
]=])
if(NOT last_out STREQUAL expected)
  message(FATAL_ERROR "unexpected tree:\n${last_out}\nexpected:\n${expected}")
endif()

expect_run(2 xml ${SAMPLES}/empty.xml)
if(NOT last_err MATCHES "empty")
  message(FATAL_ERROR "no message for an empty file: ${last_err}")
endif()
expect_run(2 xml ${SAMPLES}/does-not-exist.xml)
if(NOT last_err MATCHES "cannot read")
  message(FATAL_ERROR "no message for a missing file: ${last_err}")
endif()
expect_run(2 xml)
expect_run(2 frobnicate)

# The demo fetch against the built-in simulated provider.
expect_run(0 usage --demo --config /dev/null)
if(NOT last_out MATCHES "Usage line: [0-9.]+ 200000 [0-9][0-9]/[0-9][0-9]/20[0-9][0-9] 0\\.00\n")
  message(FATAL_ERROR "unexpected demo output:\n${last_out}")
endif()
expect_run(0 usage --demo --json --account-type 2 --config /dev/null)
if(NOT last_out MATCHES "\"serviceId\":\"8820113\"" OR NOT last_out MATCHES "\"speedCaption\":\"SIM Id:\"")
  message(FATAL_ERROR "unexpected demo JSON:\n${last_out}")
endif()
# The home service's projection: paces, total, run-out time or null, what
# is left (null only without an allowance); null on a month's first day.
expect_run(0 usage --demo --json --config /dev/null)
if(NOT last_out MATCHES "\"projection\":(null|{\"recentPerDay\":[0-9]+,\"monthPerDay\":[0-9]+,\"projectedTotal\":[0-9]+,\"runsOutAt\":(null|\"20[0-9][0-9]-[0-9][0-9]-[0-9][0-9]T[0-9][0-9]:[0-9][0-9]:[0-9][0-9]\"),\"leftAtRollover\":-?[0-9]+})[,}]")
  message(FATAL_ERROR "unexpected projection JSON:\n${last_out}")
endif()
expect_run(2 usage --bogus)

# With no account given, the one the program stored is used.
set(home ${CMAKE_CURRENT_BINARY_DIR}/cli-home)
file(REMOVE_RECURSE ${home})
file(MAKE_DIRECTORY ${home}/Corvalink)
# "stored" / "jon" (scrambled "w|{") for a Business account.
file(WRITE ${home}/Corvalink/registry.reg
     "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"
     "\"accountType\"=dword:00000001\r\n\"business\"=\"stored\"\r\n\"business2\"=hex:77,7c,7b\r\n")
set(ENV{XDG_CONFIG_HOME} ${home})
execute_process(COMMAND ${CLI} usage --config /dev/null --api-base https://127.0.0.1:1/api/v1.5/
                RESULT_VARIABLE code ERROR_VARIABLE err OUTPUT_QUIET)
# Nothing listens there: the fetch fails, but it was tried with the stored
# account rather than refused for lack of one.
if(NOT code EQUAL 1 OR err MATCHES "an account is needed")
  message(FATAL_ERROR "the stored account was not used: ${code} ${err}")
endif()
file(REMOVE ${home}/Corvalink/registry.reg)
expect_run(2 usage --config /dev/null)

# A data folder that does not exist yet is made; one that cannot be made is
# refused with a message.
set(made ${CMAKE_CURRENT_BINARY_DIR}/cli-data/made/here)
file(REMOVE_RECURSE ${CMAKE_CURRENT_BINARY_DIR}/cli-data)
expect_run(1 usage --account a --password b --config /dev/null --api-base https://127.0.0.1:9/
           --data-dir ${made})
if(NOT IS_DIRECTORY ${made})
  message(FATAL_ERROR "--data-dir ${made} was not made")
endif()
# Each level it made is the user's alone; a folder that was there already
# keeps its mode.
function(expect_mode folder mode)
  execute_process(COMMAND stat -c %a ${folder} OUTPUT_VARIABLE got OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT got STREQUAL mode)
    message(FATAL_ERROR "${folder} has mode ${got}, expected ${mode}")
  endif()
endfunction()
foreach(level cli-data cli-data/made cli-data/made/here)
  expect_mode(${CMAKE_CURRENT_BINARY_DIR}/${level} 700)
endforeach()
set(shared ${CMAKE_CURRENT_BINARY_DIR}/cli-data/shared)
file(MAKE_DIRECTORY ${shared})
file(CHMOD ${shared} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
expect_run(1 usage --account a --password b --config /dev/null --api-base https://127.0.0.1:9/
           --data-dir ${shared})
expect_mode(${shared} 755)
expect_run(2 usage --account a --password b --config /dev/null --data-dir /proc/qgm/no/such)
if(NOT last_err MATCHES "the data folder /proc/qgm/no/such cannot be made")
  message(FATAL_ERROR "no message for a data folder that cannot be made: ${last_err}")
endif()

# The tray picture as a PNG.
set(icon ${CMAKE_CURRENT_BINARY_DIR}/cli-icon.png)
file(REMOVE ${icon})
expect_run(0 usage --demo --config /dev/null --icon ${icon} --icon-size 16)
file(READ ${icon} head LIMIT 16 HEX)
if(NOT head STREQUAL "89504e470d0a1a0a0000000d49484452")
  message(FATAL_ERROR "no PNG written: ${head}")
endif()
if(NOT last_out MATCHES "Amount left: [0-9,]+ MB [0-9]+%" OR NOT last_out MATCHES "Tray hint:\n  Amount Left: ")
  message(FATAL_ERROR "figures missing:\n${last_out}")
endif()

# The usage history: the log's own format, JSON, and the text table.
# (Written to a file and read as hex: CMake hides the CR LF line ends.)
set(history_csv ${CMAKE_CURRENT_BINARY_DIR}/cli-history.csv)
execute_process(COMMAND ${CLI} history --demo --csv --config /dev/null RESULT_VARIABLE code
                OUTPUT_FILE ${history_csv})
file(READ ${history_csv} csv)
string(REGEX MATCHALL "\n" csv_lines "${csv}")
list(LENGTH csv_lines csv_count)
file(READ ${history_csv} csv_hex HEX)
# "Date, Downloads, Uploads, Totals" and CR LF
string(FIND "${csv_hex}" "446174652c20446f776e6c6f6164732c2055706c6f6164732c20546f74616c730d0a" header)
string(REGEX MATCHALL "0d0a" crlf_ends "${csv_hex}")
list(LENGTH crlf_ends crlf_count)
if(NOT code EQUAL 0 OR NOT header EQUAL 0 OR NOT csv_count EQUAL 951 OR NOT crlf_count EQUAL 951
   OR NOT csv MATCHES "\n20[0-9][0-9]-[0-9][0-9]-[0-9][0-9], [0-9]+\\.[0-9][0-9][0-9], ")
  message(FATAL_ERROR "unexpected history CSV (exit ${code}, ${csv_count} lines, header at ${header}, ${crlf_count} CR LF ends):\n${csv}")
endif()
expect_run(0 history --demo --json --config /dev/null)
if(NOT last_out MATCHES "^\\{\"serviceId\":\"4417825\",\"daysRequested\":950,\"todayTotalMB\":[0-9.]+,\"days\":\\[\\{\"date\":")
  message(FATAL_ERROR "unexpected history JSON:\n${last_out}")
endif()
expect_run(0 history --demo --config /dev/null)
if(NOT last_out MATCHES "950 days; metered today: [0-9,]+ MB\n$")
  message(FATAL_ERROR "unexpected history table:\n${last_out}")
endif()
expect_run(2 history --demo --csv --json --config /dev/null)

# The advisories feed: the demo's five advisories, all new, as lines and
# as JSON; a feed that cannot be reached fails with its reason.
expect_run(0 advisories --demo)
string(REGEX MATCHALL "\n[0-9A-F]+\tnew\t[^\t\n]+\thttps://[^\t\n]+\t[^\n]*" advisory_lines "${last_out}")
list(LENGTH advisory_lines advisory_count)
if(NOT last_out MATCHES "^Corvalink Network Status\n" OR NOT advisory_count EQUAL 5)
  message(FATAL_ERROR "unexpected advisories (${advisory_count} lines):\n${last_out}")
endif()
expect_run(0 advisories --demo --json)
if(NOT last_out MATCHES "\"title\":\"Corvalink Network Status\"" OR
   NOT last_out MATCHES "\"enclosureLength\":48213,\"isNew\":true")
  message(FATAL_ERROR "unexpected advisories JSON:\n${last_out}")
endif()
expect_run(1 advisories --demo --feed-url http://127.0.0.1:1/network-status.rss)
if(NOT last_err MATCHES "127.0.0.1:1/network-status.rss: ")
  message(FATAL_ERROR "no reason for an unreachable feed: ${last_err}")
endif()
expect_run(2 advisories --frobnicate)

# The mailboxes: the demo's two, as lines and as JSON; a refused login is
# no mail with its reason, and the command fails only when no check ran.
expect_run(0 mail --demo)
if(NOT last_out STREQUAL "demo: mail\nfamily: mail and voicemail\ndemo and family have mail.\nYou also have voicemail.\n")
  message(FATAL_ERROR "unexpected mail check:\n${last_out}")
endif()
expect_run(0 mail --demo --json)
if(NOT last_out MATCHES "\\{\"name\":\"family\",\"result\":\"mail and voicemail\"\\}\\],\"hint\":\"demo and family have mail.\\\\nYou also have voicemail.\"")
  message(FATAL_ERROR "unexpected mail JSON:\n${last_out}")
endif()
expect_run(1 mail --demo --account demo@corvalink.com --password wrong)
if(NOT last_out STREQUAL "demo: none\n" OR NOT last_err MATCHES "demo: -ERR")
  message(FATAL_ERROR "unexpected refused login:\n${last_out}${last_err}")
endif()
expect_run(2 mail --frobnicate)

# The radio channels: the demo list in its order, the defaults as JSON, and
# a failed download.
expect_run(0 radio --demo)
string(REGEX MATCHALL "[^\n]+=http[^\n]+\n" radio_lines "${last_out}")
list(LENGTH radio_lines radio_count)
if(NOT radio_count EQUAL 7 OR NOT last_out MATCHES "^CVK Classic FM=http://radio.corvalink.com/classic.pls\n")
  message(FATAL_ERROR "unexpected radio list (${radio_count} lines):\n${last_out}")
endif()
expect_run(0 radio --demo --default --json)
if(NOT last_out MATCHES "^\\[\\{\"caption\":\"CVK Classic FM\",\"address\":\"http://radio.corvalink.com/classic.pls\"\\},.*\"CVK News Talk\".*\\]\n$")
  message(FATAL_ERROR "unexpected radio JSON:\n${last_out}")
endif()
expect_run(1 radio --api-base https://127.0.0.1:1/api/ --config /dev/null)
if(NOT last_err MATCHES "could not be fetched")
  message(FATAL_ERROR "no reason for a failed radio download: ${last_err}")
endif()

# CallHaven: the demo's 28 months as lines and as JSON, costs with two
# decimals; no account is a usage error.
expect_run(0 calls --demo)
string(REGEX MATCHALL "[0-9][0-9][0-9][0-9]-[0-9][0-9]  national [0-9]+ [0-9]+\\.[0-9][0-9]  mobile [^\n]* total [0-9]+ [0-9]+\\.[0-9][0-9]\n" call_lines "${last_out}")
list(LENGTH call_lines call_count)
if(NOT call_count EQUAL 28)
  message(FATAL_ERROR "unexpected call months (${call_count} lines):\n${last_out}")
endif()
expect_run(0 calls --demo --json)
if(NOT last_out MATCHES "^\\[\\{\"month\":\"[0-9]+-[0-9]+\",\"national\":\\{\"calls\":[0-9]+,\"cost\":\"[0-9]+\\.[0-9][0-9]\"\\},\"mobile\":\\{[^}]*\\},\"callhaven\":\\{\"calls\":[0-9]+\\},\"other\":\\{[^}]*\\},\"totalCalls\":[0-9]+,\"totalCost\":\"[0-9]+\\.[0-9][0-9]\"\\}")
  message(FATAL_ERROR "unexpected calls JSON:\n${last_out}")
endif()
expect_run(2 calls --config-is-not-an-option)

# The network adapters of whatever machine runs the test: a JSON list (maybe
# empty), and a named adapter that is not there.
expect_run(0 network --json)
set(adapters_json "${last_out}")
if(NOT last_out MATCHES "^\\[(\\{\"name\":\"[^\"]+\",\"address\":\"[0-9.]+\",\"gateway\":\"[0-9.]*\",\"mac\":\"[0-9A-F:]*\",\"inOctets\":[0-9]+,\"outOctets\":[0-9]+\\},?)*\\]\n$")
  message(FATAL_ERROR "unexpected network JSON:\n${last_out}")
endif()
expect_run(1 network --adapter no-such-adapter)
expect_run(2 network --watch 0)
expect_run(2 network --watch 1s)
# Watching for two seconds prints two samples, when the machine has an
# adapter to watch.
if(adapters_json MATCHES "\"name\"")
  expect_run(0 network --watch 2 --json)
  if(NOT last_out MATCHES "^\\{\"second\":1,\"adapter\":\"[^\"]+\",\"inBytes\":-?[0-9]+,\"outBytes\":-?[0-9]+,\"in\":\"[0-9,]+\",\"out\":\"[0-9,]+\",\"unit\":\"k(bit|B)/s\",\"step\":(true|false)}\n\\{\"second\":2,[^\n]*}\n$")
    message(FATAL_ERROR "unexpected network watch JSON:\n${last_out}")
  endif()
else()
  expect_run(1 network --watch 1)
endif()

# The release check and the clock against the demo's home site and time
# server; a time server that cannot be reached.
expect_run(0 version-check --demo --json)
if(NOT last_out MATCHES "^{\"version\":\"[1-9][0-9]*\\.[0-9]+\\.[0-9]+\",\"body\":\"qgm9901\\.exe\",\"newer\":true,\"safeName\":true}\n$")
  message(FATAL_ERROR "unexpected version-check JSON:\n${last_out}")
endif()
expect_run(1 version-check --home-site http://127.0.0.1:1/)
expect_run(0 clock --demo --json)
if(NOT last_out MATCHES "^{\"text\":\"(Accurate to the second!|(Fast|Slow) by [0-9]+ secs)\",\"offsetSeconds\":-?[0-9]+}\n$")
  message(FATAL_ERROR "unexpected clock JSON:\n${last_out}")
endif()
expect_run(1 clock --time-host 127.0.0.1:1)
if(NOT last_out STREQUAL "Unable to get the time.\n")
  message(FATAL_ERROR "unexpected clock text:\n${last_out}")
endif()
expect_run(0 version)
if(NOT last_out MATCHES "^[1-9][0-9]*\\.[0-9]+\\.[0-9]+\n$")
  message(FATAL_ERROR "unexpected version:\n${last_out}")
endif()

# The download test against the demo's mirror: four whole files; a mirror
# that cannot be reached fails.
expect_run(0 download-test --demo --json)
string(REGEX MATCHALL "\"bytes\":10485760,[^}]*\"completed\":true" streams "${last_out}")
list(LENGTH streams stream_count)
if(NOT stream_count EQUAL 4 OR NOT last_out MATCHES "\"bytes\":41943040,")
  message(FATAL_ERROR "unexpected download test:\n${last_out}")
endif()
expect_run(1 download-test --mirror-host 127.0.0.1:1)
