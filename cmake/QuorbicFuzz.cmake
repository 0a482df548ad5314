# -DQUORBIC_FUZZ=ON (with CMAKE_CXX_COMPILER=clang++) builds the libFuzzer
# targets of tests/fuzz. Every library of this build is compiled with
# AddressSanitizer, UndefinedBehaviorSanitizer and the fuzzer's coverage
# instrumentation, so a fault inside the code under test stops the run where
# it happens. Keep such a build in a directory of its own: scripts/fuzz.sh
# uses build-fuzz.
option(QUORBIC_FUZZ "Build the libFuzzer targets of tests/fuzz (clang only)" OFF)

if(QUORBIC_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUORBIC_FUZZ needs clang++ (CMAKE_CXX_COMPILER=clang++)")
  endif()
  # Undefined behaviour ends the run like a crash instead of printing and
  # going on, so libFuzzer keeps the input.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
