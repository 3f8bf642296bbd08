// Which settings a family's profiles give: loading a family's profile list and value lists from
// its catalog section, applying a built-in or a custom profile to the output settings, and
// storing the settings as a custom profile. Plain values in and out; the converter window and
// the custom profile editor show them.
//
// The rules follow the window the catalog was written for, quirks included: a list item is
// selected by its exact text, by containment or by position; a profile's fields are applied one
// after another, so a field that fails to convert stops the profile with the fields before it
// applied. Each Apply and Load therefore changes `settings` in place and, when it raises, leaves
// there what was applied before the error, for the window to show.
#pragma once

#include <QString>
#include <QStringList>

#include "profiles/core/DeviceTable.h"
#include "profiles/core/OutputSettings.h"
#include "profiles/core/ProfileDatabase.h"

// The items of a family's seven value lists, as its section lists them.
struct ValueLists {
    QStringList videoCodec;    // "VideoCodec" n
    QStringList resolution;    // "Resolution" n
    QStringList frameRate;     // "Framerate" n
    QStringList audioBitRate;  // "AudiobitRate" n
    QStringList sampleRate;    // "AudioFrameRate" n
    QStringList channels;      // "AudioChannels" n
    QStringList fileType;      // "OutputFileType" n
};

// What loading a family gives the profile list and the value lists.
struct FamilyProfiles {
    QStringList entries;     // "Profiles" n, then the "CustomProfile" n descriptions
    int selected = -1;       // the entry "DefaultProfiles" selects; -1 for none
    bool listsRead = false;  // false when the load stopped before reading the value lists
    ValueLists lists;
};

// A profile list entry naming a custom profile: its text contains "Custom->".
bool IsCustomEntry(const QString& text);

// The items of an indexed list ("Resolution0", "Resolution1", ...) up to the first position
// that reads as absent.
QStringList ReadValueList(const ProfileSection& stored, const QString& key);

// Loads `family` from its section: the entries and their default, the value lists, and the
// default profile applied with the family's defaults. `settings` comes in as the panel stands
// (its video bit rate stays unless the profile sets it); its list choices refer to the new
// lists once they are read. Raises EConvertError or EListError on a malformed value, with
// `loaded` and `settings` as far as the load got.
void LoadFamilyProfiles(const ProfileSection& stored, const DeviceInfo& family,
                        FamilyProfiles& loaded, OutputSettings& settings);

// Applies the built-in profile at `entry` of the profile list ("ProfilesPar" entry; -1 when none
// is selected) to `settings`, whose choices refer to `lists`.
void ApplyBuiltInProfile(const ProfileSection& stored, const DeviceInfo& family,
                         const ValueLists& lists, int entry, OutputSettings& settings);

// Applies the custom profile whose stored description equals `description`; the first equal
// one counts. When none is equal the search ends at the first free position, whose parameters
// read "NoData" and fail to convert.
void ApplyCustomProfileTo(const ProfileSection& stored, const ValueLists& lists,
                          const QString& description, OutputSettings& settings);

// The description a custom profile is stored and listed under:
// "Custom->" + name + " (Video:<resolution>,<kbps>Kbps,<rate>fps;Audio:<Hz>,<bit
// rate>,<channels>)".
QString CustomProfileDescription(const QString& name, const OutputSettings& settings);

// The eight stored parameters: the chosen positions (-1 for none) and the video bit rate text.
QString CustomProfileParameters(const OutputSettings& settings);

// Stores `settings` as a custom profile at the section's first free position and gives back its
// description. Raises EWriteError when the database cannot be written.
QString StoreCustomProfile(const QString& section, const QString& name,
                           const OutputSettings& settings);
