# Installs the build into a fresh prefix and checks that the program, its
# desktop entry and its icon land where desktop menus find them, and that the
# entry names that program and that icon.
#
#   cmake -DBUILD_DIR=<build> -DPREFIX=<empty dir> -P install.cmake

find_program(VALIDATE desktop-file-validate)
if(NOT VALIDATE)
    message(FATAL_ERROR "desktop-file-validate is missing: install the Debian package desktop-file-utils")
endif()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(program "${PREFIX}/bin/KELVOR21")
set(entry "${PREFIX}/share/applications/invalid.kelvor.kelvor2.desktop")
set(icon "${PREFIX}/share/icons/hicolor/32x32/apps/invalid.kelvor.kelvor2.png")
# The window's module, which the program loads from <libdir>/kelvor2/modules.
file(GLOB window "${PREFIX}/lib*/kelvor2/modules/libkelvor_window.so" "${PREFIX}/lib/*/kelvor2/modules/libkelvor_window.so")
if(NOT window)
    message(FATAL_ERROR "Not installed: <libdir>/kelvor2/modules/libkelvor_window.so\ncmake --install said:\n${output}")
endif()
foreach(file IN ITEMS "${program}" "${entry}" "${icon}")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "Not installed: ${file}\ncmake --install said:\n${output}")
    endif()
endforeach()
execute_process(COMMAND test -x "${program}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${program} is not executable")
endif()

execute_process(COMMAND "${VALIDATE}" "${entry}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate rejects ${entry}:\n${output}")
endif()

# The menu starts the entry's Exec through PATH and finds its Icon in the theme.
file(STRINGS "${entry}" exec REGEX "^Exec=")
file(STRINGS "${entry}" icon_key REGEX "^Icon=")
get_filename_component(program_name "${program}" NAME)
get_filename_component(icon_name "${icon}" NAME_WLE)
if(NOT exec MATCHES "^Exec=${program_name}( |$)")
    message(FATAL_ERROR "${entry} starts '${exec}', not the installed ${program_name}")
endif()
if(NOT icon_key STREQUAL "Icon=${icon_name}")
    message(FATAL_ERROR "${entry} shows '${icon_key}', not the installed icon ${icon_name}")
endif()
message(STATUS "Installed and valid: ${program}, ${entry}, ${icon}")
