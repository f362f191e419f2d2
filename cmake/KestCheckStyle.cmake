# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# Checks every file that git tracks: C++ sources are formatted as .clang-format says, and every
# file but the licence texts carries its SPDX licence header.
#
# Variables: SOURCE_DIR, CLANG_FORMAT, GIT_EXECUTABLE

execute_process(COMMAND ${GIT_EXECUTABLE} ls-files WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE output RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(STATUS "Not a git checkout: nothing to check")
    return()
endif()
string(REPLACE "\n" ";" files "${output}")

set(sources)
set(unlicensed)
foreach(file IN LISTS files)
    if(file STREQUAL "" OR file MATCHES "^LICENSES/")
        continue()
    endif()
    if(file MATCHES "\\.(cpp|h)$")
        list(APPEND sources ${file})
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} spdx LIMIT_COUNT 1 REGEX "SPDX-License-Identifier: ")
    if(NOT spdx)
        list(APPEND unlicensed ${file})
    endif()
endforeach()

execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources} WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE result ERROR_VARIABLE complaints)
if(unlicensed)
    string(REPLACE ";" "\n  " unlicensed "${unlicensed}")
    message(SEND_ERROR "Files without an SPDX licence header:\n  ${unlicensed}")
endif()
if(NOT result EQUAL 0)
    message(SEND_ERROR "Not formatted as .clang-format says (run clang-format -i on them):\n${complaints}")
endif()
