# The layer check's rules, one small source tree per case: a file with one line (on line 2) and
# the allowances the case gives. A check that passes everything fails here.
# cmake -DCHECK=<CheckLayers.cmake> -DWORK=<scratch folder> -DQT_GUI_DIRS=<dirs> -P this file
cmake_minimum_required(VERSION 3.25)

set(failures)

# check_case(<name> <file> <line> pass|fail [OUTPUT <regex>] [ALLOW <pairs>...])
function(check_case name file line expected)
    cmake_parse_arguments(PARSE_ARGV 4 case "" "OUTPUT" "ALLOW")
    set(tree ${WORK}/${name})
    file(REMOVE_RECURSE ${tree})
    file(WRITE ${tree}/${file} "// fixture\n${line}\n")
    set(layers "set(LAYER_ALLOWANCES")
    foreach(pair ${case_ALLOW})
        string(APPEND layers " \"${pair}\"")
    endforeach()
    string(APPEND layers ")\n")
    file(WRITE ${tree}/Layers.cmake "${layers}")
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -DLAYERS=${tree}/Layers.cmake
            "-DQT_GUI_DIRS=${QT_GUI_DIRS}" -P ${CHECK}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(expected STREQUAL "pass" AND NOT rc EQUAL 0)
        set(problem "passes, but the check failed:\n${out}")
    elseif(expected STREQUAL "fail" AND rc EQUAL 0)
        set(problem "fails, but the check passed:\n${out}")
    elseif(case_OUTPUT AND NOT out MATCHES "${case_OUTPUT}")
        set(problem "says \"${case_OUTPUT}\", but the check said:\n${out}")
    else()
        return()
    endif()
    set(failures "${failures}${name}: ${file} with '${line}' ${problem}\n" PARENT_SCOPE)
endfunction()

set(order_tail "\\(app -> converter -> {profiles, media, preview} -> {skin, platform} -> engine\\)")

# Against the order: upwards, between the siblings, out of the engine.
check_case(media_to_converter media/A.cpp "#include \"converter/Txconverter.h\"" fail OUTPUT
    "media/A.cpp:2: includes \"converter/Txconverter.h\": media/ may include only media/, skin/, platform/, engine/ ${order_tail}")
check_case(converter_to_app converter/A.cpp "#include \"app/TChooseMain.h\"" fail OUTPUT
    "converter/A.cpp:2: includes \"app/TChooseMain.h\"")
check_case(media_to_profiles media/A.h "#include \"profiles/core/DeviceTable.h\"" fail OUTPUT
    "media/A.h:2: includes \"profiles/core/DeviceTable.h\"")
check_case(preview_to_media preview/A.cpp "#include \"media/core/MediaRow.h\"" fail)
check_case(profiles_to_preview profiles/A.cpp "#include \"preview/TrimRange.h\"" fail)
check_case(platform_to_skin platform/A.cpp "#include \"skin/Looks.h\"" fail OUTPUT
    "platform/ may include only platform/, engine/ ")
check_case(engine_to_platform engine/A.cpp "#include \"platform/core/Errors.h\"" fail OUTPUT
    "engine/ may include only engine/ ")
check_case(spaced_directive media/A.cpp "  #  include  \"converter/A.h\"" fail)

# Along the order: itself (nested too), anything below, skin on platform.
check_case(app_to_media app/A.cpp "#include \"media/core/SourceFiles.h\"" pass)
check_case(converter_to_engine converter/A.cpp "#include \"engine/kivoengine.h\"" pass)
check_case(skin_to_platform skin/A.cpp "#include \"platform/Shell.h\"" pass)
check_case(nested_own_folder media/package/A.h "#include \"media/core/MediaRow.h\"" pass)
check_case(commented_out media/A.cpp "// #include \"converter/Txconverter.h\"" pass)
check_case(not_a_layer media/A.cpp "#include \"support/FakeDialogs.h\"" pass)

# The allowances: a pair lets exactly its file reach exactly its folder, and a pair no include
# needs any more fails, so the list only shrinks.
check_case(allowed media/A.cpp "#include \"converter/Txconverter.h\"" pass
    ALLOW "media/A.cpp -> converter")
check_case(allowed_other_folder media/A.cpp "#include \"converter/Txconverter.h\"" fail OUTPUT
    "media/A.cpp:2: includes \"converter/Txconverter.h\"" ALLOW "media/A.cpp -> profiles")
check_case(stale_allowance media/A.cpp "#include \"skin/Looks.h\"" fail OUTPUT
    "\"media/B.cpp -> converter\" is allowed but no longer included" ALLOW "media/B.cpp -> converter")

# The cores, told by their folder (core/ in a program folder, all of cli/): Qt Core headers
# only.
check_case(core_widgets media/core/Row.h "#include <QWidget>" fail OUTPUT
    "media/core/Row.h:2: includes <QWidget>: a core uses Qt Core only")
check_case(core_gui media/core/Row.h "#include <QImage>" fail)
check_case(core_gui_module media/core/Row.h "#include <QtGui/QColor>" fail)
check_case(core_core media/core/Row.h "#include <QString>" pass)
check_case(core_nested converter/core/plan/Rule.cpp "#include <QPainter>" fail)
check_case(cli_is_core cli/Run.cpp "#include <QWidget>" fail OUTPUT
    "cli/Run.cpp:2: includes <QWidget>")
check_case(not_a_core media/Row.h "#include <QWidget>" pass)
check_case(core_in_a_name media/corebox/Row.h "#include <QWidget>" pass)

if(failures)
    message(FATAL_ERROR "${failures}")
endif()
