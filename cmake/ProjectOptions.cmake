# Compiler settings shared by every target of the project.

# Geometry must give the same result on every x86-64 machine: no fused
# multiply-add contraction, no fast-math, no -march=native.
add_compile_options(-ffp-contract=off)

if(TESSALY_SANITIZE AND TESSALY_SANITIZE_THREAD)
  message(FATAL_ERROR "ThreadSanitizer does not combine with AddressSanitizer: choose one")
endif()
if(TESSALY_SANITIZE)
  set(TESSALY_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${TESSALY_SANITIZER_FLAGS})
  add_link_options(${TESSALY_SANITIZER_FLAGS})
endif()
if(TESSALY_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need Clang's libFuzzer: configure with the fuzz preset")
  endif()
  if(TESSALY_SANITIZE_THREAD)
    message(FATAL_ERROR "The fuzz targets run with AddressSanitizer, not ThreadSanitizer")
  endif()
  # Every library the fuzz targets reach is instrumented for coverage; only
  # the fuzz executables link libFuzzer's main.
  set(TESSALY_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(-fsanitize=fuzzer-no-link ${TESSALY_SANITIZER_FLAGS})
  add_link_options(${TESSALY_SANITIZER_FLAGS})
endif()
if(TESSALY_SANITIZE_THREAD)
  set(TESSALY_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${TESSALY_SANITIZER_FLAGS})
  add_link_options(${TESSALY_SANITIZER_FLAGS})
endif()

# The project's warnings. Every target of ours links this interface target
# privately; headers of outside libraries come in as system headers and do
# not trip them.
add_library(tessaly_warnings INTERFACE)
target_compile_options(tessaly_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wpointer-arith -Wcast-align -Wcast-qual -Wundef -Wimplicit-fallthrough
  $<$<COMPILE_LANGUAGE:CXX>:-Woverloaded-virtual -Wnon-virtual-dtor -Wredundant-decls>
  $<$<CXX_COMPILER_ID:GNU>:-Wduplicated-cond -Wlogical-op>
  $<$<BOOL:${TESSALY_STRICT}>:-Werror>)

# Installed programs and plug-in libraries find the project's libraries
# relative to themselves, whatever prefix they were installed into.
file(RELATIVE_PATH TESSALY_BIN_TO_LIB
  "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${CMAKE_INSTALL_LIBDIR}")
set(CMAKE_INSTALL_RPATH "$ORIGIN/${TESSALY_BIN_TO_LIB}")

# A shared or module library installed into the library directory finds its
# neighbours there.
function(tessaly_library_runpath target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
endfunction()

# The environment of every test: the sanitizers stop at the first error.
set(TESSALY_TEST_ENVIRONMENT
  "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1"
  "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
  "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")

# Registers a GoogleTest executable with CTest, each test in the common
# test environment plus the given variables:
#   tessaly_add_gtest(target [PREFIX name.] [TIMEOUT s] [ENVIRONMENT var=value...])
function(tessaly_add_gtest target)
  cmake_parse_arguments(ARG "" "PREFIX;TIMEOUT" "ENVIRONMENT" ${ARGN})
  set(environment ${ARG_ENVIRONMENT} ${TESSALY_TEST_ENVIRONMENT})
  set(timeout)
  if(ARG_TIMEOUT)
    set(timeout TIMEOUT ${ARG_TIMEOUT})
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    TEST_PREFIX "${ARG_PREFIX}"
    PROPERTIES ENVIRONMENT "${environment}" ${timeout})
endfunction()

# Gives a test added with add_test the common test environment plus the
# given variables.
function(tessaly_test_environment test)
  set(environment ${ARGN} ${TESSALY_TEST_ENVIRONMENT})
  set_tests_properties(${test} PROPERTIES ENVIRONMENT "${environment}")
endfunction()
