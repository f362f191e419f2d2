# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# kest_introspection_header(OUTPUT <header> FILES <interface xml>...)
#
# Writes a header that defines, for each interface file, KEST_<NAME>_INTROSPECTION: the file's
# <interface> element as a string literal, without the prolog, the outer <node> and comments.
# An adaptor whose behaviour stays hand-written passes it to
# Q_CLASSINFO("D-Bus Introspection", ...), so that introspecting it shows the whole contract,
# out arguments of delayed replies and signals included, and not what QtDBus guesses from its
# slots. A change to an interface file reconfigures and rewrites the header.
function(kest_introspection_header)
    cmake_parse_arguments(ARG "" "OUTPUT" "FILES" ${ARGN})
    set(content "// Generated from the interface files by cmake/KestInterfaceDescriptions.cmake. Do not edit.\n")
    string(APPEND content "#ifndef KESTINTROSPECTION_H\n#define KESTINTROSPECTION_H\n")
    foreach(file IN LISTS ARG_FILES)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
        file(READ ${file} xml)

        # Comments go: they document the file, not the live object.
        string(FIND "${xml}" "<!--" start)
        while(start GREATER -1)
            string(FIND "${xml}" "-->" end)
            if(end LESS start)
                message(FATAL_ERROR "${file}: unterminated comment")
            endif()
            math(EXPR end "${end} + 3")
            string(SUBSTRING "${xml}" 0 ${start} before)
            string(SUBSTRING "${xml}" ${end} -1 after)
            set(xml "${before}${after}")
            string(FIND "${xml}" "<!--" start)
        endwhile()

        string(FIND "${xml}" "<interface " start)
        string(FIND "${xml}" "</interface>" end REVERSE)
        if(start EQUAL -1 OR end EQUAL -1)
            message(FATAL_ERROR "${file}: no <interface> element")
        endif()
        math(EXPR length "${end} + 12 - ${start}")
        string(SUBSTRING "${xml}" ${start} ${length} interface)
        string(REGEX REPLACE "\n([ \t]*\n)+" "\n" interface "  ${interface}\n")
        if(NOT interface MATCHES "^  <interface name=\"com\\.zorvo\\.kest\\.([a-z_]+)\">")
            message(FATAL_ERROR "${file}: the interface has no com.zorvo.kest name")
        endif()
        string(TOUPPER "KEST_${CMAKE_MATCH_1}_INTROSPECTION" macro)

        string(REPLACE "\\" "\\\\" interface "${interface}")
        string(REPLACE "\"" "\\\"" interface "${interface}")
        string(REGEX REPLACE "\n$" "" interface "${interface}")
        string(REPLACE "\n" "\\n\" \\\n    \"" interface "${interface}")
        string(APPEND content "\n#define ${macro} \\\n    \"${interface}\\n\"\n")
    endforeach()
    string(APPEND content "\n#endif\n")
    file(CONFIGURE OUTPUT ${ARG_OUTPUT} CONTENT "${content}" @ONLY)
endfunction()
