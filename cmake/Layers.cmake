# What the layer check (cmake/CheckLayers.cmake) knows beyond the order of the folders.

# Includes against the order that are allowed for a while (none today), one "file -> folder"
# pair each. Each pair goes when its last include goes; the check fails on a pair that no longer
# matches an include, so this list only shrinks.
set(LAYER_ALLOWANCES
)
