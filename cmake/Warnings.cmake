# Warnings are errors in every tree; -Wshadow catches constructor parameters that hide members.
function(velmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow)
endfunction()
