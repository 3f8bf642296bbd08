// A drop-down list with the look's border, button and arrow. In the program every instance
// is pick-only. OnChange fires only when the user picks an item; selecting from code is silent.
#pragma once

#include <QColor>
#include <QComboBox>

#include "skin/Events.h"
#include "skin/Looks.h"

class SkinComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit SkinComboBox(QWidget* parent = nullptr);

    // The item list. Adding items never selects one.
    int Count() const { return count(); }
    QString Item(int index) const { return itemText(index); }
    void AddItem(const QString& text);
    void Clear();

    // The selected position, -1 for none. Setting -1, or a position outside the list,
    // leaves no item selected.
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);

    // The text of the selected item, empty when none is selected.
    QString Text() const;

    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);  // also sets BorderColor, ButtonColor and ArrowColor
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(const QColor& color);
    QColor ButtonColor() const { return buttonColor_; }
    void SetButtonColor(const QColor& color);
    QColor ArrowColor() const { return arrowColor_; }
    void SetArrowColor(const QColor& color);

    NotifyEvent OnChange, OnSelect, OnDropDown;

    // Opening fires OnDropDown; closing repaints the parent window.
    void showPopup() override;
    void hidePopup() override;

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UIStyle uiStyle_ = UIStyle::DeepBlue;
    QColor borderColor_, buttonColor_, arrowColor_;
};
