#include "skin/Artwork.h"

#include <QPainter>

#include "skin/ImageButton.h"

// The pictures are drawn at build time (resources/artwork/skingen.cpp) and compiled into this
// static library; registering them explicitly keeps the linker from leaving them out.
static void RegisterSkinPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(skin);
        return true;
    }();
    (void)registered;
}

namespace Artwork {
namespace {

QImage LoadSkinPicture(const QString& name) {
    RegisterSkinPictures();
    QImage image(QStringLiteral(":/skin/") + name);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

// A plain face for a button the skin has no picture for, so a window still shows something
// where a new button was placed: a grey box of the asked size.
QImage PlainFace(QSize size, int state) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(state == 1   ? QColor(200, 206, 216)
               : state == 2 ? QColor(150, 158, 172)
               : state == 3 ? QColor(222, 222, 222)
                            : QColor(180, 186, 196));
    QPainter p(&image);
    p.setPen(QColor(90, 98, 112));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

}  // namespace

QImage WindowBitmap(const QString& window) {
    return LoadSkinPicture(window + QStringLiteral(".png"));
}

ButtonPictures Button(const QString& window, const QString& name, QSize size) {
    const QString base = window + QChar('/') + name + QChar('_');
    ButtonPictures pictures{LoadSkinPicture(base + QStringLiteral("normal.png")),
                            LoadSkinPicture(base + QStringLiteral("mouseon.png")),
                            LoadSkinPicture(base + QStringLiteral("mousedown.png")),
                            LoadSkinPicture(base + QStringLiteral("disabled.png"))};
    if (pictures.normal.isNull())
        return {PlainFace(size, 0), PlainFace(size, 1), PlainFace(size, 2), PlainFace(size, 3)};
    return pictures;
}

void Dress(ImageButton* button, const QString& window, const QString& name, QSize size) {
    const ButtonPictures pictures = Button(window, name, size);
    button->SetPicNormal(pictures.normal);
    button->SetPicMouseOn(pictures.mouseOn);
    button->SetPicMouseDown(pictures.mouseDown);
    button->SetPicDisabled(pictures.disabled);
    button->SetDrawFocused(true);
}

QImage ListWatermark(QSize size, bool hint) {
    const QImage watermark = LoadSkinPicture(hint ? QStringLiteral("watermark.png")
                                                  : QStringLiteral("watermark_rows.png"));
    if (watermark.size() == size || watermark.isNull())
        return watermark;
    return watermark.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace Artwork
