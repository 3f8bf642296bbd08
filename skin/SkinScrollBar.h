// Two arrow buttons around a track: the scroll bar of the media list.
#pragma once

#include <QImage>
#include <QWidget>

#include "skin/Events.h"
#include "skin/Looks.h"

class ImageButton;
class SkinTrackBar;

class SkinScrollBar : public QWidget {
    Q_OBJECT
public:
    explicit SkinScrollBar(QWidget* parent = nullptr);

    Qt::Orientation Orientation() const { return orientation_; }
    void SetOrientation(Qt::Orientation orientation);
    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);

    int Min() const;
    void SetMin(int value);
    int High() const;
    void SetHigh(int value);
    int Position() const;
    void SetPosition(int value);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int value) { smallChange_ = value; }
    int LargeChange() const;
    void SetLargeChange(int value);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value);
    int LineButton() const { return lineButton_; }
    void SetLineButton(int value);

    // The thumb's length along the track for the current settings.
    int ThumbLength() const;

    SkinTrackBar* Track() const { return track_; }
    ImageButton* DecrementButton() const { return decButton_; }
    ImageButton* IncrementButton() const { return incButton_; }

    NotifyEvent OnChange;

    // The background colour (the look's scroll-bar colour).
    QColor Color() const { return color_; }

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void UpdatePictures();
    void PlaceTrackBarAndButton();
    void UpdateSliderPic();

    Qt::Orientation orientation_ = Qt::Horizontal;
    UIStyle uiStyle_ = UIStyle::DeepBlue;
    QColor color_;
    int smallChange_ = 1;
    int pageSize_ = 10;
    int lineButton_ = 0;
    SkinTrackBar* track_ = nullptr;
    ImageButton* decButton_ = nullptr;
    ImageButton* incButton_ = nullptr;
    void Step(int delta);

    QImage thumbStart_, thumbMiddle_, thumbEnd_;
    bool placing_ = false;
    bool repeated_ = false;
};
