# Checks that build the program in a second folder (see ./dev):
#   -DTARNWICK_SANITIZE=ON  every target with AddressSanitizer and UndefinedBehaviorSanitizer;
#                           any report ends the program with an error
#   -DTARNWICK_FUZZ=ON      also the libFuzzer targets fuzz/fuzz_*.cpp (clang only); the
#                           code under test carries libFuzzer's coverage counters, so the
#                           tests of the same folder run on the very objects the fuzzers do
option(TARNWICK_SANITIZE "Build everything with ASan and UBSan" OFF)
option(TARNWICK_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)

if(TARNWICK_SANITIZE OR TARNWICK_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(TARNWICK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TARNWICK_FUZZ needs clang with libFuzzer: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
