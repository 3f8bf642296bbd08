#include "skin/Looks.h"

#include <QtGlobal>
#include <array>

namespace {

// One row of the look table: the values of one entry for MacOS, WinXP, DeepBlue, Protein and
// BlueGlass, in that order.
struct ColorEntry {
    int entry;
    std::array<QRgb, 5> colors;
};

constexpr std::array<ColorEntry, 5> kColors = {{
    {LookEntry::ComboButtonFace,
     {qRgb(231, 231, 231), qRgb(239, 235, 222), qRgb(232, 232, 232), qRgb(251, 251, 251),
      qRgb(231, 231, 231)}},
    {LookEntry::BorderColor,
     {qRgb(127, 127, 127), qRgb(104, 104, 104), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0)}},
    {LookEntry::ProgressEmpty,
     {qRgb(231, 231, 231), qRgb(239, 235, 222), qRgb(232, 232, 232), qRgb(251, 251, 251),
      qRgb(231, 231, 231)}},
    {LookEntry::GroupCaptionColor,
     {qRgb(0, 0, 0), qRgb(2, 70, 207), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0)}},
    {LookEntry::ScrollBackground,
     {qRgb(201, 201, 201), qRgb(249, 249, 249), qRgb(245, 245, 245), qRgb(245, 245, 245),
      qRgb(244, 244, 244)}},
}};

// The role word of each bitmap entry; the resource is the look's name in capitals, an
// underscore and this word.
const char* BitmapRole(int entry) {
    switch (entry) {
        case LookEntry::ButtonStrip:
            return "BUTTON";
        case LookEntry::CheckBoxStrip:
            return "CHECKBOX";
        case LookEntry::ProgressFill:
            return "PROGRESSBAR";
        case LookEntry::TrackBar:
            return "TRACKBAR_BAR";
        case LookEntry::TrackSlider:
            return "TRACKBAR_SLIDER";
        case LookEntry::TrackSliderVertical:
            return "TRACKBAR_SLIDER_V";
        case LookEntry::ScrollButtons:
            return "SCROLLBAR_BUTTON";
        case LookEntry::ScrollThumb:
            return "SCROLLBAR_TRACK";
        default:
            return nullptr;
    }
}

const char* LookName(UIStyle look) {
    switch (look) {
        case UIStyle::MacOS:
            return "MACOS";
        case UIStyle::WinXP:
            return "WINXP";
        case UIStyle::DeepBlue:
            return "DEEPBLUE";
        case UIStyle::Protein:
            return "PROTEIN";
        case UIStyle::BlueGlass:
            return "BLUEGLASS";
        default:
            return nullptr;
    }
}

// Index 0..4 of a look in the table rows, -1 for a look outside 1..5.
int LookIndex(UIStyle look) {
    const int value = static_cast<int>(look);
    return value >= 1 && value <= 5 ? value - 1 : -1;
}

}  // namespace

UIStyle EffectiveLook(UIStyle look) {
    return look == UIStyle::FromThemeFile ? UIStyle::DeepBlue : look;
}

QString ThemeBitmapName(UIStyle look, int entry) {
    const char* name = LookName(look);
    const char* role = BitmapRole(entry);
    if (!name || !role)
        return {};
    return QStringLiteral("%1_%2").arg(QLatin1String(name), QLatin1String(role));
}

// The pictures are compiled into this static library; registering them explicitly keeps the
// linker from leaving them out.
static void RegisterLookPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(looks);
        return true;
    }();
    (void)registered;
}

QImage LoadLookResource(const QString& name) {
    if (name.isEmpty())
        return {};
    RegisterLookPictures();
    return QImage(QStringLiteral(":/looks/%1.png").arg(name));
}

bool GetInsideThemeBitmap(UIStyle look, int entry, QImage& target, int frame, int frames) {
    QImage strip = LoadLookResource(ThemeBitmapName(look, entry));
    if (strip.isNull())
        return false;
    if (frames != 0) {
        const int width = strip.width() / frames;
        if (width <= 0 || frame < 1 || frame > frames)
            return false;
        strip = strip.copy((frame - 1) * width, 0, width, strip.height());
    }
    target = strip;
    return true;
}

std::optional<QColor> GetInsideThemeColor(UIStyle look, int entry) {
    const int index = LookIndex(look);
    if (index < 0)
        return std::nullopt;
    for (const ColorEntry& row : kColors) {
        if (row.entry == entry)
            return QColor(row.colors[index]);
    }
    return std::nullopt;
}

std::optional<bool> GetInsideThemeBool(UIStyle look, int entry) {
    if (LookIndex(look) < 0 || entry != LookEntry::ButtonTransparent)
        return std::nullopt;
    return look == UIStyle::MacOS || look == UIStyle::BlueGlass;
}

std::optional<int> GetInsideThemeInt(UIStyle look, int entry) {
    // None of the integer entries of the table is read by the program's controls.
    return std::nullopt;
}
