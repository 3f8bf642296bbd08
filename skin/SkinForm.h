// The skinned window frame: a bitmap that is the window's whole background and, without its
// key-colour pixels, the window's shape. The user drags the window by pressing anywhere on it.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "skin/Events.h"

class SkinForm : public QWidget {
    Q_OBJECT
public:
    // `form` is the window the skin belongs to; the skin becomes its first child at (0, 0).
    explicit SkinForm(QWidget* form);

    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);
    QColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(const QColor& color);

    // Rebuilds the window's shape from the bitmap.
    void ReSetWndRgn();
    // The shape last built (in window coordinates).
    const QRegion& WindowRegion() const { return region_; }

    NotifyEvent OnRegionChanged, OnPaint, OnClick, OnDblClick;
    MouseEvent OnMouseDown, OnMouseUp;
    MouseMoveEvent OnMouseMove;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    QWidget* form_;
    QImage glyph_;
    QColor transparentColor_ = QColor(255, 0, 255);
    QRegion region_;
    QPoint dragOffset_;
    bool dragging_ = false;
};

// The row-run rule: every run of non-key pixels of a row is one rectangle; the last column
// never belongs to the shape.
QRegion SetBitmapWindow(const QImage& bitmap, QRgb key);
