# The layer check: reads every `#include "folder/..."` in the program's folders and fails,
# naming file, line and rule, on an include against the order
#     {app, cli} -> converter -> {profiles, media, preview} -> {skin, platform} -> engine
# A folder includes itself and anything below it; skin may include platform; profiles, media
# and preview do not include each other; engine includes none of the others. The cores include
# no Qt Gui or Qt Widgets header: a core is a file in a program folder's core/ folder, and every
# file of cli/ (the command line uses Qt Core only), so the path alone tells.
#
# cmake -DSOURCE_DIR=<source root> [-DLAYERS=<layers file>] [-DQT_GUI_DIRS=<dir>|<dir>...]
#       -P CheckLayers.cmake
# LAYERS (default <source root>/cmake/Layers.cmake) sets LAYER_ALLOWANCES, the "file -> folder"
# pairs still allowed against the order. QT_GUI_DIRS are the header folders of Qt Gui and Qt
# Widgets, "|"-separated.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckLayers.cmake: pass -DSOURCE_DIR=<source root>")
endif()
if(NOT LAYERS)
    set(LAYERS ${SOURCE_DIR}/cmake/Layers.cmake)
endif()
set(LAYER_ALLOWANCES)
include(${LAYERS})
string(REPLACE "|" ";" qt_gui_dirs "${QT_GUI_DIRS}")

set(layer_folders app cli converter profiles media preview skin platform engine)
# The folders each folder may include besides itself.
set(below_app converter profiles media preview skin platform engine)
# The command-line converter uses the cores only, never the windows' folders.
set(below_cli converter profiles media platform engine)
set(below_converter profiles media preview skin platform engine)
set(below_profiles skin platform engine)
set(below_media skin platform engine)
set(below_preview skin platform engine)
set(below_skin platform engine)
set(below_platform engine)
set(below_engine)

set(problems)
set(allowances_used)
set(files_read 0)

# The number of the first line of `file` that holds `text`; only asked for a problem, so the
# common case reads each file once, by lines.
function(line_of file text out)
    file(READ ${file} content)
    string(FIND "${content}" "${text}" at)
    string(SUBSTRING "${content}" 0 ${at} before)
    string(REGEX MATCHALL "\n" newlines "${before}")
    list(LENGTH newlines count)
    math(EXPR line "${count} + 1")
    set(${out} ${line} PARENT_SCOPE)
endfunction()

function(list_text items out)
    set(text)
    foreach(item ${items})
        string(APPEND text "${item}/, ")
    endforeach()
    string(REGEX REPLACE ", $" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

foreach(folder ${layer_folders})
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
        ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.hpp
        ${SOURCE_DIR}/${folder}/*.c ${SOURCE_DIR}/${folder}/*.cc ${SOURCE_DIR}/${folder}/*.cpp)
    list(SORT sources)
    foreach(source ${sources})
        math(EXPR files_read "${files_read} + 1")
        file(STRINGS ${SOURCE_DIR}/${source} includes
            REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
        foreach(include ${includes})
            if(NOT include MATCHES "#[ \t]*include[ \t]*\"(([A-Za-z_]+)/[^\"]*)\"")
                continue()
            endif()
            set(header ${CMAKE_MATCH_1})
            set(target ${CMAKE_MATCH_2})
            if(target STREQUAL folder OR NOT target IN_LIST layer_folders
               OR target IN_LIST below_${folder})
                continue()
            endif()
            set(pair "${source} -> ${target}")
            if(pair IN_LIST LAYER_ALLOWANCES)
                list(APPEND allowances_used "${pair}")
                continue()
            endif()
            line_of(${SOURCE_DIR}/${source} "${header}" line)
            list_text("${folder};${below_${folder}}" may)
            list(APPEND problems "${source}:${line}: includes \"${header}\": ${folder}/ may \
include only ${may} (app -> converter -> {profiles, media, preview} -> {skin, platform} -> \
engine)")
        endforeach()
    endforeach()
endforeach()

foreach(pair ${LAYER_ALLOWANCES})
    if(NOT pair IN_LIST allowances_used)
        list(APPEND problems "${LAYERS}: \"${pair}\" is allowed but no longer included: \
remove it from LAYER_ALLOWANCES")
    endif()
endforeach()

# The cores, by their place: <folder>/core/ (at any depth below the folder) and all of cli/.
set(cores)
foreach(folder ${layer_folders})
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
        ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.hpp
        ${SOURCE_DIR}/${folder}/*.c ${SOURCE_DIR}/${folder}/*.cc ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(source ${sources})
        if(folder STREQUAL "cli" OR source MATCHES "/core/")
            list(APPEND cores ${source})
        endif()
    endforeach()
endforeach()
list(SORT cores)

foreach(core ${cores})
    file(STRINGS ${SOURCE_DIR}/${core} includes REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
    foreach(include ${includes})
        if(NOT include MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
            continue()
        endif()
        set(header ${CMAKE_MATCH_1})
        set(from_gui FALSE)
        if(header MATCHES "^Qt(Gui|Widgets)/")
            set(from_gui TRUE)
        endif()
        foreach(dir ${qt_gui_dirs})
            if(EXISTS ${dir}/${header} AND NOT IS_DIRECTORY ${dir}/${header})
                set(from_gui TRUE)
            endif()
        endforeach()
        if(from_gui)
            line_of(${SOURCE_DIR}/${core} "<${header}>" line)
            list(APPEND problems "${core}:${line}: includes <${header}>: a core uses Qt Core \
only, never Qt Gui or Qt Widgets")
        endif()
    endforeach()
endforeach()

list(LENGTH problems problem_count)
list(REMOVE_DUPLICATES allowances_used)
list(LENGTH allowances_used allowed_count)
if(problem_count GREATER 0)
    foreach(problem ${problems})
        message(NOTICE "${problem}")
    endforeach()
    message(FATAL_ERROR "layer check: ${problem_count} problem(s) in ${files_read} files")
endif()
message(STATUS "layer check: ${files_read} files follow the layers \
(${allowed_count} allowed until they move)")
