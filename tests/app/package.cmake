# Builds the Debian package and the tarball from the build with cpack, lints the
# package, unpacks it into a fresh root with dpkg -x, checks its files and
# control fields, and starts the unpacked program headless.
#
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<dir> -DVERSION=<a.b.c.d>
#         -DCHANGELOG=<app/packaging/changelog> -P package.cmake
#
# WORK_DIR is emptied first; the packages are made there, not in
# <build>/packages.

set(package kelvor2)
set(app_id invalid.kelvor.kelvor2)

# Each tool comes from the Debian package named beside it.
foreach(tool IN ITEMS dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev dpkg-parsechangelog:dpkg-dev lintian:lintian
        appstreamcli:appstream desktop-file-validate:desktop-file-utils timeout:coreutils)
    string(REPLACE ":" ";" tool "${tool}")
    list(GET tool 0 name)
    list(GET tool 1 debian_package)
    find_program(tool_path ${name} NO_CACHE)
    if(NOT tool_path)
        message(FATAL_ERROR "${name} is missing: install the Debian package ${debian_package}")
    endif()
    string(REPLACE "-" "_" var ${name})
    set(${var} ${tool_path})
    unset(tool_path)
endforeach()

function(run)
    cmake_parse_arguments(ARG "" "WHAT" "COMMAND" ${ARGN})
    execute_process(COMMAND ${ARG_COMMAND} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARG_WHAT} failed (${result}):\n${output}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(root "${WORK_DIR}/root")
file(MAKE_DIRECTORY "${root}" "${WORK_DIR}/config" "${WORK_DIR}/home")

run(WHAT "cpack" COMMAND "${CMAKE_CPACK_COMMAND}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}/packages")
file(GLOB deb "${WORK_DIR}/packages/${package}_${VERSION}_*.deb")
file(GLOB tarball "${WORK_DIR}/packages/${package}-${VERSION}-*.tar.gz")
list(LENGTH deb debs)
list(LENGTH tarball tarballs)
if(NOT debs EQUAL 1 OR NOT tarballs EQUAL 1)
    file(GLOB made "${WORK_DIR}/packages/*")
    message(FATAL_ERROR "Expected one ${package}_${VERSION}_<arch>.deb and one tarball; cpack made: ${made}")
endif()

# The control fields: the project's version, and dependencies that
# dpkg-shlibdeps found in the program (no hand-written list names Qt Widgets'
# library by its Debian name and version).
foreach(field IN ITEMS Package Version Depends Recommends)
    run(WHAT "dpkg-deb -f ${field}" COMMAND "${dpkg_deb}" -f "${deb}" ${field})
    string(STRIP "${output}" ${field})
endforeach()
message(STATUS "Depends: ${Depends}")
message(STATUS "Recommends: ${Recommends}")
if(NOT Package STREQUAL package OR NOT Version STREQUAL VERSION)
    message(FATAL_ERROR "The package is ${Package} ${Version}, not ${package} ${VERSION}")
endif()
if(NOT Depends MATCHES "(^|, )libqt6widgets6 \\(>= [0-9.]+\\)" OR NOT Depends MATCHES "(^|, )libc6 \\(>= ")
    message(FATAL_ERROR "Depends is not what dpkg-shlibdeps finds in the program: ${Depends}")
endif()
if(NOT Recommends MATCHES "(^|, )qt6-wayland(,|$)")
    message(FATAL_ERROR "Recommends lacks qt6-wayland: ${Recommends}")
endif()

run(WHAT "dpkg-parsechangelog" COMMAND "${dpkg_parsechangelog}" -l "${CHANGELOG}" -S Version)
string(STRIP "${output}" logged)
if(NOT logged STREQUAL VERSION)
    message(FATAL_ERROR "The newest entry of ${CHANGELOG} is ${logged}, not ${VERSION}: add one")
endif()

# Errors and warnings fail; informational and pedantic tags (none with
# Debian 12's lintian) are shown, since a newer lintian may add some. Its own
# "running as root" notice is not a finding.
execute_process(COMMAND "${lintian}" --fail-on error,warning --display-info --pedantic "${deb}"
    RESULT_VARIABLE result OUTPUT_VARIABLE lint ERROR_VARIABLE lint)
string(REGEX REPLACE "running with root privileges is not recommended!\n?" "" lint "${lint}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian (${result}):\n${lint}")
endif()
if(lint)
    message(STATUS "lintian:\n${lint}")
endif()

run(WHAT "dpkg-deb -x" COMMAND "${dpkg_deb}" -x "${deb}" "${root}")
file(GLOB top RELATIVE "${root}" "${root}/*")
if(NOT top STREQUAL "usr")
    message(FATAL_ERROR "The package installs outside /usr: ${top}")
endif()

