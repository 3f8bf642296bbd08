#include "skin/SkinSpinEdit.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <limits>

#include "skin/Beep.h"
#include "skin/CustomSkinButton.h"
#include "skin/Drawing.h"

namespace {

// One of the two arrow buttons: the look's button face with a small black triangle.
class ArrowButton : public CustomSkinButton {
public:
    ArrowButton(QWidget* parent, bool up) : CustomSkinButton(parent), up_(up) {
        SetTabStop(false);
        SetMouseContinuouslyDownInterval(400);
    }

protected:
    void PaintPic(QPainter& painter, const QImage& picture) override {
        SpitDraw(picture, painter, rect(), LookButtonsTransparent());
        const int x0 = (width() - 6) / 2, y0 = (height() - 3) / 2;
        QPoint points[3];
        if (up_) {
            points[0] = {x0, y0 + 3};
            points[1] = {x0 + 3, y0};
            points[2] = {x0 + 6, y0 + 3};
        } else {
            points[0] = {x0, y0};
            points[1] = {x0 + 3, y0 + 3};
            points[2] = {x0 + 6, y0};
        }
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        painter.drawPolygon(points, 3);
    }

private:
    bool up_;
};

constexpr int kPairWidth = 15;

}  // namespace

SkinSpinEdit::SkinSpinEdit(QWidget* parent) : SkinEdit(parent) {
    setText(QStringLiteral("0"));
    auto* pair = new QWidget(this);
    pair->setObjectName(QStringLiteral("SpinButtons"));
    upButton_ = new ArrowButton(pair, true);
    downButton_ = new ArrowButton(pair, false);
    upButton_->OnClick = [this](QObject*) { UpClick(); };
    upButton_->OnMouseContinuouslyDown = [this](QObject*) { UpClick(); };
    downButton_->OnClick = [this](QObject*) { DownClick(); };
    downButton_->OnMouseContinuouslyDown = [this](QObject*) { DownClick(); };
    setTextMargins(2, 2, kPairWidth + 2 + 2, 2);
    resize(121, 21);
}

int SkinSpinEdit::GetValue() const {
    bool ok = false;
    const int value = text().trimmed().toInt(&ok);
    return ok ? value : minValue_;
}

void SkinSpinEdit::SetValue(int value) {
    if (minValue_ != highValue_)
        value = std::clamp(value, minValue_, highValue_);
    setText(QString::number(value));
}

static int Stepped(int value, int step) {
    const long long sum = static_cast<long long>(value) + step;
    return static_cast<int>(std::clamp<long long>(sum, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

void SkinSpinEdit::UpClick() {
    if (isReadOnly()) {
        SkinBeep();
        return;
    }
    SetValue(Stepped(GetValue(), increment_));
}

void SkinSpinEdit::DownClick() {
    if (isReadOnly()) {
        SkinBeep();
        return;
    }
    SetValue(Stepped(GetValue(), -increment_));
}

void SkinSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        UpClick();
        return;
    }
    if (event->key() == Qt::Key_Down) {
        DownClick();
        return;
    }
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)) {
        if (!editorEnabled_ || isReadOnly())
            return;
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty()) {
        const QChar ch = typed.at(0);
        const bool enter = ch == QLatin1Char('\r') || ch == QLatin1Char('\n');
        bool accepted;
        if (ch.unicode() < 32 || ch.unicode() == 127) {
            accepted = !enter && (editorEnabled_ || ch != QLatin1Char('\b'));
        } else {
            accepted = editorEnabled_ && (ch == QLatin1Char('-') || ch.isDigit());
            if (accepted && ch.isDigit() && (ch.unicode() < '0' || ch.unicode() > '9')) {
                accepted = false;
            }
        }
        if (!accepted) {
            SkinBeep();
            return;
        }
    } else if (!editorEnabled_ && event->key() == Qt::Key_Backspace) {
        SkinBeep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SkinSpinEdit::focusInEvent(QFocusEvent* event) {
    SkinEdit::focusInEvent(event);
    selectAll();
}

void SkinSpinEdit::focusOutEvent(QFocusEvent* event) {
    SkinEdit::focusOutEvent(event);
    const int value = GetValue();
    if (minValue_ != highValue_ && (value < minValue_ || value > highValue_))
        SetValue(value);
}

void SkinSpinEdit::resizeEvent(QResizeEvent* event) {
    SkinEdit::resizeEvent(event);
    QWidget* pair = upButton_->parentWidget();
    const int h = std::max(0, height() - 4);
    // The pair sits inside the 2-pixel frame at the right edge.
    pair->setGeometry(width() - kPairWidth - 2, 2, kPairWidth, h);
    const int upHeight = h / 2 + 1;
    upButton_->setGeometry(0, 0, kPairWidth, upHeight);
    downButton_->setGeometry(0, upHeight - 1, kPairWidth, std::max(0, h - upHeight + 1));
}
