# Instrumented builds, each in a build folder of its own:
#   ZORVAT_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer over the
#                    program and its tests (scripts/test.sh --sanitize).
#   ZORVAT_FUZZ      the same plus libFuzzer coverage, and the harnesses in
#                    fuzz/ (clang only; scripts/fuzz.sh).
option(ZORVAT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZORVAT_FUZZ "Build the libFuzzer harnesses in fuzz/ (needs clang)" OFF)

if(ZORVAT_SANITIZE OR ZORVAT_FUZZ)
  # Faster to build and still readable in reports; undefined behaviour stops
  # the run instead of only printing.
  set(CMAKE_CXX_FLAGS_RELEASE "-O1 -g -DNDEBUG")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(ZORVAT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZORVAT_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
