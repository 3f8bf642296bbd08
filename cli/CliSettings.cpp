#include "cli/CliSettings.h"

#include <QStringList>

#include "cli/CliOptions.h"
#include "converter/core/ArgumentVector.h"
#include "platform/core/DataFolders.h"
#include "profiles/core/ProfileDatabase.h"

namespace {

// A list setting: its --set name, its list and its choice.
struct ListSetting {
    const char* name;
    QStringList ValueLists::*list;
    ListChoice OutputSettings::*choice;
};

const ListSetting kListSettings[] = {
    {"video-codec", &ValueLists::videoCodec, &OutputSettings::videoCodec},
    {"resolution", &ValueLists::resolution, &OutputSettings::resolution},
    {"frame-rate", &ValueLists::frameRate, &OutputSettings::frameRate},
    {"audio-kbps", &ValueLists::audioBitRate, &OutputSettings::audioBitRate},
    {"sample-rate", &ValueLists::sampleRate, &OutputSettings::sampleRate},
    {"channels", &ValueLists::channels, &OutputSettings::channels},
    {"file-type", &ValueLists::fileType, &OutputSettings::fileType},
};

const char kSettingNames[] =
    "video-codec, resolution, letterbox, frame-rate, video-kbps, audio-kbps, sample-rate, "
    "channels, volume, file-type";

QString Refusal(const QString& name, const QString& value, const QString& valid) {
    return QStringLiteral("--set %1=%2 is not offered; valid values: %3").arg(name, value, valid);
}

// The entry `profile` names, or -1.
int EntryOf(const QStringList& entries, const QString& profile) {
    bool isNumber = false;
    const int number = profile.toInt(&isNumber);
    if (isNumber) {
        if (number < 1 || number > entries.size()) {
            throw CliUsageError(QStringLiteral("profile number %1 is out of range: 1..%2")
                                    .arg(number)
                                    .arg(entries.size()));
        }
        return number - 1;
    }
    const QString wanted = profile.trimmed();
    const QString customName = QStringLiteral("Custom->") + wanted + QStringLiteral(" (");
    for (int i = 0; i < entries.size(); ++i) {
        const QString& entry = entries[i];
        const QString head = entry.left(entry.indexOf(QLatin1String(" (")));
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0 ||
            head.compare(wanted, Qt::CaseInsensitive) == 0 ||
            entry.startsWith(customName, Qt::CaseInsensitive)) {
            return i;
        }
    }
    return -1;
}

// The family loaded and its profile at `entry` applied (-1: the default as loaded).
FamilySettings Loaded(const DeviceInfo& family, const ProfileSection& stored, int entry) {
    FamilySettings chosen;
    chosen.family = &family;
    LoadFamilyProfiles(stored, family, chosen.loaded, chosen.settings);
    if (entry < 0)
        return chosen;
    const QString text = chosen.loaded.entries[entry];
    if (IsCustomEntry(text))
        ApplyCustomProfileTo(stored, chosen.loaded.lists, text, chosen.settings);
    else
        ApplyBuiltInProfile(stored, family, chosen.loaded.lists, entry, chosen.settings);
    return chosen;
}

// The bit rates and the sample rate the engine takes (its -b, -ab and -ar).
constexpr int kMostVideoKbps = 100000;
constexpr int kMostAudioKbps = 1000;
constexpr int kMostSampleRate = 192000;

// A custom profile or a changed catalog may give numbers the engine refuses, which would fail
// every file one by one: such settings are refused before anything starts.
void CheckEngineRanges(const OutputSettings& settings) {
    bool numeric = false;
    const int kbps = settings.videoBitRate.trimmed().toInt(&numeric);
    if (numeric && (kbps < 1 || kbps > kMostVideoKbps)) {
        throw CliUsageError(QStringLiteral("the video bit rate %1 kbit/s is outside the 1 to %2 "
                                           "the engine takes")
                                .arg(kbps)
                                .arg(kMostVideoKbps));
    }
    const AudioRates audio =
        ApplyAudioRateRule(settings.audioBitRate.text, settings.sampleRate.text);
    if (audio.bitRate < 1 || audio.bitRate > kMostAudioKbps || audio.sampleRate < 0 ||
        audio.sampleRate > kMostSampleRate) {
        throw CliUsageError(QStringLiteral("the audio settings %1 and %2 are outside what the "
                                           "engine takes (1 to %3 kbit/s, up to %4 Hz)")
                                .arg(settings.audioBitRate.text, settings.sampleRate.text)
                                .arg(kMostAudioKbps)
                                .arg(kMostSampleRate));
    }
}

// One line of settings: "MPEG4 176x144 15 fps 192 kbps, audio 12 kbps 8000 Hz Mono, 3G2".
QString SettingsLine(const OutputSettings& settings) {
    return QStringLiteral("%1 %2 %3 fps %4 kbps%5, audio %6 %7 %8, volume %9%, %10")
        .arg(settings.videoCodec.text, settings.resolution.text, settings.frameRate.text,
             settings.videoBitRate, settings.letterbox ? QStringLiteral(" letterbox") : QString(),
             settings.audioBitRate.text, settings.sampleRate.text, settings.channels.text)
        .arg(settings.volume)
        .arg(settings.fileType.text);
}

