// A push-button with a caption, drawn from the look's button strip.
#pragma once

#include "skin/CustomSkinButton.h"

class SkinButton : public CustomSkinButton {
    Q_OBJECT
public:
    explicit SkinButton(QWidget* parent = nullptr);

protected:
    void PaintPic(QPainter& painter, const QImage& picture) override;
    void PaintText(QPainter& painter) override;
    void PaintFocus(QPainter& painter) override;
    void UIStyleChanged() override;

private:
    bool boldCaption_ = false;
};
