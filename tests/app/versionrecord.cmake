# Compiles the Windows resource script with the MinGW resource compiler, turns
# the compiled resources back into script form, and checks that they hold the
# icon and the version record.
#
#   cmake -DRC_FILE=<kelvor.rc> -DVERSION=<a.b.c.d> -DWORK_DIR=<dir> -P versionrecord.cmake

find_program(WINDRES NAMES x86_64-w64-mingw32-windres i686-w64-mingw32-windres windres)
if(NOT WINDRES)
    message(FATAL_ERROR "No Windows resource compiler: install the Debian package binutils-mingw-w64-x86-64")
endif()
# The compiler's own preprocessor belongs to the MinGW C compiler, which the
# check does not need; the host's serves as well.
find_program(CPP NAMES cpp REQUIRED)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(rc_dir "${RC_FILE}" DIRECTORY)

execute_process(
    COMMAND "${WINDRES}" "--preprocessor=${CPP}" -I "${rc_dir}"
            -i "${RC_FILE}" -O res -o "${WORK_DIR}/kelvor.res"
    RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Compiling ${RC_FILE} failed: ${error}")
endif()
execute_process(
    COMMAND "${WINDRES}" -i "${WORK_DIR}/kelvor.res" -O rc -o "${WORK_DIR}/decompiled.rc"
    RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Reading back ${WORK_DIR}/kelvor.res failed: ${error}")
endif()
file(READ "${WORK_DIR}/decompiled.rc" compiled)

# The version record shows the project's version twice: as four numbers, and
# as text with the minor number in two digits and the last in four.
if(NOT VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "The project version ${VERSION} is not four numbers")
endif()
set(major ${CMAKE_MATCH_1})
set(minor "00${CMAKE_MATCH_2}")
set(last "0000${CMAKE_MATCH_4}")
string(REGEX MATCH "..$" minor "${minor}")
string(REGEX MATCH "....$" last "${last}")
set(text "${major}.${minor}.${last}")
string(REPLACE "." ", " numeric "${VERSION}")
set(expected
    "FILEVERSION ${numeric}"
    "PRODUCTVERSION ${numeric}"
    "FILEOS 0x40004"
    "FILETYPE 0x1"
    "VALUE \"FileVersion\", \"${text}\""
    "VALUE \"ProductVersion\", \"${text}\""
    "VALUE \"FileDescription\", \"Binary to Hex convertor\""
    "VALUE \"ProductName\", \"KELVOR\""
    "VALUE \"InternalName\", \"KELVOR21\""
    "VALUE \"OriginalFilename\", \"KELVOR21.exe\""
    "RT_GROUP_ICON"
    "RT_ICON")
set(missing "")
foreach(line IN LISTS expected)
    string(FIND "${compiled}" "${line}" at)
    if(at EQUAL -1)
        string(APPEND missing "\n    ${line}")
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "The compiled resources lack:${missing}\nThey read:\n${compiled}")
endif()
message(STATUS "Version record ${VERSION} and icon compiled")
