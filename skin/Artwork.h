// The pictures the windows are dressed in: each window's skin bitmap and the normal,
// pointer-over, pressed and disabled (dimmed) pictures of each image button, looked up by the
// component's name. They are drawn at build time by resources/artwork/skingen.cpp and compiled in
// under ":/skin/".
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class ImageButton;

struct ButtonPictures {
    QImage normal, mouseOn, mouseDown, disabled;
};

namespace Artwork {

// "launcher" (648 x 452), "converter" (778 x 597) or "profile" (483 x 314); fuchsia outside
// the window's shape.
QImage WindowBitmap(const QString& window);

// The pictures of the image button `name` of `window` ("launcher" / "converter"), sized as the
// window's layout gives the button; a transparent button's pictures are fuchsia outside its
// shape, starting with the top-left pixel. A name the skin does not know gets plain grey faces
// of `size`.
ButtonPictures Button(const QString& window, const QString& name, QSize size);

// Gives `button` its four pictures (it sizes itself to them) and has it show the keyboard
// focus.
void Dress(ImageButton* button, const QString& window, const QString& name, QSize size);

// The light watermark of the family names behind the media list; with `hint` (for the empty
// list) it also says "Press Add to list the videos to convert".
QImage ListWatermark(QSize size, bool hint = true);

}  // namespace Artwork
