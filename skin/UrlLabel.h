// A link label: underlined, blue, red under the mouse; a click opens its address.
#pragma once

#include <QColor>
#include <QLabel>

#include "skin/Events.h"

class UrlLabel : public QLabel {
    Q_OBJECT
public:
    explicit UrlLabel(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    QString URL() const { return url_; }
    void SetURL(const QString& url) { url_ = url; }
    QColor FontLinkColor() const { return linkColor_; }
    void SetFontLinkColor(const QColor& color);
    QColor FontHoverColor() const { return hoverColor_; }
    void SetFontHoverColor(const QColor& color) { hoverColor_ = color; }
    QColor FontColor() const;

    // Opens the trimmed address (when there is one) through the shell, then fires OnClick.
    void Click();

    NotifyEvent OnClick;

protected:
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    void SetFontColor(const QColor& color);

    QString url_;
    QColor linkColor_ = QColor(0, 0, 255);
    QColor hoverColor_ = QColor(255, 0, 0);
};
