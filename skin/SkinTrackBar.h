// A slider drawn from a bar picture and a thumb picture.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "skin/Events.h"
#include "skin/Looks.h"
#include "skin/RepeatTimer.h"

class ImagePanel;

class SkinTrackBar : public QWidget {
    Q_OBJECT
public:
    explicit SkinTrackBar(QWidget* parent = nullptr);

    Qt::Orientation Orientation() const { return orientation_; }
    void SetOrientation(Qt::Orientation orientation);
    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);

    int Min() const { return min_; }
    void SetMin(int value);
    int High() const { return high_; }
    void SetHigh(int value);
    int Position() const { return position_; }
    void SetPosition(int value);  // clamped to Min..High; places the thumb and notifies
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value);
    int LineSize() const { return lineSize_; }
    void SetLineSize(int value);
    bool ShowTick() const { return showTick_; }
    void SetShowTick(bool value);
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // The background colour; the parent's until one is set.
    QColor Color() const;
    void SetColor(const QColor& color);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    const QImage& BarImage() const { return barImage_; }
    void SetBarImage(const QImage& image);
    const QImage& SliderImage() const { return sliderImage_; }
    void SetSliderImage(const QImage& image);
    // Only the inner track of a scroll bar keeps the pictures it was given.
    void SetKeepCustomPictures(bool keep) { keepCustomPictures_ = keep; }

    // The bar strip painted under the thumb; drawing into it (the trim range) shows at the
    // next repaint and lasts until the next rebuild.
    QImage& BarBitmap() { return barBitmap_; }

    // The thumb, a child picture panel.
    ImagePanel* Thumb() const { return thumb_; }

    // The position a point of the track stands for (horizontal: x; vertical: y).
    int PositionFromPoint(int x, int y) const;

    // The last change notified by OnChange: the new position minus the one notified before.
    int LastChange() const { return lastChange_; }
    bool Dragging() const { return dragging_; }

    void UpdateControl();  // rebuild pictures and bar strip
    void UpdateSlider();   // place the thumb, repaint, notify a change

    NotifyEvent OnChange, OnClick;
    MouseEvent OnMouseDown, OnMouseUp;
    MouseMoveEvent OnMouseMove;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PressAt(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers mods, bool onThumb);
    void MoveAt(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
    void ReleaseAt(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void RepeatTick();
    void RebuildBarStrip();
    int ThumbLengthAlong() const;
    int TrackLengthAlong() const;

    Qt::Orientation orientation_ = Qt::Horizontal;
    UIStyle uiStyle_ = UIStyle::DeepBlue;
    int min_ = 0, high_ = 10, position_ = 0;
    int pageSize_ = 2, lineSize_ = 1;
    bool showTick_ = true;
    int frequency_ = 1;
    bool transparent_ = false;
    QColor color_;
    QImage barImage_, sliderImage_, barBitmap_;
    bool keepCustomPictures_ = false;
    ImagePanel* thumb_ = nullptr;
    int lastNotified_ = 0;
    int lastChange_ = 0;
    bool dragging_ = false;
    RepeatTimer repeat_;
    QPoint lastPoint_;
    bool pressedInside_ = false;
    bool rebuilding_ = false;
    bool tabStop_ = true;
};
