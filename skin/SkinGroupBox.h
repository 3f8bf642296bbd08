// A framed group with a caption set into its top line.
#pragma once

#include "skin/ImagePanel.h"
#include "skin/Looks.h"

class SkinGroupBox : public ImagePanel {
    Q_OBJECT
public:
    explicit SkinGroupBox(QWidget* parent = nullptr);

    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(const QColor& color);
    QColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    UIStyle uiStyle_ = UIStyle::DeepBlue;
    QColor borderColor_ = Qt::black;
    QColor captionColor_ = Qt::black;
};
