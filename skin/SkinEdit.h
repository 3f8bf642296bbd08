// A single-line edit framed in the look's border colour.
#pragma once

#include <QColor>
#include <QLineEdit>

#include "skin/Looks.h"

class SkinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SkinEdit(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    UIStyle uiStyle_ = UIStyle::DeepBlue;
    QColor borderColor_;
};
