// The output settings of a command-line run: the family's catalog section loaded as the
// converter window loads it, the chosen profile applied as a pick in the window's profile list
// applies it, and each --set applied like a choice in the settings panel, refused when the
// family's lists do not offer it.
#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "profiles/core/ProfileSelection.h"

struct FamilySettings {
    DeviceType device = DevNone;
    const DeviceInfo* family = nullptr;
    FamilyProfiles loaded;  // the profile list and the value lists
    OutputSettings settings;
};

// Loads `device`'s profiles from the catalog and applies `profile` (a number from 1, or a
// name: the whole entry, the text before its " (", or a custom profile's name; empty: the
// family's default) and then `overrides`. Raises CliUsageError naming the problem.
FamilySettings ChooseSettings(DeviceType device, const QString& profile,
                              const std::vector<std::pair<QString, QString>>& overrides);

// What --list-profiles prints for `device` (DevNone: every family): each profile with its
// number and the settings it gives, then the values each --set takes.
// `failed`, when given, tells whether a family's profiles could not be loaded or applied.
QString ProfileListText(DeviceType device, bool* failed = nullptr);
