#include "skin/SkinScrollBar.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>

#include "skin/Dimming.h"
#include "skin/Drawing.h"
#include "skin/FallbackPictures.h"
#include "skin/ImageButton.h"
#include "skin/SkinTrackBar.h"

namespace {

constexpr int kArrowRepeat = 100;
constexpr int kMinimumThumb = 18;

QImage Clockwise(const QImage& picture) {
    return picture.isNull() ? picture : picture.transformed(QTransform().rotate(90));
}

}  // namespace

SkinScrollBar::SkinScrollBar(QWidget* parent) : QWidget(parent) {
    decButton_ = new ImageButton(this);
    incButton_ = new ImageButton(this);
    for (ImageButton* button : {decButton_, incButton_}) {
        button->SetTabStop(false);
        button->SetMouseContinuouslyDownInterval(kArrowRepeat);
        button->SetAutoSize(true);
        button->OnMouseDown = [this](QObject*, Qt::MouseButton which, Qt::KeyboardModifiers, int,
                                     int) {
            if (which == Qt::LeftButton)
                repeated_ = false;
        };
    }
    decButton_->OnMouseContinuouslyDown = [this](QObject*) {
        repeated_ = true;
        Step(-smallChange_);
    };
    incButton_->OnMouseContinuouslyDown = [this](QObject*) {
        repeated_ = true;
        Step(smallChange_);
    };
    // A click released before the first repeat still moves one step: an arrow that does
    // nothing when clicked reads as broken.
    decButton_->OnClick = [this](QObject*) {
        if (!repeated_)
            Step(-smallChange_);
    };
    incButton_->OnClick = [this](QObject*) {
        if (!repeated_)
            Step(smallChange_);
    };

    track_ = new SkinTrackBar(this);
    track_->SetKeepCustomPictures(true);
    track_->SetBarImage(QImage());
    track_->SetShowTick(false);
    track_->SetTabStop(false);
    track_->SetTransparent(false);
    track_->SetPageSize(pageSize_);
    track_->OnChange = [this](QObject*) {
        if (OnChange)
            OnChange(this);
    };
    resize(15, 185);
    UpdatePictures();
    PlaceTrackBarAndButton();
}

void SkinScrollBar::Step(int delta) {
    const long long target = static_cast<long long>(track_->Position()) + delta;
    track_->SetPosition(
        static_cast<int>(std::clamp<long long>(target, track_->Min(), track_->High())));
}

void SkinScrollBar::SetOrientation(Qt::Orientation orientation) {
    orientation_ = orientation;
    track_->SetOrientation(orientation);
    UpdatePictures();
    PlaceTrackBarAndButton();
}

void SkinScrollBar::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    UpdatePictures();
    PlaceTrackBarAndButton();
}

int SkinScrollBar::Min() const {
    return track_->Min();
}
void SkinScrollBar::SetMin(int value) {
    track_->SetMin(value);
}
int SkinScrollBar::High() const {
    return track_->High();
}
void SkinScrollBar::SetHigh(int value) {
    track_->SetHigh(value);
}
int SkinScrollBar::Position() const {
    return track_->Position();
}

void SkinScrollBar::SetPosition(int value) {
    if (value == track_->Position())
        return;
    track_->SetPosition(value);
}

int SkinScrollBar::LargeChange() const {
    return track_->PageSize();
}
void SkinScrollBar::SetLargeChange(int value) {
    track_->SetPageSize(value);
}

void SkinScrollBar::SetPageSize(int value) {
    pageSize_ = value;
    track_->SetPageSize(value);
    PlaceTrackBarAndButton();
}

void SkinScrollBar::SetLineButton(int value) {
    lineButton_ = value;
    PlaceTrackBarAndButton();
}

