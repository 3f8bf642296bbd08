#include "skin/SkinComboBox.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>

#include "skin/Drawing.h"

SkinComboBox::SkinComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(8);
    SetUIStyle(uiStyle_);
    connect(this, &QComboBox::activated, this, [this](int) {
        if (OnChange)
            OnChange(this);
        if (OnSelect)
            OnSelect(this);
    });
}

void SkinComboBox::AddItem(const QString& text) {
    // The toolkit selects the first item put into an empty list; the program's lists start
    // with no selection.
    const int before = currentIndex();
    const QSignalBlocker blocker(this);
    addItem(text);
    if (currentIndex() != before)
        setCurrentIndex(before);
}

void SkinComboBox::Clear() {
    const QSignalBlocker blocker(this);
    clear();
}

void SkinComboBox::SetItemIndex(int index) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
    update();
}

QString SkinComboBox::Text() const {
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void SkinComboBox::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    const UIStyle look = EffectiveLook(style);
    borderColor_ = GetInsideThemeColor(look, LookEntry::BorderColor).value_or(QColor(Qt::black));
    buttonColor_ =
        GetInsideThemeColor(look, LookEntry::ComboButtonFace).value_or(QColor(232, 232, 232));
    arrowColor_ = Qt::black;
    update();
}

void SkinComboBox::SetBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void SkinComboBox::SetButtonColor(const QColor& color) {
    buttonColor_ = color;
    update();
}

void SkinComboBox::SetArrowColor(const QColor& color) {
    arrowColor_ = color;
    update();
}

void SkinComboBox::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);

    QStyleOptionComboBox option;
    initStyleOption(&option);
    QRect button =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    const QRect client = rect();
    // The button sits at the right edge inside the border.
    button =
        QRect(button.left(), client.top() + 1, client.right() - button.left(), client.height() - 2);

    QPainter painter(this);
    // The keyboard focus shows as a frame two pixels wide in the highlight colour.
    const bool focused = hasFocus();
    painter.setPen(focused ? FocusRingColor() : borderColor_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(client.adjusted(0, 0, -1, -1));
    painter.setPen(focused ? FocusRingColor() : palette().color(QPalette::Base));
    painter.drawRect(client.adjusted(1, 1, -2, -2));

    const UIStyle look = EffectiveLook(uiStyle_);
    QImage picture;
    if (look == UIStyle::MacOS)
        picture = LoadLookResource(QStringLiteral("MACOS_COMBOBOX_BUTTON"));
    if (look == UIStyle::WinXP)
        picture = LoadLookResource(QStringLiteral("WINXP_COMBOBOX_BUTTON"));
    if (!picture.isNull()) {
        painter.drawImage(button, picture);
    } else {
        painter.fillRect(button, buttonColor_);
        painter.setPen(borderColor_);
        painter.drawLine(button.left(), button.top() - 1, button.left(), button.bottom() + 1);
    }
    if (look != UIStyle::WinXP || picture.isNull()) {
        const int x = button.left() + button.width() / 2 - 3;
        const int y = button.top() + button.height() / 2 - 1;
        const auto triangle = [&painter](int ax, int ay, const QColor& color) {
            const QPoint points[3] = {{ax, ay}, {ax + 6, ay}, {ax + 3, ay + 3}};
            painter.setPen(color);
            painter.setBrush(color);
            painter.drawPolygon(points, 3);
        };
        if (isEnabled()) {
            triangle(x, y, arrowColor_);
        } else {
            triangle(x + 1, y + 1, Qt::white);
            triangle(x, y, QColor(128, 128, 128));
        }
    }
}

void SkinComboBox::showPopup() {
    if (OnDropDown)
        OnDropDown(this);
    QComboBox::showPopup();
    if (QWidget* popup = view() ? view()->window() : nullptr; popup && popup != window()) {
        popup->removeEventFilter(this);
        popup->installEventFilter(this);
        popup->update();
    }
}

void SkinComboBox::hidePopup() {
    QComboBox::hidePopup();
    if (QWidget* parent = parentWidget())
        parent->update();
}

bool SkinComboBox::eventFilter(QObject* watched, QEvent* event) {
    // The open list is framed in the border colour.
    if (event->type() == QEvent::Paint) {
        auto* popup = qobject_cast<QWidget*>(watched);
        if (popup) {
            popup->removeEventFilter(this);
            QCoreApplication::sendEvent(popup, event);
            popup->installEventFilter(this);
            QPainter painter(popup);
            painter.setPen(borderColor_);
            painter.drawRect(popup->rect().adjusted(0, 0, -1, -1));
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
