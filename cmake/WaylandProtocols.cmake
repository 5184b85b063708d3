# Wayland: the clipboard through data-control and keystrokes through a virtual keyboard, on compositors
# that offer them. The protocols that Debian ships in no -dev package are kept in src/platform/wayland/protocols
# (from Debian's wlroots 0.15.1 source); their client code is generated at build time into one small library
# that the program and the test tools share.
option(WORDWISP_WITH_WAYLAND "Build the Wayland backend where its packages are found" ON)
if(NOT WORDWISP_WITH_WAYLAND)
    message(STATUS "Wayland backend: off (WORDWISP_WITH_WAYLAND=OFF)")
    return()
endif()
pkg_check_modules(WAYLAND IMPORTED_TARGET wayland-client xkbcommon)
find_program(WAYLAND_SCANNER wayland-scanner)
if(NOT WAYLAND_FOUND OR NOT WAYLAND_SCANNER)
    message(STATUS "Wayland backend: off (needs libwayland-dev, libxkbcommon-dev and wayland-scanner)")
    return()
endif()
set(WORDWISP_WAYLAND ON)

set(protocol_dir ${PROJECT_SOURCE_DIR}/src/platform/wayland/protocols)
set(generated_dir ${CMAKE_BINARY_DIR}/wayland-protocols)
set(generated)
# The virtual pointer is for the test tools only: the program never moves the pointer.
foreach(name virtual-keyboard-unstable-v1 wlr-data-control-unstable-v1 wlr-foreign-toplevel-management-unstable-v1
        wlr-virtual-pointer-unstable-v1 fake-input plasma-window-management)
    set(xml ${protocol_dir}/${name}.xml)
    add_custom_command(OUTPUT ${generated_dir}/${name}-client.h ${generated_dir}/${name}.c
        COMMAND ${CMAKE_COMMAND} -E make_directory ${generated_dir}
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${generated_dir}/${name}-client.h
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${generated_dir}/${name}.c
        DEPENDS ${xml}
        COMMENT "Generating the client code of ${name}")
    list(APPEND generated ${generated_dir}/${name}-client.h ${generated_dir}/${name}.c)
endforeach()
add_library(wordwisp_wayland_protocols STATIC ${generated})
target_include_directories(wordwisp_wayland_protocols PUBLIC ${generated_dir})
target_link_libraries(wordwisp_wayland_protocols PUBLIC PkgConfig::WAYLAND)
set_target_properties(wordwisp_wayland_protocols PROPERTIES POSITION_INDEPENDENT_CODE ON)
