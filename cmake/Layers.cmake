# What the layer check (cmake/CheckLayers.cmake) knows beyond the order of the folders.

# Includes against the order that are allowed for a while (none today), one "file -> folder"
# pair each. Each pair goes when its last include goes; the check fails on a pair that no longer
# matches an include, so this list only shrinks.
set(LAYER_ALLOWANCES
)

# The cores beneath the windows: files that may use Qt Core only, so none of them includes a
# Qt Gui or Qt Widgets header. Paths from the source root.
set(LAYER_QT_CORE_ONLY
    cli/CliEngine.cpp
    cli/CliEngine.h
    cli/CliOptions.cpp
    cli/CliOptions.h
    cli/CliProgress.cpp
    cli/CliProgress.h
    cli/CliRun.cpp
    cli/CliRun.h
    cli/CliSettings.cpp
    cli/CliSettings.h
    cli/JobCount.cpp
    cli/JobCount.h
    cli/main.cpp
    converter/JobPlan.cpp
    converter/JobPlan.h
    converter/JobQueue.cpp
    converter/JobQueue.h
    media/MediaRow.h
    media/MediaRows.cpp
    media/MediaRows.h
    platform/ByteNames.cpp
    platform/ByteNames.h
    profiles/CatalogCheck.cpp
    profiles/CatalogCheck.h
    profiles/DeviceTable.cpp
    profiles/DeviceTable.h
    profiles/OutputRoot.cpp
    profiles/OutputRoot.h
    profiles/OutputSettings.h
    profiles/ProfileSelection.cpp
    profiles/ProfileSelection.h
    preview/PreviewPlayer.cpp
    preview/PreviewPlayer.h
    preview/PreviewSession.cpp
    preview/PreviewSession.h
    preview/TrimMarks.cpp
    preview/TrimMarks.h
)
