# Our own code builds without warnings; third-party headers come in as system includes.
function(zelmak_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wconversion
    -Werror=switch -Werror=return-type)
  # clang's -Wconversion also covers sign changes, GCC's does not (in C++); the fuzz build
  # compiles with clang and checks the same set as the main build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${target} PRIVATE -Wno-sign-conversion)
  endif()
endfunction()
