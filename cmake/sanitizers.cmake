# The sanitizer builds (make asan, make tsan, make fuzz) and the runtime
# options their tests run with. VEXTUNE_SANITIZER_ENVIRONMENT is added to every
# test's environment; the suppression files are in tests/sanitizers/.
option(VEXTUNE_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VEXTUNE_TSAN "Build everything with ThreadSanitizer" OFF)
if(VEXTUNE_SANITIZE AND VEXTUNE_TSAN)
  message(FATAL_ERROR "VEXTUNE_SANITIZE and VEXTUNE_TSAN exclude each other: use two build folders")
endif()

set(vextune_suppressions ${PROJECT_SOURCE_DIR}/tests/sanitizers)
set(VEXTUNE_SANITIZER_ENVIRONMENT)
if(VEXTUNE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # Leaks inside Qt and fontconfig (caches they keep until exit) are theirs;
  # a leak with our code in its stack still fails.
  list(APPEND VEXTUNE_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
    "LSAN_OPTIONS=suppressions=${vextune_suppressions}/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()
if(VEXTUNE_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -O1)
  add_link_options(-fsanitize=thread)
  # A report fails the test (exit status 66); see tsan.supp for the few that
  # come from Qt not being built with ThreadSanitizer.
  list(APPEND VEXTUNE_SANITIZER_ENVIRONMENT
    "TSAN_OPTIONS=suppressions=${vextune_suppressions}/tsan.supp:print_suppressions=0:second_deadlock_stack=1:halt_on_error=0:exitcode=66")
endif()
