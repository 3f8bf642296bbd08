// The six named looks and the table of pictures and colours behind each.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <optional>

enum class UIStyle {
    FromThemeFile = 0,
    MacOS = 1,
    WinXP = 2,
    DeepBlue = 3,
    Protein = 4,
    BlueGlass = 5
};

// The look a control really draws with: FromThemeFile draws as DeepBlue, as no theme file is
// ever attached.
UIStyle EffectiveLook(UIStyle look);

// Entry numbers of the look table that the controls read.
namespace LookEntry {
constexpr int ButtonStrip = 1;           // bitmap, 3 frames
constexpr int ButtonTransparent = 2;     // flag
constexpr int CheckBoxStrip = 3;         // bitmap, 4 frames
constexpr int ComboButtonFace = 15;      // colour
constexpr int ProgressFill = 24;         // bitmap
constexpr int BorderColor = 25;          // colour
constexpr int ProgressEmpty = 26;        // colour
constexpr int GroupCaptionColor = 27;    // colour
constexpr int TrackBar = 28;             // bitmap, three-part
constexpr int TrackSlider = 29;          // bitmap
constexpr int TrackSliderVertical = 30;  // bitmap
constexpr int ScrollBackground = 31;     // colour
constexpr int ScrollButtons = 32;        // bitmap, 6 frames
constexpr int ScrollThumb = 33;          // bitmap, 3 frames
}  // namespace LookEntry

// Loads the entry's bitmap, or when `frames` is not 0 only frame `frame` (1-based) of
// `frames`. False (target untouched) for a look outside 1..5 or an entry that is no bitmap.
bool GetInsideThemeBitmap(UIStyle look, int entry, QImage& target, int frame = 0, int frames = 0);
std::optional<QColor> GetInsideThemeColor(UIStyle look, int entry);
std::optional<bool> GetInsideThemeBool(UIStyle look, int entry);
std::optional<int> GetInsideThemeInt(UIStyle look, int entry);

// The resource name of a look bitmap, such as "MACOS_BUTTON"; empty when there is none.
QString ThemeBitmapName(UIStyle look, int entry);

// A look picture stored in the program by its resource name, such as "WINXP_COMBOBOX_BUTTON";
// a null image when there is none.
QImage LoadLookResource(const QString& name);
