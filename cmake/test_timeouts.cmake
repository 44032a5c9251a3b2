# Every test gets a time-out from its labels, so that a test that hangs (a
# pseudo-terminal nobody answers, a dialog nobody closes) fails within minutes
# instead of holding CI until its own limit. The figures are generous ceilings,
# several times what a run takes on a loaded machine, never a measure of speed.
#
# Seconds per label; a test with several labels gets the largest.
set(VEXTUNE_LABEL_TIMEOUTS
  common=120 config=120 editor=120 unit=120 link=120 transfer=180 layers=120
  cli=300 sim=300 e2e=300 gui=300 install=600 windows=600)
# A test without any of these labels.
set(VEXTUNE_DEFAULT_TIMEOUT 300)

# Sanitizer builds run the same tests several times slower.
set(VEXTUNE_TIMEOUT_FACTOR 1 CACHE STRING "Multiplies every test's time-out (sanitizer builds)")

# vextune_timeout_for_labels(OUT label...): the time-out of a test with these labels.
function(vextune_timeout_for_labels out)
  set(seconds 0)
  foreach(label ${ARGN})
    foreach(entry ${VEXTUNE_LABEL_TIMEOUTS})
      string(REPLACE "=" ";" pair ${entry})
      list(GET pair 0 name)
      list(GET pair 1 value)
      if(name STREQUAL label AND value GREATER seconds)
        set(seconds ${value})
      endif()
    endforeach()
  endforeach()
  if(seconds EQUAL 0)
    set(seconds ${VEXTUNE_DEFAULT_TIMEOUT})
  endif()
  math(EXPR seconds "${seconds} * ${VEXTUNE_TIMEOUT_FACTOR}")
  set(${out} ${seconds} PARENT_SCOPE)
endfunction()

# vextune_apply_test_timeouts(): gives every test added with add_test in the
# calling folder that has no TIMEOUT of its own the one of its labels. Called
# last in each tests folder (a test's properties can only be set in its own
# folder). Tests found by gtest_discover_tests exist only at test time;
# vextune_add_gtest passes theirs directly.
function(vextune_apply_test_timeouts)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test ${tests})
    get_test_property(${test} TIMEOUT timeout)
    if(timeout)
      continue()
    endif()
    get_test_property(${test} LABELS labels)
    if(NOT labels)
      set(labels)
    endif()
    vextune_timeout_for_labels(seconds ${labels})
    set_tests_properties(${test} PROPERTIES TIMEOUT ${seconds})
  endforeach()
endfunction()
