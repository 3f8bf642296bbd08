# qor_draw_pictures(<generator> <source> <name> <comment> <out_var>)
# Builds the picture generator <generator> from <source> and runs it at build time: it writes
# its pictures and <name>.qrc into <binary dir>/<name>/, and rcc compiles them into
# <binary dir>/qrc_<name>.cpp, whose path is returned in <out_var>. The generator's source is
# the editable artwork; the pictures come out the same on every build.
function(qor_draw_pictures generator source name comment out_var)
    add_executable(${generator} ${source})
    target_link_libraries(${generator} PRIVATE Qt6::Gui)
    set_target_properties(${generator} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set(pictures ${CMAKE_CURRENT_BINARY_DIR}/${name})
    set(compiled ${CMAKE_CURRENT_BINARY_DIR}/qrc_${name}.cpp)
    add_custom_command(
        OUTPUT ${pictures}/${name}.qrc
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:${generator}> ${pictures}
        DEPENDS ${generator}
        COMMENT "${comment}"
        VERBATIM)
    add_custom_command(
        OUTPUT ${compiled}
        COMMAND Qt6::rcc -name ${name} -o ${compiled} ${pictures}/${name}.qrc
        DEPENDS ${pictures}/${name}.qrc
        VERBATIM)
    set(${out_var} ${compiled} PARENT_SCOPE)
endfunction()
