// A bar filled with the look's picture and labelled with its percentage.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "skin/Looks.h"

class SkinProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit SkinProgressBar(QWidget* parent = nullptr);

    int Min() const { return min_; }
    void SetMin(int value);
    int High() const { return high_; }
    void SetHigh(int value);
    int Position() const { return position_; }
    void SetPosition(int value);  // not clamped
    void StepIt() { SetPosition(position_ + 1); }
    void StepBy(int n) { SetPosition(position_ + n); }

    // The percentage text, such as "37%", or the text SetCaptionText put in its place.
    QString Caption() const { return caption_; }
    // Shows `text` instead of the percentage until the values change again.
    void SetCaptionText(const QString& text);
    // Fill width in pixels for the current values.
    int FillWidth() const;

    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool value);
    bool SmartShowCaption() const { return smartShowCaption_; }
    void SetSmartShowCaption(bool value);
    Qt::Orientation Orientation() const { return orientation_; }
    void SetOrientation(Qt::Orientation orientation);
    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(const QColor& color);
    QColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void Changed();

    int min_ = 0, high_ = 100, position_ = 50;
    QString caption_ = QStringLiteral("50%");
    bool showCaption_ = true;
    bool smartShowCaption_ = false;
    Qt::Orientation orientation_ = Qt::Horizontal;
    UIStyle uiStyle_ = UIStyle::DeepBlue;
    QImage picture_;
    QColor color_, borderColor_ = Qt::black, captionColor_ = Qt::black;
};
