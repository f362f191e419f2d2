# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# Installs the build into a fresh prefix, then builds and runs a small application against it, which
# tracks and publishes, once through the CMake package and once through pkg-config.
#
# Variables: BUILD_DIR, APP_DIR, WORK_DIR, SANITIZE_FLAGS, DBUS_RUN_SESSION, BUS_CONFIG, TOOLS

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Failed: ${ARGN}\n${output}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

file(GLOB_RECURSE library ${prefix}/*/libqkest-shared.so.0.1.0)
if(NOT library)
    message(FATAL_ERROR "libqkest-shared.so.0.1.0 was not installed")
endif()
run(objdump -p ${library})
if(NOT output MATCHES "SONAME +libqkest-shared\\.so\\.0\n")
    message(FATAL_ERROR "Unexpected soname:\n${output}")
endif()
foreach(header kestshared.h qkestshared_export.h kestproxyrenderer.h)
    if(NOT EXISTS ${prefix}/include/qkest-shared/${header})
        message(FATAL_ERROR "${header} was not installed")
    endif()
endforeach()
file(GLOB_RECURSE private_headers ${prefix}/include/*_p.h ${prefix}/include/*/kestbusname*.h)
if(private_headers)
    message(FATAL_ERROR "Private headers were installed: ${private_headers}")
endif()

# The tool finds the installed libraries from where it lies, and its manual page is beside it.
if(TOOLS)
    run(${prefix}/bin/kest-ctl --version)
    if(NOT output MATCHES "^kest-ctl ")
        message(FATAL_ERROR "The installed kest-ctl does not run:\n${output}")
    endif()
    if(NOT EXISTS ${prefix}/share/man/man1/kest-ctl.1)
        message(FATAL_ERROR "The manual page of kest-ctl was not installed")
    endif()
endif()

# Through the CMake package.
run(${CMAKE_COMMAND} -S ${APP_DIR} -B ${WORK_DIR}/app -DCMAKE_PREFIX_PATH=${prefix}
    "-DCMAKE_CXX_FLAGS=${SANITIZE_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZE_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/app)
run(${DBUS_RUN_SESSION} --config-file=${BUS_CONFIG} -- ${WORK_DIR}/app/kest-installed-app)
if(NOT output MATCHES "initialized=1 published=1")
    message(FATAL_ERROR "The application did not initialise the tracker and publish:\n${output}")
endif()

# Another process sees, drives and browses what the installed application publishes, through the
# installed kest-ctl and so through the library's proxies.
if(TOOLS)
    set(ctl ${prefix}/bin/kest-ctl)
    run(${DBUS_RUN_SESSION} --config-file=${BUS_CONFIG} -- ${CMAKE_CURRENT_LIST_DIR}/drive.sh
        ${WORK_DIR}/app/kest-installed-app ${ctl})
    foreach(expected "renderer +installed_renderer +Installed renderer" "source +installed_source +Installed source"
                     "plugin +installed" "\n42\n" "installed_item\ttitle=Installed item")
        if(NOT output MATCHES "${expected}")
            message(FATAL_ERROR "kest-ctl did not see \"${expected}\" of the installed application:\n${output}")
        endif()
    endforeach()
endif()

# Through pkg-config.
file(GLOB_RECURSE pcfile ${prefix}/*/qkest-shared.pc)
get_filename_component(pcdir ${pcfile} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
run(pkg-config --cflags --libs qkest-shared)
string(STRIP "${output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
get_filename_component(libdir ${library} DIRECTORY)
separate_arguments(sanitize UNIX_COMMAND "${SANITIZE_FLAGS}")
run(c++ -std=c++17 -fPIC ${sanitize} ${APP_DIR}/main.cpp -o ${WORK_DIR}/pkgconfig-app ${flags} -Wl,-rpath,${libdir})
run(${DBUS_RUN_SESSION} --config-file=${BUS_CONFIG} -- ${WORK_DIR}/pkgconfig-app)
if(NOT output MATCHES "initialized=1 published=1")
    message(FATAL_ERROR "The pkg-config application did not initialise the tracker and publish:\n${output}")
endif()
