#include "skin/UrlLabel.h"

#include <QMouseEvent>

#include "platform/Shell.h"

UrlLabel::UrlLabel(QWidget* parent) : QLabel(parent) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    SetFontColor(linkColor_);
}

void UrlLabel::SetCaption(const QString& caption) {
    setText(caption);
    adjustSize();
}

void UrlLabel::SetFontLinkColor(const QColor& color) {
    linkColor_ = color;
    SetFontColor(color);
}

QColor UrlLabel::FontColor() const {
    return palette().color(QPalette::WindowText);
}

void UrlLabel::SetFontColor(const QColor& color) {
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, color);
    setPalette(colors);
}

void UrlLabel::Click() {
    const QString address = url_.trimmed();
    if (!address.isEmpty())
        platform::ShellOpen(address);
    if (OnClick)
        OnClick(this);
}

void UrlLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void UrlLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Click();
    }
}

void UrlLabel::enterEvent(QEnterEvent*) {
    SetFontColor(hoverColor_);
}

void UrlLabel::leaveEvent(QEvent*) {
    SetFontColor(linkColor_);
}
