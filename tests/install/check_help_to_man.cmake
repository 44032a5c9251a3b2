# help-to-man on a Qt program's help: every option with its whole (unwrapped)
# description in the page, the version in its title, no groff warning.
# cmake -DHELP_TO_MAN=... -DTEMPLATE=... -DPROGRAM=... -DWORK=... -DGROFF=... -P ...
cmake_minimum_required(VERSION 3.25)
file(MAKE_DIRECTORY "${WORK}")
set(page "${WORK}/page.1")
execute_process(COMMAND "${HELP_TO_MAN}" "${TEMPLATE}" "${page}" "${PROGRAM}"
                RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help-to-man failed (${result}): ${error}")
endif()
file(READ "${page}" text)
set(expected
  ".TP\n.B \\-h, \\-\\-help\nDisplays help on commandline options.\n"
  ".TP\n.B \\-\\-port <PATH>\nUse the DAV-OZI on PATH (/dev/ttyACM0 or ttyACM0) instead of looking for it.\n"
  ".TP\n.B \\-\\-simulate\nStart a simulated DAV-OZI inside the program and use it, so that everything can be tried without a device.\n"
  "\"Vextune 1.0.1.51\""
)
foreach(part IN LISTS expected)
  string(FIND "${text}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The page lacks:\n${part}\nThe page:\n${text}")
  endif()
endforeach()
if(text MATCHES "@OPTIONS@|@VERSION@")
  message(FATAL_ERROR "A placeholder is left in the page:\n${text}")
endif()
execute_process(COMMAND "${GROFF}" -man -ww -z -Tutf8 "${page}" ERROR_VARIABLE warnings)
if(warnings)
  message(FATAL_ERROR "groff: ${warnings}")
endif()
