#include "skin/SkinGroupBox.h"

#include <QPainter>

#include "skin/BufferedPaint.h"
#include "skin/CustomSkinButton.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"
#include "skin/SkinScrollBar.h"
#include "skin/SkinTrackBar.h"

namespace {

// Gives `style` to `child` when it is one of `Controls`, the first that matches.
template <class... Controls>
void PassLook(QObject* child, UIStyle style) {
    const auto pass = [&](auto* control) {
        if (control)
            control->SetUIStyle(style);
        return control != nullptr;
    };
    (pass(qobject_cast<Controls*>(child)) || ...);
}

}  // namespace

SkinGroupBox::SkinGroupBox(QWidget* parent) : ImagePanel(parent) {
    SetCaption(QStringLiteral(" "));
    if (parent)
        SetColor(parent->palette().color(QPalette::Window));
    resize(185, 105);
    const int h = QFontMetrics(font()).height();
    setContentsMargins(3, h, 2, 2);
}

void SkinGroupBox::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    // The look goes on to every direct child that has one of its own.
    for (QObject* child : children()) {
        PassLook<CustomSkinButton, SkinCheckBox, SkinComboBox, SkinEdit, SkinGroupBox, SkinTrackBar,
                 SkinProgressBar, SkinScrollBar>(child, style);
    }
    const UIStyle look = EffectiveLook(style);
    borderColor_ = GetInsideThemeColor(look, LookEntry::BorderColor).value_or(QColor(Qt::black));
    captionColor_ =
        GetInsideThemeColor(look, LookEntry::GroupCaptionColor).value_or(QColor(Qt::black));
    update();
}

void SkinGroupBox::SetBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void SkinGroupBox::SetCaptionColor(const QColor& color) {
    captionColor_ = color;
    update();
}

void SkinGroupBox::paintEvent(QPaintEvent*) {
    PaintBuffered(this, Transparent(), Color(), [&](QPainter& painter) {
        const QFontMetrics metrics(font());
        const int h = metrics.height();
        const int y = h / 2 + 1;
        const int right = width() - 1, bottom = height() - 1;
        const QString caption = Caption();
        const int captionWidth = caption.isEmpty() ? -6 : metrics.horizontalAdvance(caption);
        painter.setPen(BorderColor());
        const QPoint line[] = {{2, y},          {0, y},     {0, bottom},
                               {right, bottom}, {right, y}, {captionWidth + 6, y}};
        painter.drawPolyline(line, 6);

        painter.setFont(font());
        painter.setPen(isEnabled() ? captionColor_ : QColor(128, 128, 128));
        painter.drawText(QRect(5, 0, width() - 5, h),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    });
}
