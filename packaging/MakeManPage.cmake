# Writes the qgm-cli man page from the tool's own help texts, so the two
# cannot drift apart.
#   cmake -DCLI=qgm-cli -DVERSION=x.y.z -DOUT=qgm-cli.1 -P MakeManPage.cmake
set(commands usage history advisories mail radio calls network download-test version-check
             clock)

# Roff needs leading dots and quotes escaped, and backslashes doubled.
function(roff text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${CLI} help OUTPUT_VARIABLE overview RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "qgm-cli help failed (${code})")
endif()
roff("${overview}" overview)
set(page ".TH QGM\\-CLI 1 \"\" \"QGM ${VERSION}\" \"User Commands\"
.SH NAME
qgm\\-cli \\- the QGM usage meter's work without a window
.SH SYNOPSIS
.B qgm\\-cli
.I command
[\\fIoptions\\fR]
.SH DESCRIPTION
.nf
${overview}.fi
.SH COMMANDS
")
foreach(command IN LISTS commands)
  execute_process(COMMAND ${CLI} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE code)
  if(NOT code EQUAL 0 OR help STREQUAL "")
    message(FATAL_ERROR "qgm-cli ${command} --help failed (${code})")
  endif()
  roff("${help}" help)
  string(REPLACE "-" "\\-" name "${command}")
  string(APPEND page ".SS ${name}\n.nf\n${help}.fi\n")
endforeach()
string(APPEND page ".SH PASSWORDS
Every local user can read a program's arguments while it runs, so a password
given with \\fB\\-\\-password\\fR is blanked there as soon as it is read, but
is still visible for that moment and stays in the shell's history. The safe ways:
.TP
.B \\-\\-password\\-stdin
reads the password from the first line of standard input (a line break, with
or without a carriage return before it, is not part of it), for example
\\fBqgm\\-cli usage \\-\\-account NAME \\-\\-password\\-stdin < file\\fR
.TP
.B QGM_PASSWORD
the environment variable, used when no password option is given; only the
user and root can read a process's environment
.SH ENVIRONMENT
.TP
.B QGM_PASSWORD
the password for the usage, history, mail and calls commands (see PASSWORDS)
.SH FILES
.TP
.I ~/.config/Corvalink/endpoints.conf
where the provider's services are (see the README)
.TP
.I ~/.config/Corvalink/registry.reg
the program's stored settings
.SH SEE ALSO
.BR qgm (1)
")
file(WRITE ${OUT} "${page}")
