# Puts the shipped profile database beside the executable without ever losing what the program
# wrote into the copy there (custom profiles, the output root). A copy that still equals what was
# shipped last time is replaced by the new catalog; a copy the program has changed is kept.
#   -DSOURCE=<shipped file> -DDEST=<file beside the executable> -DSTAMP=<record of the last copy>
if(NOT EXISTS "${DEST}")
    configure_file("${SOURCE}" "${DEST}" COPYONLY)
    configure_file("${SOURCE}" "${STAMP}" COPYONLY)
    return()
endif()
if(NOT EXISTS "${STAMP}")
    return()
endif()
file(SHA256 "${DEST}" dest_hash)
file(SHA256 "${STAMP}" stamp_hash)
file(SHA256 "${SOURCE}" source_hash)
if(dest_hash STREQUAL stamp_hash AND NOT source_hash STREQUAL stamp_hash)
    configure_file("${SOURCE}" "${DEST}" COPYONLY)
    configure_file("${SOURCE}" "${STAMP}" COPYONLY)
endif()
