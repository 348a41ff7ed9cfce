# Fails when a source file includes a header of a layer it must not see, or when a
# file outside src/wx includes a wx header. Run as a test: cmake -DSOURCE_DIR=... -P.
#
# Layers point one way: foundation <- net, model <- views <- app <- wx <- main;
# remoteview sits beside app on model and net only; wx (the server dialog) and main use it.
# interop (exchange formats) sits on model and foundation; app and remoteview use it.
# libical is included in interop only, and in the model's recurrence (vrecurrence*) and
# zones (vzone).
# sync (CalDAV) sits on interop, model and foundation; app and wx use it.
# platform/ holds interfaces only.
cmake_minimum_required(VERSION 3.25)
set(allowed_foundation foundation)
set(allowed_platform platform foundation)
set(allowed_net net foundation platform)
set(allowed_model model foundation platform)
set(allowed_interop interop model foundation platform)
set(allowed_sync sync interop model foundation platform)
set(allowed_views views model foundation platform)
set(allowed_app app views sync interop model net foundation platform)
set(allowed_remoteview remoteview interop model net foundation platform)
set(allowed_wx wx app views remoteview sync interop model net foundation platform)

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*.h"
     "${SOURCE_DIR}/src/*.cpp")
set(problems "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+/" layer "${source}")
    string(REPLACE "/" "" layer "${layer}")
    file(STRINGS "${SOURCE_DIR}/src/${source}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
        if(line MATCHES "<wx/" AND NOT layer STREQUAL "wx")
            string(APPEND problems "  ${source}: a wx header outside src/wx: ${line}\n")
        endif()
        # libical is the exchange layer's; the model uses only its recurrence iterator and
        # its time zones.
        if(line MATCHES "<libical/" AND NOT layer STREQUAL "interop"
           AND NOT source MATCHES "^model/vrecurrence" AND NOT source STREQUAL "model/vzone.cpp")
            string(APPEND problems "  ${source}: libical outside src/interop: ${line}\n")
        endif()
        if(layer STREQUAL "" OR NOT DEFINED allowed_${layer})
            continue() # main.cpp sits on everything
        endif()
        if(line MATCHES "\"([a-z_]+)/[^\"]+\"")
            set(target "${CMAKE_MATCH_1}")
            if(DEFINED allowed_${target} AND NOT target IN_LIST allowed_${layer})
                string(APPEND problems "  ${source}: ${layer} must not include ${target}: ${line}\n")
            endif()
        endif()
    endforeach()
endforeach()

if(problems)
    message(FATAL_ERROR "Includes against the layers:\n${problems}")
endif()
list(LENGTH sources count)
message(STATUS "${count} source files keep to their layers")
