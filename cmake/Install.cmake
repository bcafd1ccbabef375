# Installed layout and Debian packages.
#
#   <prefix>/lib/xk83t/xk83t.so            package xk83t        (the plug-in)
#   <prefix>/bin/xk83t-host, xk83t-sim     package xk83t-tools  (reference host, simulator)
#   <prefix>/share/xk83t/examples/         package xk83t-tools  (settings and rule files)
#
# `cmake --build B --target package` (or `cpack` in B) writes both .deb files
# for the architecture B is built for: amd64 natively, armhf with
# cmake/toolchain-armhf.cmake.

include(GNUInstallDirs)

set(XK83T_PLUGIN_INSTALL_DIR "lib/xk83t" CACHE STRING
    "Folder that receives xk83t.so, relative to the install prefix unless absolute")

install(TARGETS xk83t LIBRARY DESTINATION ${XK83T_PLUGIN_INSTALL_DIR} COMPONENT plugin)
set(_xk83t_components plugin)

# Where an installed tool finds the installed plug-in: relative to its own
# folder, so that the installed tree can be moved as a whole.
if(IS_ABSOLUTE "${XK83T_PLUGIN_INSTALL_DIR}")
  set(_xk83t_plugin_dir "${XK83T_PLUGIN_INSTALL_DIR}")
else()
  set(_xk83t_plugin_dir "${CMAKE_INSTALL_PREFIX}/${XK83T_PLUGIN_INSTALL_DIR}")
endif()
file(RELATIVE_PATH XK83T_PLUGIN_FROM_BINDIR
     "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}" "${_xk83t_plugin_dir}/xk83t.so")

foreach(tool xk83t-host xk83t-sim)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
    target_compile_definitions(${tool} PRIVATE XK83T_PLUGIN_FROM_BINDIR="${XK83T_PLUGIN_FROM_BINDIR}")
    set(_xk83t_has_tools ON)
  endif()
endforeach()
if(EXISTS ${PROJECT_SOURCE_DIR}/examples)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
          DESTINATION ${CMAKE_INSTALL_DATADIR}/xk83t/examples COMPONENT tools)
  set(_xk83t_has_tools ON)
endif()
if(_xk83t_has_tools)
  list(APPEND _xk83t_components tools)
endif()

# Debian package name of the library behind a pkg-config module found by
# Dependencies.cmake, from its SONAME as Debian names library packages
# (libfoo.so.N in libfooN, libfoo2.so.N in libfoo2-N), with the version
# built against as the least one accepted.
function(_xk83t_library_package module out_var)
  set(library "${${module}_LINK_LIBRARIES}")
  list(FILTER library INCLUDE REGEX "\\.so$")
  list(GET library 0 library)
  execute_process(COMMAND ${CMAKE_READELF} -d ${library}
                  OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
  if(failed OR NOT dynamic MATCHES "Library soname: \\[lib([^]]+)\\.so\\.([^]]+)\\]")
    message(FATAL_ERROR "no SONAME in ${library}")
  endif()
  set(name "${CMAKE_MATCH_1}")
  set(version "${CMAKE_MATCH_2}")
  if(name MATCHES "[0-9]$")
    set(package "lib${name}-${version}")
  else()
    set(package "lib${name}${version}")
  endif()
  string(TOLOWER "${package}" package)
  set(${out_var} "${package} (>= ${${module}_VERSION})" PARENT_SCOPE)
endfunction()

_xk83t_library_package(JSONCPP _xk83t_jsoncpp_package)
_xk83t_library_package(YAMLCPP _xk83t_yamlcpp_package)

# The Debian architecture of the target, not of the build machine.
set(_xk83t_triplet "${CMAKE_CXX_LIBRARY_ARCHITECTURE}")
if(NOT _xk83t_triplet)
  set(_xk83t_triplet "${CMAKE_LIBRARY_ARCHITECTURE}")
endif()
execute_process(COMMAND dpkg-architecture -t${_xk83t_triplet} -qDEB_TARGET_ARCH
                OUTPUT_VARIABLE XK83T_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET RESULT_VARIABLE _xk83t_failed)
if(_xk83t_failed OR NOT XK83T_DEB_ARCH)
  message(WARNING "cannot tell the Debian architecture of ${_xk83t_triplet}; no packages")
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME xk83t)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "XK83T plug-in developers <xk83t@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${_xk83t_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${XK83T_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME xk83t)
set(CPACK_COMPONENT_PLUGIN_DESCRIPTION "Device plug-in for the XK83T DC power distribution monitor
xk83t.so, loaded by the monitoring system's device host, drives the XK83T
over Modbus: register polling, display document, alarms, control requests.")
# The host's own symbols stay undefined in the plug-in, so dpkg-shlibdeps
# would find no package for them; the libraries it needs are named here.
set(CPACK_DEBIAN_PLUGIN_PACKAGE_DEPENDS "${_xk83t_jsoncpp_package}, ${_xk83t_yamlcpp_package}")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME xk83t-tools)
set(CPACK_COMPONENT_TOOLS_DEPENDS plugin)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "Reference host and simulator for the XK83T plug-in
xk83t-host loads xk83t.so and polls a device over Modbus; xk83t-sim
simulates the device. With example settings and rule files.")
set(CPACK_DEBIAN_TOOLS_PACKAGE_SHLIBDEPS ON)

# dpkg-shlibdeps looks up libraries of the architecture it is told.
set(_xk83t_cpack_config ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${_xk83t_cpack_config} "set(ENV{DEB_HOST_ARCH} ${XK83T_DEB_ARCH})\n")
set(CPACK_PROJECT_CONFIG_FILE ${_xk83t_cpack_config})

include(CPack)
