# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# Writes the header with the library's revision and build time: git describe where the sources are
# a git checkout, "N/A" otherwise. Run at every build; the header is rewritten, and the tracker
# rebuilt, only when the revision has changed. The build time honours SOURCE_DATE_EPOCH.
#
# Variables: SOURCE_DIR, OUTPUT, GIT_EXECUTABLE (may be empty)

set(revision "N/A")
if(GIT_EXECUTABLE)
    execute_process(COMMAND ${GIT_EXECUTABLE} describe --always --dirty --tags
                    WORKING_DIRECTORY ${SOURCE_DIR}
                    OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE result ERROR_QUIET)
    if(result EQUAL 0 AND described)
        set(revision "${described}")
    endif()
endif()

set(revisionLine "#define QKEST_REVISION \"${revision}\"")
if(EXISTS ${OUTPUT})
    file(STRINGS ${OUTPUT} previous REGEX "^#define QKEST_REVISION ")
    if(previous STREQUAL revisionLine)
        return()
    endif()
endif()

string(TIMESTAMP buildTime "%Y-%m-%d %H:%M:%S UTC" UTC)
file(WRITE ${OUTPUT} "// Generated at build time: the revision and build time that the tracker reports.
#ifndef KESTBUILDINFO_P_H
#define KESTBUILDINFO_P_H

${revisionLine}
#define QKEST_BUILD_TIME \"${buildTime}\"

#endif
")
