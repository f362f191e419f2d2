# Compares the symbols that libqkest-shared exports with the checked-in list, so that a change of
# the library's ABI cannot pass unnoticed. With UPDATE set, writes the list instead.
#
# Variables: LIBRARY, BASELINE, UPDATE (optional)

execute_process(COMMAND nm --dynamic --demangle --defined-only ${LIBRARY}
                OUTPUT_VARIABLE output RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${output}")
set(symbols)
foreach(line IN LISTS lines)
    # "address type name": the name is what counts; the address and how it is bound do not.
    if(line MATCHES "^[0-9a-f]+ [A-Za-z] (.+)$")
        list(APPEND symbols "${CMAKE_MATCH_1}")
    endif()
endforeach()
list(SORT symbols)
list(REMOVE_DUPLICATES symbols)
string(REPLACE ";" "\n" current "${symbols}")
set(current "${current}\n")

if(UPDATE)
    file(WRITE ${BASELINE} "# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later
# The symbols libqkest-shared exports, as the update-abi-baseline target writes them.
${current}")
    message(STATUS "Wrote ${BASELINE}")
    return()
endif()
file(STRINGS ${BASELINE} expectedLines REGEX "^[^#]")
string(REPLACE ";" "\n" expected "${expectedLines}")
set(expected "${expected}\n")
if(NOT current STREQUAL expected)
    string(REPLACE "\n" ";" expectedSymbols "${expected}")
    set(added ${symbols})
    list(REMOVE_ITEM added ${expectedSymbols})
    set(removed ${expectedSymbols})
    list(REMOVE_ITEM removed ${symbols} "")
    string(REPLACE ";" "\n  + " added "${added}")
    string(REPLACE ";" "\n  - " removed "${removed}")
    message(FATAL_ERROR "The exported symbols differ from ${BASELINE}:\n  + ${added}\n  - ${removed}\n"
                        "If the change is intended, build the target update-abi-baseline and commit the list.")
endif()
