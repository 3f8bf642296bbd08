# Runs the database placement the way the build does, through three catalog versions and an
# edit by the program in between.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(source "${WORK}/shipped.dll")
set(dest "${WORK}/bin/KivoMp4.dll")
set(stamp "${WORK}/KivoMp4.dll.shipped")

function(place)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} -DDEST=${dest} -DSTAMP=${stamp}
        -P ${SCRIPT} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "placing the database failed: ${result}")
    endif()
endfunction()

function(expect content what)
    file(READ "${dest}" actual)
    if(NOT actual STREQUAL content)
        message(FATAL_ERROR "${what}: got [${actual}] instead of [${content}]")
    endif()
endfunction()

file(WRITE "${source}" "[3GP]\nProfiles0=one\n")
place()
expect("[3GP]\nProfiles0=one\n" "first build copies the catalog")

file(WRITE "${source}" "[3GP]\nProfiles0=two\n")
place()
expect("[3GP]\nProfiles0=two\n" "an untouched copy follows a new catalog")

file(WRITE "${dest}" "[3GP]\nProfiles0=two\nCustomProfile0=Custom->mine\n")
file(WRITE "${source}" "[3GP]\nProfiles0=three\n")
place()
expect("[3GP]\nProfiles0=two\nCustomProfile0=Custom->mine\n" "a copy the program wrote is kept")
place()
expect("[3GP]\nProfiles0=two\nCustomProfile0=Custom->mine\n" "and kept again")
message(STATUS "database placement keeps the program's writes")
