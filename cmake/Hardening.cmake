# The distribution's hardening, as dpkg-buildflags gives it with every feature on: fortified
# functions, the stack protector, read-only relocations and immediate binding. Only the hardening
# is taken from it; the build type keeps choosing optimisation and debug information.
#
# It is on for every optimised build, not just the release: the package that the tests build and
# check is made from the tested build, and tests then run the code as it ships. Fortified functions
# need optimisation, and the sanitizers and the fuzzer bring checks of their own, so those builds
# leave it out; so does a system without dpkg-buildflags, and WebAssembly, which has no use for
# flags made for the host's compiler and linker.
set(harden ON)
if(MOSAIQ_SANITIZE OR MOSAIQ_FUZZ OR CMAKE_BUILD_TYPE STREQUAL "Debug" OR EMSCRIPTEN)
    set(harden OFF)
endif()
option(MOSAIQ_HARDEN "Build with the distribution's hardening flags (dpkg-buildflags)" ${harden})

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT MOSAIQ_HARDEN OR NOT DPKG_BUILDFLAGS OR EMSCRIPTEN)
    return()
endif()
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O|ffile-prefix-map|fdebug-prefix-map)")
    if(kind STREQUAL LDFLAGS)
        add_link_options(${flags})
    else()
        add_compile_options(${flags})
    endif()
    message(STATUS "Hardening ${kind}: ${flags}")
endforeach()
