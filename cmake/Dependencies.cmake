find_package(PkgConfig REQUIRED)
pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
pkg_check_modules(YAMLCPP REQUIRED IMPORTED_TARGET yaml-cpp)
find_package(Boost 1.67 REQUIRED)

add_library(xk83t_deps INTERFACE)
add_library(xk83t::deps ALIAS xk83t_deps)
target_link_libraries(xk83t_deps INTERFACE PkgConfig::JSONCPP PkgConfig::YAMLCPP Boost::headers)