void SkinScrollBar::UpdatePictures() {
    const UIStyle look = EffectiveLook(uiStyle_);
    color_ = GetInsideThemeColor(look, LookEntry::ScrollBackground).value_or(QColor(245, 245, 245));
    QPalette colors = palette();
    colors.setColor(QPalette::Window, color_);
    setPalette(colors);
    setAutoFillBackground(true);
    track_->SetColor(color_);

    const bool vertical = orientation_ == Qt::Vertical;
    const QImage thumbStrip = LookPicture(look, LookEntry::ScrollThumb);
    thumbStart_ = SpitBitmap(thumbStrip, 3, 1);
    thumbMiddle_ = SpitBitmap(thumbStrip, 3, 2);
    thumbEnd_ = SpitBitmap(thumbStrip, 3, 3);
    if (vertical) {
        thumbStart_ = Clockwise(thumbStart_);
        thumbMiddle_ = Clockwise(thumbMiddle_);
        thumbEnd_ = Clockwise(thumbEnd_);
    }

    const QImage arrows = LookPicture(look, LookEntry::ScrollButtons);
    const auto frame = [&](int n) {
        const QImage picture = SpitBitmap(arrows, 6, n);
        return vertical ? picture : RoundPicture(picture);
    };
    decButton_->SetPicNormal(frame(1));
    decButton_->SetPicMouseOn(frame(2));
    decButton_->SetPicMouseDown(frame(3));
    incButton_->SetPicNormal(frame(4));
    incButton_->SetPicMouseOn(frame(5));
    incButton_->SetPicMouseDown(frame(6));
    // The arrows of a disabled list show dimmed; fuchsia, the skin's key colour, stays.
    decButton_->SetPicDisabled(DimmedPicture(frame(1), qRgb(255, 0, 255)));
    incButton_->SetPicDisabled(DimmedPicture(frame(4), qRgb(255, 0, 255)));
    decButton_->SetColor(color_);
    incButton_->SetColor(color_);
}

void SkinScrollBar::PlaceTrackBarAndButton() {
    if (placing_)
        return;
    placing_ = true;
    if (width() <= 0 || height() <= 0) {
        hide();
        placing_ = false;
        return;
    }
    // The parts are placed from the bar's own geometry, so a bar that is not shown yet is
    // laid out all the same.
    const QSize dec = decButton_->size(), inc = incButton_->size();
    decButton_->move(0, 0);
    if (orientation_ == Qt::Vertical) {
        const int length = std::max(0, height() - dec.height() - inc.height() - 1);
        track_->setGeometry(0, dec.height(), dec.width(), length);
        incButton_->move(0, height() - inc.height());
        if (width() != dec.width())
            resize(dec.width(), height());
    } else {
        const int length = std::max(0, width() - dec.width() - inc.width() - 1);
        track_->setGeometry(dec.width(), 0, length, dec.height());
        incButton_->move(width() - inc.width(), 0);
        if (height() != dec.height())
            resize(width(), dec.height());
    }
    placing_ = false;
    UpdateSliderPic();
}

int SkinScrollBar::ThumbLength() const {
    if (lineButton_ > 0)
        return std::max(lineButton_, kMinimumThumb);
    const int trackLength = orientation_ == Qt::Vertical
                                ? height() - decButton_->height() - incButton_->height() - 1
                                : width() - decButton_->width() - incButton_->width() - 1;
    const int page = pageSize_ < 10 || pageSize_ > 100 ? 10 : pageSize_;
    return std::max(0, trackLength) * page / 100;
}

void SkinScrollBar::UpdateSliderPic() {
    if (thumbStart_.isNull() || thumbEnd_.isNull())
        return;
    const bool vertical = orientation_ == Qt::Vertical;
    const int length = std::max(1, ThumbLength());
    const int thickness = vertical ? thumbStart_.width() : thumbStart_.height();
    QImage thumb = vertical ? QImage(thickness, length, QImage::Format_ARGB32_Premultiplied)
                            : QImage(length, thickness, QImage::Format_ARGB32_Premultiplied);
    thumb.fill(color_);
    {
        QPainter painter(&thumb);
        if (vertical) {
            const int startLength = thumbStart_.height(), endLength = thumbEnd_.height();
            painter.drawImage(QRect(0, startLength, thickness, length - startLength - endLength),
                              thumbMiddle_);
            painter.drawImage(0, 0, thumbStart_);
            painter.drawImage(0, length - endLength, thumbEnd_);
        } else {
            const int startLength = thumbStart_.width(), endLength = thumbEnd_.width();
            painter.drawImage(QRect(startLength, 0, length - startLength - endLength, thickness),
                              thumbMiddle_);
            painter.drawImage(0, 0, thumbStart_);
            painter.drawImage(length - endLength, 0, thumbEnd_);
        }
    }
    track_->SetSliderImage(thumb);
}

void SkinScrollBar::resizeEvent(QResizeEvent*) {
    if (!placing_)
        PlaceTrackBarAndButton();
}
