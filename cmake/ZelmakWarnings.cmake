# Our own code builds without warnings; third-party headers come in as system includes.
function(zelmak_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wconversion
    -Werror=switch -Werror=return-type)
endfunction()
