# cmake -DPROGRAM=<built program> -DNAME=<command name> -DVERSION=<version> -DOUTPUT=<page.1>
#       -P ManPage.cmake
# Writes the section 1 manual page from the program's own --help text, so the page and the
# program cannot tell different stories.
set(ENV{QT_QPA_PLATFORM} offscreen)
# A sanitizer build reports Qt's objects still alive at exit; that is no failure of --help.
set(ENV{ASAN_OPTIONS} detect_leaks=0)
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help ERROR_VARIABLE errors
                RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT help MATCHES "Usage:")
  message(FATAL_ERROR "${PROGRAM} --help failed (${result}): ${errors}")
endif()

# Text as roff reads it: backslashes escaped, a leading control character made plain text.
function(roff_text text out)
  string(REPLACE "\\" "\\e" text "${text}")
  if(text MATCHES "^[.']")
    string(PREPEND text "\\&")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(roff_option spec out)
  string(REPLACE "-" "\\-" spec "${spec}")
  string(REGEX REPLACE "(\\\\-[^ ,]+)" "\\\\fB\\1\\\\fR" spec "${spec}")
  string(REGEX REPLACE "<([^>]+)>" "\\\\fI\\1\\\\fR" spec "${spec}")
  set(${out} "${spec}" PARENT_SCOPE)
endfunction()

# Turns a --help text into roff: the usage line's arguments into `synopsis`, the description
# into `summary`, the options and arguments (and a list of commands) into `body`. HEADINGS ON
# gives the sections their own headings (the program's page); a command's part goes without.
function(roff_help help headings synopsisOut summaryOut bodyOut)
  # Brackets and semicolons would bend a CMake list; they wait behind placeholders until the end.
  string(REPLACE ";" "@SEMICOLON@" help "${help}")
  string(REPLACE "[" "@LB@" help "${help}")
  string(REPLACE "]" "@RB@" help "${help}")
  string(REPLACE "\n" ";" lines "${help}")
  set(synopsis "")
  set(summary "")
  set(body "")
  set(section description)
  foreach(line IN LISTS lines)
    if(line MATCHES "^Usage: [^ ]+ ?(.*)$")
      string(REGEX REPLACE "@LB@([^@]+)@RB@" "[\\\\fI\\1\\\\fR]" synopsis "${CMAKE_MATCH_1}")
    elseif(line STREQUAL "")
      if(section STREQUAL "description" AND NOT summary STREQUAL "")
        set(section none)
      endif()
    elseif(line MATCHES "^(Options|Arguments|Commands):$")
      string(TOLOWER "${CMAKE_MATCH_1}" section)
      if(headings)
        string(TOUPPER "${CMAKE_MATCH_1}" heading)
        string(APPEND body ".SH ${heading}\n")
      endif()
    elseif(section STREQUAL "description")
      roff_text("${line}" text)
      string(APPEND summary "${text}\n")
    elseif(line MATCHES "^  ([^ ].*[^ ])  +([^ ].*)$")
      set(item "${CMAKE_MATCH_1}")
      roff_text("${CMAKE_MATCH_2}" text)
      if(section STREQUAL "options")
        roff_option("${item}" item)
      else()
        set(item "\\fI${item}\\fR")
      endif()
      string(APPEND body ".TP\n${item}\n${text}\n")
    elseif(line MATCHES "^ +([^ ].*)$")
      # A description the help text wrapped onto the next line.
      roff_text("${CMAKE_MATCH_1}" text)
      string(APPEND body "${text}\n")
    elseif(NOT section STREQUAL "description")
      # A closing paragraph (exit codes).
      roff_text("${line}" text)
      string(APPEND body ".PP\n${text}\n")
    endif()
  endforeach()
  set(${synopsisOut} "${synopsis}" PARENT_SCOPE)
  set(${summaryOut} "${summary}" PARENT_SCOPE)
  set(${bodyOut} "${body}" PARENT_SCOPE)
endfunction()

roff_help("${help}" ON synopsis summary body)
# A program of commands: each command's usage, description and options under its name.
if(COMMANDS)
  string(APPEND body ".SH COMMAND OPTIONS\n")
  foreach(command IN LISTS COMMANDS)
    execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE commandHelp
                    ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "${PROGRAM} ${command} --help failed (${result}): ${errors}")
    endif()
    roff_help("${commandHelp}" OFF commandSynopsis commandSummary commandBody)
    string(APPEND body ".SS ${command}\n.B ${NAME}\n${commandSynopsis}\n.PP\n${commandSummary}${commandBody}")
  endforeach()
endif()

string(STRIP "${summary}" summary)
string(REGEX REPLACE "\\.$" "" whatis "${summary}")
string(TOUPPER "${NAME}" title)
set(page ".TH ${title} 1 \"\" \"${NAME} ${VERSION}\" \"User Commands\"
.SH NAME
${NAME} \\- ${whatis}
.SH SYNOPSIS
.B ${NAME}
${synopsis}
.SH DESCRIPTION
${summary}
.PP
Without \\fB\\-\\-demo\\fR the program looks for the meter (USB vendor 0x2A7C, product 0x0582)
among the hidraw devices. The udev rule installed with the program gives the user at the seat
access to it; plug the meter in again after installing.
${body}")
string(REPLACE "@SEMICOLON@" ";" page "${page}")
string(REPLACE "@LB@" "[" page "${page}")
string(REPLACE "@RB@" "]" page "${page}")
file(WRITE ${OUTPUT} "${page}")
