add_library(xk83t_warnings INTERFACE)
add_library(xk83t::warnings ALIAS xk83t_warnings)
# -Wcast-align speaks up only where alignment matters (the ARM build): a
# cast of record bytes to a wider pointer type is an unaligned access there.
target_compile_options(xk83t_warnings INTERFACE -Wall -Wextra -Wcast-align)
if(XK83T_WERROR)
  target_compile_options(xk83t_warnings INTERFACE -Werror)
endif()
