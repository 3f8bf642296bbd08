// A panel that shows a picture (normal, stretched or tiled) and can host child controls.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "skin/Events.h"

enum class DrawStyle { Normal, Stretch, Tile };

class ImagePanel : public QWidget {
    Q_OBJECT
public:
    explicit ImagePanel(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    DrawStyle GetDrawStyle() const { return drawStyle_; }
    void SetDrawStyle(DrawStyle style);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

    NotifyEvent OnClick, OnMouseEnter, OnMouseExit, OnResize;
    MouseEvent OnMouseDown, OnMouseUp;
    MouseMoveEvent OnMouseMove;

protected:
    virtual void ClearPanel();
    virtual void RepaintText(QPainter& painter);
    virtual void PictureChanged();

    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    QImage picture_;
    DrawStyle drawStyle_ = DrawStyle::Normal;
    bool transparent_ = false;
    bool autoSize_ = false;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    QColor color_;
    QString caption_;
    int borderWidth_ = 0;
    bool pressedInside_ = false;
};
