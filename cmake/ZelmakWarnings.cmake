# Our own code builds without warnings; third-party headers come in as system includes.
# The Makefile and CI turn every warning into an error. A plain build does not, so that a
# compiler newer than ours (with new warnings, or new false positives) still builds the program;
# a missed switch case or a missing return value stays an error everywhere.

function(zelmak_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic
    -Wshadow -Wconversion
    -Werror=switch -Werror=return-type)
  if(ZELMAK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # clang's -Wconversion also covers sign changes, GCC's does not (in C++); the fuzz build
  # compiles with clang and checks the same set as the main build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${target} PRIVATE -Wno-sign-conversion)
  endif()
endfunction()