set(share "${root}/usr/share")
set(program "${root}/usr/bin/KELVOR21")
set(entry "${share}/applications/${app_id}.desktop")
set(metainfo "${share}/metainfo/${app_id}.metainfo.xml")
# The program's modules: the window (Qt Widgets) and the readers of pictures
# and outline fonts (QtGui), which it loads from there when it needs them.
set(modules "${root}/usr/lib/${package}/modules/libkelvor_window.so" "${root}/usr/lib/${package}/modules/libkelvor_render.so")
set(expected "${program}" ${modules} "${entry}" "${metainfo}" "${share}/icons/hicolor/scalable/apps/${app_id}.svg"
    "${share}/man/man1/KELVOR21.1.gz" "${share}/doc/${package}/copyright" "${share}/doc/${package}/changelog.gz"
    "${share}/doc/${package}/README.md" "${share}/doc/${package}/docs/command-line.md"
    "${share}/doc/${package}/docs/formats.md")
foreach(size IN ITEMS 32 64 128 256)
    list(APPEND expected "${share}/icons/hicolor/${size}x${size}/apps/${app_id}.png")
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "Not in the package: ${file}")
    endif()
endforeach()

# An icon drawn at one size but filed under another is shown blurred.
foreach(size IN ITEMS 32 64 128 256)
    set(icon "${share}/icons/hicolor/${size}x${size}/apps/${app_id}.png")
    file(READ "${icon}" header HEX LIMIT 24)
    string(SUBSTRING "${header}" 32 8 width)
    string(SUBSTRING "${header}" 40 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT header MATCHES "^89504e47" OR NOT width EQUAL size OR NOT height EQUAL size)
        message(FATAL_ERROR "${icon} is not a ${size} x ${size} PNG (${width} x ${height})")
    endif()
endforeach()

run(WHAT "desktop-file-validate ${entry}" COMMAND "${desktop_file_validate}" "${entry}")
file(STRINGS "${entry}" exec REGEX "^Exec=")
file(STRINGS "${entry}" icon_key REGEX "^Icon=")
if(NOT exec MATCHES "^Exec=KELVOR21( |$)" OR NOT icon_key STREQUAL "Icon=${app_id}")
    message(FATAL_ERROR "${entry} starts '${exec}' with icon '${icon_key}'")
endif()

run(WHAT "appstreamcli validate" COMMAND "${appstreamcli}" validate --no-net "${metainfo}")
message(STATUS "appstreamcli validate --no-net:\n${output}")
# The tree check also finds the desktop entry that the metadata launches.
run(WHAT "appstreamcli validate-tree" COMMAND "${appstreamcli}" validate-tree --no-net "${root}")
file(READ "${metainfo}" metadata)
if(NOT metadata MATCHES "<release version=\"${VERSION}\"")
    message(FATAL_ERROR "${metainfo} names no release ${VERSION}")
endif()

# The tarball unpacks into one folder with bin/ and share/, for any prefix.
run(WHAT "listing the tarball" COMMAND "${CMAKE_COMMAND}" -E tar tzf "${tarball}")
string(REGEX MATCH "[^\n]*/bin/KELVOR21\n" tarred "${output}")
if(NOT tarred MATCHES "^${package}-${VERSION}-[A-Za-z0-9_]+/bin/KELVOR21\n$")
    message(FATAL_ERROR "The tarball has no <folder>/bin/KELVOR21:\n${output}")
endif()

# The command line needs QtCore alone and no module: a script runs it as
# installed.
run(WHAT "KELVOR21 --version" COMMAND "${program}" --version)
if(NOT output STREQUAL "KELVOR21 ${VERSION}\n")
    message(FATAL_ERROR "KELVOR21 --version says '${output}', not 'KELVOR21 ${VERSION}'")
endif()

# The unpacked program, on the system's Qt alone. It takes no command line, so
# the test ends it after a while; still running then is what timeout's 124
# says. Where Qt's painting log speaks (its wording is Qt's own, and may
# change), it must tell that the main window was drawn. Its settings
# and home are the test's own folders; the program writes its settings only
# when its window closes, so being ended it has written none.
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "QT_LOGGING_RULES=qt.widgets.painting=true"
        "XDG_CONFIG_HOME=${WORK_DIR}/config" "HOME=${WORK_DIR}/home"
        "${timeout}" --kill-after=5 5 "${program}"
    RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 124)
    message(FATAL_ERROR "The unpacked program ended by itself (${result}) before the test ended it:\n${log}")
endif()
if(log MATCHES "qt\\.widgets\\.painting" AND NOT log MATCHES "MainWindow\\([^)]*name=\"frmMain\"\\)")
    message(FATAL_ERROR "The unpacked program ran but never drew its main window:\n${log}")
endif()
file(GLOB_RECURSE written "${WORK_DIR}/config/*")
if(written)
    message(FATAL_ERROR "The program wrote settings although it was ended, not closed: ${written}")
endif()
message(STATUS "Packaged, linted, unpacked and started: ${deb}")
