# XK83T_SANITIZE=address,undefined or XK83T_SANITIZE=thread builds every
# target with those sanitizers; any report ends the process with an error.
if(XK83T_SANITIZE)
  string(REPLACE ";" "," _xk83t_san "${XK83T_SANITIZE}")
  add_compile_options(-fsanitize=${_xk83t_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_xk83t_san})
endif()