// Applies one --set like a choice in the settings panel. A list value is taken by the item's
// text (letter case aside) or by the number it begins with ("44100" for "44100 Hz").
void ApplySetting(const ValueLists& lists, const QString& name, const QString& value,
                  OutputSettings& settings) {
    for (const ListSetting& setting : kListSettings) {
        if (name != QLatin1String(setting.name))
            continue;
        const QStringList& items = lists.*setting.list;
        for (int i = 0; i < items.size(); ++i) {
            const QString& item = items[i];
            if (item.compare(value, Qt::CaseInsensitive) == 0 ||
                item.section(' ', 0, 0).compare(value, Qt::CaseInsensitive) == 0) {
                settings.*setting.choice = ListChoice{i, item};
                return;
            }
        }
        throw CliUsageError(Refusal(name, value, items.join(QStringLiteral(", "))));
    }
    bool ok = false;
    if (name == QLatin1String("video-kbps")) {
        const int kbps = value.trimmed().toInt(&ok);
        if (!ok || kbps < 1 || kbps > kMostVideoKbps) {
            throw CliUsageError(Refusal(
                name, value,
                QStringLiteral("a whole number of kbit/s from 1 to %1").arg(kMostVideoKbps)));
        }
        settings.videoBitRate = QString::number(kbps);
    } else if (name == QLatin1String("volume")) {
        const int volume = value.trimmed().toInt(&ok);
        if (!ok || volume < 0 || volume > 300)
            throw CliUsageError(Refusal(name, value, QStringLiteral("0..300 (percent)")));
        settings.volume = volume;
    } else if (name == QLatin1String("letterbox")) {
        const QString word = value.toLower();
        if (word == QLatin1String("on") || word == QLatin1String("yes") || word == "1")
            settings.letterbox = true;
        else if (word == QLatin1String("off") || word == QLatin1String("no") || word == "0")
            settings.letterbox = false;
        else
            throw CliUsageError(Refusal(name, value, QStringLiteral("on, off")));
    } else {
        throw CliUsageError(QStringLiteral("unknown setting \"%1\": use %2")
                                .arg(name, QLatin1String(kSettingNames)));
    }
}

}  // namespace

FamilySettings ChooseSettings(DeviceType device, const QString& profile,
                              const std::vector<std::pair<QString, QString>>& overrides) {
    const DeviceInfo* family = FindDevice(device);
    if (!family)
        throw CliUsageError(QStringLiteral("no device family chosen"));
    FamilySettings chosen;
    try {
        const ProfileSection stored = ReadProfileSection(family->section);
        chosen = Loaded(*family, stored, -1);
        if (!profile.isEmpty()) {
            const int entry = EntryOf(chosen.loaded.entries, profile);
            if (entry < 0) {
                throw CliUsageError(QStringLiteral("no profile \"%1\" for %2 (see --list-profiles)")
                                        .arg(profile, family->section));
            }
            chosen = Loaded(*family, stored, entry);
        }
        chosen.device = device;
    } catch (const CliUsageError&) {
        throw;
    } catch (const std::exception& error) {
        // A copy of the user's can be replaced by the installed catalog; say how.
        const QString wayBack = platform::PerUserData()
                                    ? QStringLiteral(
                                          " (--restore-catalog goes back to the "
                                          "installed catalog)")
                                    : QString();
        throw CliUsageError(QStringLiteral("the %1 profiles in %2 cannot be loaded: %3%4")
                                .arg(family->section, ProfileDatabasePath(),
                                     QString::fromUtf8(error.what()), wayBack));
    }
    for (const auto& [name, value] : overrides)
        ApplySetting(chosen.loaded.lists, name, value, chosen.settings);
    CheckEngineRanges(chosen.settings);
    return chosen;
}

QString ProfileListText(DeviceType device, bool* failed) {
    QString text;
    bool anyFailed = false;
    for (int d = Dev3GP; d <= DevMP4; ++d) {
        if (device != DevNone && d != device)
            continue;
        const DeviceInfo& family = *FindDevice(d);
        text += QStringLiteral("%1 (%2)\n").arg(family.section, family.title);
        try {
            const ProfileSection stored = ReadProfileSection(family.section);
            const FamilySettings loaded = Loaded(family, stored, -1);
            for (int i = 0; i < loaded.loaded.entries.size(); ++i) {
                QString settings;
                try {
                    settings = SettingsLine(Loaded(family, stored, i).settings);
                } catch (const std::exception& error) {
                    settings = QStringLiteral("cannot be applied: ") + error.what();
                    anyFailed = true;
                }
                text += QStringLiteral("  %1%2 %3\n      %4\n")
                            .arg(i + 1, 3)
                            .arg(i == loaded.loaded.selected ? QStringLiteral("*")
                                                             : QStringLiteral(" "))
                            .arg(loaded.loaded.entries[i], settings);
            }
            const ValueLists& lists = loaded.loaded.lists;
            text += QStringLiteral("  --set values:\n");
            for (const ListSetting& setting : kListSettings) {
                text += QStringLiteral("    %1: %2\n")
                            .arg(QLatin1String(setting.name),
                                 (lists.*setting.list).join(QStringLiteral(", ")));
            }
            text += QStringLiteral(
                "    video-kbps: a whole number from 1 to 100000\n    letterbox: on, off\n    "
                "volume: 0..300\n");
        } catch (const std::exception& error) {
            text += QStringLiteral("  the profiles in %1 cannot be loaded: %2\n")
                        .arg(ProfileDatabasePath(), QString::fromUtf8(error.what()));
            anyFailed = true;
        }
    }
    if (failed)
        *failed = anyFailed;
    return text;
}
