// A button drawn from up to four pictures, one per state; the normal picture stands in for
// any state that has none.
#pragma once

#include "skin/CustomSkinButton.h"

class ImageButton : public CustomSkinButton {
    Q_OBJECT
public:
    explicit ImageButton(QWidget* parent = nullptr);

    const QImage& PicNormal() const { return picNormal_; }
    void SetPicNormal(const QImage& picture);
    const QImage& PicMouseOn() const { return picMouseOn_; }
    void SetPicMouseOn(const QImage& picture);
    const QImage& PicMouseDown() const { return picMouseDown_; }
    void SetPicMouseDown(const QImage& picture);
    const QImage& PicDisabled() const { return picDisabled_; }
    void SetPicDisabled(const QImage& picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool DrawFocused() const { return drawFocused_; }
    void SetDrawFocused(bool value);

protected:
    void AutoSizeChanged() override;
    void PaintPic(QPainter& painter, const QImage& picture) override;
    void PaintFocus(QPainter& painter) override;
    QImage PaintButtonNormal() override;
    QImage PaintButtonMouseOn() override;
    QImage PaintButtonMouseDown() override;
    QImage PaintButtonDisabled() override;

private:
    QImage picNormal_, picMouseOn_, picMouseDown_, picDisabled_;
    bool stretch_ = false;
    bool drawFocused_ = false;
};
