// A numeric edit with up and down buttons. MinValue = HighValue means no limits.
#pragma once

#include "skin/SkinEdit.h"

class CustomSkinButton;

class SkinSpinEdit : public SkinEdit {
    Q_OBJECT
public:
    explicit SkinSpinEdit(QWidget* parent = nullptr);

    // The text as an integer; MinValue when the text is not one.
    int GetValue() const;
    // Clamps to MinValue..HighValue (unless the two are equal) and shows the number.
    void SetValue(int value);
    int MinValue() const { return minValue_; }
    void SetMinValue(int value) { minValue_ = value; }
    int HighValue() const { return highValue_; }
    void SetHighValue(int value) { highValue_ = value; }
    int Increment() const { return increment_; }
    void SetIncrement(int value) { increment_ = value; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }

    void UpClick();
    void DownClick();

    CustomSkinButton* UpButton() const { return upButton_; }
    CustomSkinButton* DownButton() const { return downButton_; }

protected:
    void keyPressEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    int minValue_ = 0;
    int highValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
    CustomSkinButton* upButton_ = nullptr;
    CustomSkinButton* downButton_ = nullptr;
};
