#include "profiles/core/ProfileSelection.h"

#include <tuple>

#include "platform/core/Convert.h"
#include "platform/core/Errors.h"

namespace {

const QString kNoData = QStringLiteral("NoData");
const QString kCustomMark = QStringLiteral("Custom->");

// The longest value the profile database gives back; a longer description would not read back
// equal to the entry it was listed as.
constexpr qsizetype kMaxStoredText = 2047;

// The first `count` fields of a built-in profile's parameters, all taken before any setting
// changes. An absent value gives empty fields; a value too short fails on the first missing one.
QStringList TakeFields(const QString& value, int count) {
    if (value == kNoData)
        return QStringList(count, QString());
    const QStringList fields = SplitCommaText(value);
    if (fields.size() < count)
        throw EListError::OutOfBounds(int(fields.size()));
    return fields.mid(0, count);
}

QString Field(const QStringList& fields, int index) {
    if (index >= fields.size())
        throw EListError::OutOfBounds(index);
    return fields[index];
}

// The first item of exactly that text; no match keeps the choice.
void SelectByText(ListChoice& choice, const QStringList& items, const QString& text) {
    const qsizetype found = items.indexOf(text);
    if (found >= 0)
        choice = {int(found), items[found]};
}

// A player profile's optional fourth field: the frame size it converts at ("1280x720"); the
// other player profiles leave the size list as it is.
void SelectProfileSize(const QString& parameters, const ValueLists& lists,
                       OutputSettings& settings) {
    if (parameters == kNoData)
        return;
    const QStringList fields = SplitCommaText(parameters);
    if (fields.size() > 3 && !fields[3].trimmed().isEmpty())
        SelectByText(settings.resolution, lists.resolution, fields[3].trimmed());
}

// The first item containing the text; an empty text or no match keeps the choice.
void SelectByContainment(ListChoice& choice, const QStringList& items, const QString& text) {
    if (text.isEmpty())
        return;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].contains(text)) {
            choice = {int(i), items[i]};
            return;
        }
    }
}

// A position outside the list (or -1) leaves nothing chosen.
void SelectByPosition(ListChoice& choice, const QStringList& items, qint64 position) {
    if (position >= 0 && position < items.size())
        choice = {int(position), items[position]};
    else
        choice = ListChoice();
}

// A channel count from 1 chooses the item at count - 1.
void SelectChannels(OutputSettings& settings, const ValueLists& lists, const QString& field) {
    SelectByPosition(settings.channels, lists.channels, qint64(StrToInt(field)) - 1);
}

// The spin edit takes the field's integer and shows it in decimal.
void SetVideoBitRate(OutputSettings& settings, const QString& field) {
    settings.videoBitRate = QString::number(StrToInt(field));
}

// A parameter field as comma text: plain digits stay as they are; a text that a blank, a comma
// or a quote would split or change is quoted, so the stored row keeps its eight fields.
QString CommaField(const QString& text) {
    bool plain = true;
    for (const QChar c : text) {
        if (c.unicode() <= 32 || c == QChar(',') || c == QChar('"'))
            plain = false;
    }
    if (plain)
        return text;
    QString quoted = text;
    quoted.replace(QChar('"'), QStringLiteral("\"\""));
    return QChar('"') + quoted + QChar('"');
}

QString Numbered(const QString& key, int n) {
    return key + QString::number(n);
}

}  // namespace

bool IsCustomEntry(const QString& text) {
    return text.contains(kCustomMark);
}

QStringList ReadValueList(const ProfileSection& stored, const QString& key) {
    QStringList items;
    for (int n = 0;; ++n) {
        const QString value = stored.Value(Numbered(key, n), kNoData);
        if (value == kNoData)
            return items;
        items << value;
    }
}

void LoadFamilyProfiles(const ProfileSection& stored, const DeviceInfo& family,
                        FamilyProfiles& loaded, OutputSettings& settings) {
    loaded = FamilyProfiles();
    loaded.entries = ReadValueList(stored, "Profiles") + ReadValueList(stored, "CustomProfile");
    const int position = StrToInt(stored.Value("DefaultProfiles", "0"));
    loaded.selected = position >= 0 && position < loaded.entries.size() ? position : -1;

    ValueLists& lists = loaded.lists;
    lists = {ReadValueList(stored, "VideoCodec"),     ReadValueList(stored, "Resolution"),
             ReadValueList(stored, "Framerate"),      ReadValueList(stored, "AudiobitRate"),
             ReadValueList(stored, "AudioFrameRate"), ReadValueList(stored, "AudioChannels"),
             ReadValueList(stored, "OutputFileType")};
    loaded.listsRead = true;
    // Lists filled anew start with nothing chosen.
    for (ListChoice* choice :
         {&settings.videoCodec, &settings.resolution, &settings.frameRate, &settings.audioBitRate,
          &settings.sampleRate, &settings.channels, &settings.fileType}) {
        *choice = ListChoice();
    }

    const bool phone = family.profileLayout == ProfileLayout::Phone;
    if (phone) {
        const int index = StrToInt(stored.Value("DefaultAudiobitRateIndex", "0"));
        SelectByPosition(settings.audioBitRate, lists.audioBitRate, index);
    }

    const QString parameters = stored.Value(Numbered("ProfilesPar", loaded.selected), kNoData);
    if (phone) {
        const QStringList f = TakeFields(parameters, 5);
        SelectByText(settings.resolution, lists.resolution, f[0]);
        SetVideoBitRate(settings, f[1]);
        SelectByText(settings.frameRate, lists.frameRate, f[2]);
        SelectChannels(settings, lists, f[4]);
    } else {
        const QString resolution = stored.Value("DefaultResolution", kNoData);
        const QString frameRate = stored.Value("DefaultFramerate", kNoData);
        const QStringList f = TakeFields(parameters, 3);
        SelectByText(settings.resolution, lists.resolution, resolution);
        if (family.audioQualityFirst) {
            SelectByContainment(settings.audioBitRate, lists.audioBitRate, f[1]);
            SetVideoBitRate(settings, f[0]);
        } else {
            SetVideoBitRate(settings, f[0]);
            SelectByContainment(settings.audioBitRate, lists.audioBitRate, f[1]);
        }
        SelectByText(settings.frameRate, lists.frameRate, frameRate);
        SelectChannels(settings, lists, f[2]);
        SelectProfileSize(parameters, lists, settings);
    }

    for (auto [choice, items, key] :
         {std::tuple{&settings.videoCodec, &lists.videoCodec, "DefaultVideoCodec"},
          {&settings.fileType, &lists.fileType, "DefaultOutputFileType"},
          {&settings.sampleRate, &lists.sampleRate, "DefaultAudioFrameRate"}}) {
        const QString text = stored.Value(key, kNoData);
        if (text != kNoData)
            SelectByText(*choice, *items, text);
    }
}

