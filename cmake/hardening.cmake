# The hardening Debian 12 builds every package with, as `DEB_BUILD_MAINT_OPTIONS=hardening=+all
# dpkg-buildflags` gives it: a protected stack, fortified calls into the C library, and
# relocations made read-only and bound at start-up. A position-independent executable is
# Debian's compilers' default, so, as in dpkg-buildflags, no flag asks for it. The flags guard
# library calls and the loading of the program, not its arithmetic. The sanitizer and fuzz
# builds keep their own instrumentation instead.
option(QUORVANE_HARDEN "Build with Debian's hardening flags" ON)

if(QUORVANE_HARDEN AND NOT QUORVANE_SANITIZE AND NOT QUORVANE_BUILD_FUZZ)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
  # The C library fortifies calls only in an optimised build, and warns in every file of one at
  # -O0; the dev preset compiles with -Og so that its tests run the fortified program.
  string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
  if(" ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}} " MATCHES " -O([1-3gsz]|fast)? ")
    add_compile_definitions(_FORTIFY_SOURCE=2)
  endif()
endif()
