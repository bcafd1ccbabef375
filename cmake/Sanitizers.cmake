# XK83T_SANITIZE=address,undefined or XK83T_SANITIZE=thread builds every
# target with those sanitizers; any report ends the process with an error.
if(XK83T_SANITIZE)
  string(REPLACE ";" "," _xk83t_san "${XK83T_SANITIZE}")
  add_compile_options(-fsanitize=${_xk83t_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_xk83t_san})
endif()
# GCC's flow analysis sees through less of the instrumented code and warns of
# uninitialised reads inside the standard library (std::regex, std::function)
# that the plain build does not have.
if(XK83T_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-maybe-uninitialized)
endif()