void ApplyBuiltInProfile(const ProfileSection& stored, const DeviceInfo& family,
                         const ValueLists& lists, int entry, OutputSettings& settings) {
    const QString parameters = stored.Value(Numbered("ProfilesPar", entry), kNoData);
    if (family.profileLayout == ProfileLayout::Phone) {
        const QStringList f = TakeFields(parameters, 5);
        SelectByText(settings.resolution, lists.resolution, f[0]);
        SetVideoBitRate(settings, f[1]);
        SelectByText(settings.frameRate, lists.frameRate, f[2]);
        // A sample-rate item with the frame rate's text would be chosen; the catalog's sample
        // rates ("8000 Hz") never equal a frame rate, so this chooses nothing.
        SelectByText(settings.sampleRate, lists.sampleRate, f[2]);
        SelectChannels(settings, lists, f[4]);
        return;
    }
    const QStringList f = TakeFields(parameters, 3);
    if (family.audioQualityFirst) {
        SelectByContainment(settings.audioBitRate, lists.audioBitRate, f[1]);
        SetVideoBitRate(settings, f[0]);
        SelectChannels(settings, lists, f[2]);
    } else {
        SetVideoBitRate(settings, f[0]);
        SelectChannels(settings, lists, f[2]);
        SelectByContainment(settings.audioBitRate, lists.audioBitRate, f[1]);
    }
    SelectProfileSize(parameters, lists, settings);
}

void ApplyCustomProfileTo(const ProfileSection& stored, const ValueLists& lists,
                          const QString& description, OutputSettings& settings) {
    int n = 0;
    for (;; ++n) {
        const QString text = stored.Value(Numbered("CustomProfile", n), kNoData);
        if (text == description || text == kNoData)
            break;
    }
    const QStringList f = SplitCommaText(stored.Value(Numbered("CustomProfilePar", n), kNoData));

    // Field by field: a bad field stops the profile with the fields before it applied.
    SelectByPosition(settings.videoCodec, lists.videoCodec, StrToInt(Field(f, 0)));
    SelectByPosition(settings.resolution, lists.resolution, StrToInt(Field(f, 1)));
    SelectByPosition(settings.frameRate, lists.frameRate, StrToInt(Field(f, 2)));
    settings.videoBitRate = Field(f, 3);  // as stored, also when it is no number
    SelectByPosition(settings.sampleRate, lists.sampleRate, StrToInt(Field(f, 4)));
    SelectByPosition(settings.audioBitRate, lists.audioBitRate, StrToInt(Field(f, 5)));
    SelectByPosition(settings.channels, lists.channels, StrToInt(Field(f, 6)));
    SelectByPosition(settings.fileType, lists.fileType, StrToInt(Field(f, 7)));
}

QString CustomProfileDescription(const QString& name, const OutputSettings& settings) {
    return QStringLiteral("Custom->") + name + QStringLiteral(" (") + QStringLiteral("Video:") +
           settings.resolution.text + QStringLiteral(",") + settings.videoBitRate +
           QStringLiteral("Kbps,") + settings.frameRate.text + QStringLiteral("fps;") +
           QStringLiteral("Audio:") + settings.sampleRate.text + QStringLiteral(",") +
           settings.audioBitRate.text + QStringLiteral(",") + settings.channels.text +
           QStringLiteral(")");
}

QString CustomProfileParameters(const OutputSettings& settings) {
    const QStringList fields = {
        QString::number(settings.videoCodec.index), QString::number(settings.resolution.index),
        QString::number(settings.frameRate.index),  CommaField(settings.videoBitRate),
        QString::number(settings.sampleRate.index), QString::number(settings.audioBitRate.index),
        QString::number(settings.channels.index),   QString::number(settings.fileType.index),
    };
    return fields.join(QChar(','));
}

QString StoreCustomProfile(const QString& section, const QString& name,
                           const OutputSettings& settings) {
    const QString description = CustomProfileDescription(name, settings).left(kMaxStoredText);
    const ProfileSection stored = ReadProfileSection(section);
    int n = 0;
    while (stored.Value(Numbered("CustomProfile", n), kNoData) != kNoData)
        ++n;
    // The parameters go first: should the second write fail, no description is left behind
    // that would be listed without parameters, and the next save reuses the position.
    WriteProfileValue(section, Numbered("CustomProfilePar", n), CustomProfileParameters(settings));
    WriteProfileValue(section, Numbered("CustomProfile", n), description);
    return description;
}
