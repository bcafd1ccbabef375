# Cross build for 32-bit ARM Linux (armhf) with Debian's cross compiler and
# Debian's multiarch armhf libraries (scripts/setup-cross installs both).
#
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake
#
# libyaml-cpp-dev cannot be installed beside its amd64 twin, so its armhf
# package (and the runtime library it names) is unpacked into the build
# folder, in XK83T_ARMHF_UNPACK_DIR, and found from there. Tests run under
# qemu-arm through CMAKE_CROSSCOMPILING_EMULATOR.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(XK83T_ARMHF_TRIPLET arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${XK83T_ARMHF_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${XK83T_ARMHF_TRIPLET}-g++)
# No separate sysroot: multiarch keeps the armhf libraries in the build
# machine's own tree, under lib/arm-linux-gnueabihf.
set(CMAKE_LIBRARY_ARCHITECTURE ${XK83T_ARMHF_TRIPLET})
# GCC's notes that the ARM calling convention changed in GCC 7.1 concern
# mixing with objects built before it; everything here is built by one GCC.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

if(NOT XK83T_ARMHF_UNPACK_DIR)
  set(XK83T_ARMHF_UNPACK_DIR ${CMAKE_BINARY_DIR}/armhf-unpacked)
endif()
# try_compile projects read this file again in a folder of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES XK83T_ARMHF_UNPACK_DIR)
set(_xk83t_armhf_libdir ${XK83T_ARMHF_UNPACK_DIR}/usr/lib/${XK83T_ARMHF_TRIPLET})

# Downloads the armhf package and unpacks it into XK83T_ARMHF_UNPACK_DIR;
# returns its Depends field.
function(_xk83t_unpack_armhf package depends_var)
  set(downloads ${XK83T_ARMHF_UNPACK_DIR}/debs)
  file(MAKE_DIRECTORY ${downloads})
  file(GLOB deb ${downloads}/${package}_*_armhf.deb)
  if(NOT deb)
    # As root, apt hands the download to its unprivileged user, who cannot
    # write into the build folder; download as the caller instead.
    execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(as_caller)
    if(uid STREQUAL "0")
      set(as_caller -o APT::Sandbox::User=root)
    endif()
    execute_process(COMMAND apt-get download -q ${as_caller} ${package}:armhf
                    WORKING_DIRECTORY ${downloads}
                    RESULT_VARIABLE failed)
    file(GLOB deb ${downloads}/${package}_*_armhf.deb)
    if(failed OR NOT deb)
      message(FATAL_ERROR "apt-get download ${package}:armhf failed; "
                          "run scripts/setup-cross, or apt-get update if the package lists are old")
    endif()
  endif()
  execute_process(COMMAND dpkg-deb -x ${deb} ${XK83T_ARMHF_UNPACK_DIR}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-deb -x ${deb} failed")
  endif()
  execute_process(COMMAND dpkg-deb -f ${deb} Depends
                  OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${depends_var} "${depends}" PARENT_SCOPE)
endfunction()

if(NOT CMAKE_IN_TRY_COMPILE AND NOT EXISTS ${_xk83t_armhf_libdir}/pkgconfig/yaml-cpp.pc)
  _xk83t_unpack_armhf(libyaml-cpp-dev dev_depends)
  # The -dev package's link symlink points at the runtime package's file.
  string(REGEX MATCH "^libyaml-cpp[^ ,]*" runtime "${dev_depends}")
  if(NOT runtime)
    message(FATAL_ERROR "libyaml-cpp-dev:armhf names no runtime package: ${dev_depends}")
  endif()
  _xk83t_unpack_armhf(${runtime} unused)
  file(READ ${_xk83t_armhf_libdir}/pkgconfig/yaml-cpp.pc pc)
  string(REGEX REPLACE "(^|\n)prefix=[^\n]*" "\\1prefix=${XK83T_ARMHF_UNPACK_DIR}/usr" pc "${pc}")
  file(WRITE ${_xk83t_armhf_libdir}/pkgconfig/yaml-cpp.pc "${pc}")
endif()

# pkg-config sees only armhf modules: the unpacked ones first.
set(ENV{PKG_CONFIG_LIBDIR}
    "${_xk83t_armhf_libdir}/pkgconfig:/usr/lib/${XK83T_ARMHF_TRIPLET}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

# qemu-arm takes the C and C++ runtime from the cross toolchain the programs
# were linked against (-L) and yaml-cpp from the unpacked folder.
find_program(XK83T_QEMU_ARM qemu-arm)
if(NOT XK83T_QEMU_ARM)
  set(XK83T_QEMU_ARM qemu-arm)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${XK83T_QEMU_ARM};-L;/usr/${XK83T_ARMHF_TRIPLET};-E;LD_LIBRARY_PATH=${_xk83t_armhf_libdir}"
    CACHE STRING "Runs an armhf program on the build machine")
