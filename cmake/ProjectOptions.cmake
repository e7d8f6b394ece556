# Compiler settings shared by every target of the project.

# Geometry must give the same result on every x86-64 machine: no fused
# multiply-add contraction, no fast-math, no -march=native.
add_compile_options(-Wall -Wextra -ffp-contract=off)

if(TESSALY_SANITIZE)
  set(TESSALY_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${TESSALY_SANITIZER_FLAGS})
  add_link_options(${TESSALY_SANITIZER_FLAGS})
endif()

# Registers a GoogleTest executable with CTest; every test runs with the
# sanitizer options that stop at the first error.
function(tessaly_add_gtest target)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1;UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endfunction()
