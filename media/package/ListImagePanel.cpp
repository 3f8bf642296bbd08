#include "media/package/ListImagePanel.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "media/core/MediaRows.h"
#include "platform/JpegImage.h"
#include "platform/core/Errors.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "skin/Drawing.h"
#include "skin/SkinScrollBar.h"

namespace {

// Rows are 66 high on a pitch of 71, leaving 5 pixels between neighbours.
constexpr int RowPitch = 71;
constexpr int RowHeight = 66;
// Subtracted from the content height beyond the list's own height for the scroll range.
constexpr int ScrollSlack = 44;
constexpr int PictureInset = 4;
constexpr int ThumbnailExtraWidth = 30;
constexpr int TextGap = 22;
constexpr int TextTop = 3;

const QColor FrameColor(0, 0, 0);
const QColor HotFrameColor(255, 0, 0);
const QColor RowColor(255, 255, 255);
const QColor FailedTextColor(192, 0, 0);

// The panel that carries the rows grows to 71 pixels per row, far beyond the visible list, and
// shows only the list's background between the rows. It composes just the exposed part, so a
// paint costs the same for 3 rows as for 300.
class ContentArea : public ImagePanel {
public:
    // Growing by a row only exposes the new strip at the bottom: what is already drawn stays.
    explicit ContentArea(QWidget* parent) : ImagePanel(parent) {
        setAttribute(Qt::WA_StaticContents);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        const QRect exposed = event->rect();
        if (exposed.isEmpty())
            return;
        QImage buffer(exposed.size(), QImage::Format_ARGB32_Premultiplied);
        buffer.fill(Transparent() ? QColor(Qt::transparent) : Color());
        if (Transparent()) {
            QPainter painter(&buffer);
            painter.translate(-exposed.topLeft());
            DoTrans(painter, this);
        }
        QPainter(this).drawImage(exposed.topLeft(), buffer);
    }
};

// A dotted rectangle over the selected row that shows the list has the keyboard focus; presses
// go through to the row below.
class FocusMark : public QWidget {
public:
    explicit FocusMark(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QPen pen(QColor(0, 0, 0));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QString BackBlankFile() {
    return platform::ExeFolder() + QStringLiteral("backblank.bmp");
}

// A picture file decoded in full, or nothing when it is missing or undecodable.
std::optional<QImage> DecodePicture(const QString& path) {
    if (!platform::FileExists(path))
        return std::nullopt;
    try {
        return platform::LoadPicture(path);
    } catch (const QorError&) {
        return std::nullopt;
    }
}

void ShowSelected(TItemPanel* row, bool selected) {
    row->InnerPanel->SetColor(selected ? SelectedRowColor() : RowColor);
    if (row->BackBlank)
        row->BackBlank->setVisible(!selected);
}

// The list a row belongs to: the row's parent is ContentPanel, whose parent is the list.
TListImagePanel* ListOf(TItemPanel* row) {
    QWidget* content = row->parentWidget();
    return content ? qobject_cast<TListImagePanel*>(content->parentWidget()) : nullptr;
}

}  // namespace

QColor SelectedRowColor() {
    return QGuiApplication::palette().color(QPalette::Highlight);
}

// ---- TItemPanel ----

TItemPanel::TItemPanel(QWidget* owner) : ImagePanel(owner), BackBlankPath(BackBlankFile()) {}

TItemPanel::~TItemPanel() {
    delete TextLabel;
    TextLabel = nullptr;
    delete Thumbnail;
    Thumbnail = nullptr;
    delete BackBlank;
    BackBlank = nullptr;
    delete InnerPanel;
    InnerPanel = nullptr;
}

void TItemPanel::RefreshText() {
    if (!TextLabel)
        return;
    const QString text = RowText(*this);
    TextLabel->setText(text);
    TextLabel->setFont(QFont());  // the row's own font again
    TextLabel->adjustSize();
    // Five lines (the outcome of the last conversion under the four) do not fit the row in its
    // font: they get a slightly smaller one, so the last line is not cut off at the bottom.
    if (InnerPanel) {
        QFont font = TextLabel->font();
        while (TextLabel->y() + TextLabel->height() > InnerPanel->height() &&
               font.pointSizeF() > 6.0) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
            TextLabel->setFont(font);
            TextLabel->adjustSize();
        }
    }
    // A text the row cuts off is shown whole as the row's tooltip.
    const bool cut = InnerPanel && (TextLabel->x() + TextLabel->width() > InnerPanel->width() ||
                                    TextLabel->y() + TextLabel->height() > InnerPanel->height());
    for (QWidget* part : {static_cast<QWidget*>(InnerPanel), static_cast<QWidget*>(Thumbnail),
                          static_cast<QWidget*>(BackBlank)}) {
        if (part)
            part->setToolTip(cut ? text : QString());
    }
}

void TItemPanel::SetOutcomeMark(const QString& text, bool failed) {
    OutcomeMark = text;
    OutcomeFailed = failed && !text.isEmpty();
    if (TextLabel) {
        // An empty palette inherits the window's again.
        QPalette palette;
        if (OutcomeFailed)
            palette.setColor(QPalette::WindowText, FailedTextColor);
        TextLabel->setPalette(palette);
    }
    RefreshText();
}

void TItemPanel::ItemMouseDown(QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
    if (button != Qt::LeftButton)
        return;
    TListImagePanel* list = ListOf(this);
    if (list && list->isEnabled())
        list->setFocus(Qt::MouseFocusReason);
    if (!list || list->CurrentItem == this)
        return;
    list->MakeCurrent(this);
    list->CurSelIndex = Index;
    if (list->OnClick)
        list->OnClick(list->ContentPanel);
}

void TItemPanel::ItemMouseMove(QObject*, Qt::KeyboardModifiers, int, int) {
    TListImagePanel* list = ListOf(this);
    if (!list || list->HotItem == this)
        return;
    if (list->HotItem)
        list->HotItem->SetColor(FrameColor);
    SetColor(HotFrameColor);
    list->HotItem = this;
}

// ---- TListImagePanel ----

TListImagePanel::TListImagePanel(QWidget* owner) : ImagePanel(owner) {
    ContentPanel = new ContentArea(this);
    ContentPanel->SetColor(RowColor);
    ContentPanel->SetTransparent(true);

    ListScrollBar = new SkinScrollBar(this);
    ListScrollBar->SetUIStyle(UIStyle::MacOS);
    ListScrollBar->SetOrientation(Qt::Vertical);
    ListScrollBar->SetMin(0);
    ListScrollBar->SetHigh(100);
    ListScrollBar->OnChange = [this](QObject* sender) { ListScrollBarChange(sender); };
    ListScrollBar->SetPageSize(10);
    // A click on an arrow moves the list by one row.
    ListScrollBar->SetSmallChange(RowPitch);
    ListScrollBar->installEventFilter(this);
    ListScrollBar->show();

    ItemCount = 0;
    CurrentItem = nullptr;
    setFocusPolicy(Qt::StrongFocus);
    PlaceParts();
}

TListImagePanel::~TListImagePanel() {
    ListScrollBar->removeEventFilter(this);
}

// The scroll bar keeps its own width along the right edge; ContentPanel fills the rest while
// it is still aligned.
void TListImagePanel::PlaceParts() {
    const int barWidth = ListScrollBar->width();
    const QRect bar(width() - barWidth, 0, barWidth, height());
    if (ListScrollBar->geometry() != bar)
        ListScrollBar->setGeometry(bar);
    if (contentAligned_) {
        ContentPanel->setGeometry(0, 0, std::max(0, width() - ListScrollBar->width()), height());
    }
}

void TListImagePanel::resizeEvent(QResizeEvent* event) {
    ImagePanel::resizeEvent(event);
    PlaceParts();
}

bool TListImagePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListScrollBar && event->type() == QEvent::Resize)
        PlaceParts();
    return ImagePanel::eventFilter(watched, event);
}

void TListImagePanel::UpdateContentHeight() {
    const int n = int(m_ListItemPanel.size());
    ContentPanel->resize(ContentPanel->width(), RowPitch * n + RowPitch);
    ListScrollBar->SetHigh(ContentPanel->height() - height() - ScrollSlack);
}

void TListImagePanel::MakeCurrent(TItemPanel* row) {
    if (CurrentItem)
        ShowSelected(CurrentItem, false);
    ShowSelected(row, true);
    CurrentItem = row;
    UpdateFocusMark();
}

// Both pictures are decoded before anything is created, so a still that exists but cannot be
// decoded leaves the list exactly as it was. A background that cannot be decoded counts as
// missing.
TItemPanel* TListImagePanel::AddItem(const QString& picturePath) {
    if (!platform::FileExists(picturePath))
        return nullptr;
    const std::optional<QImage> still = DecodePicture(picturePath);
    if (!still)
        return nullptr;
    const std::optional<QImage> background = Background();

    // A list that has not been shown yet has had no resize event: place the parts for its
    // current size before ContentPanel stops following it.
    PlaceParts();
    auto* row = new TItemPanel(ContentPanel);
    m_ListItemPanel.push_back(row);
    contentAligned_ = false;
    const int n = int(m_ListItemPanel.size());
    row->setGeometry(0, RowPitch * (n - 1), ContentPanel->width(), RowHeight);
    UpdateContentHeight();

    row->SetColor(FrameColor);
    row->show();

    const auto mouseDown = [row](QObject* sender, Qt::MouseButton button,
                                 Qt::KeyboardModifiers shift, int x,
                                 int y) { row->ItemMouseDown(sender, button, shift, x, y); };
    const auto mouseMove = [row](QObject* sender, Qt::KeyboardModifiers shift, int x, int y) {
        row->ItemMouseMove(sender, shift, x, y);
    };
    const auto bindMouse = [&](ImagePanel* part) {
        part->OnMouseDown = mouseDown;
        part->OnMouseMove = mouseMove;
        part->setMouseTracking(true);
    };

    row->InnerPanel = new ImagePanel(row);
    row->InnerPanel->SetColor(RowColor);
    row->InnerPanel->SetBorderWidth(0);
    row->InnerPanel->setGeometry(1, 1, row->width() - 2, row->height() - 2);
    bindMouse(row->InnerPanel);
    row->InnerPanel->show();

    if (background) {
        row->BackBlank = new ImagePanel(row->InnerPanel);
        row->BackBlank->SetDrawStyle(DrawStyle::Stretch);
        row->BackBlank->setGeometry(PictureInset, PictureInset, background->width(),
                                    background->height());
        bindMouse(row->BackBlank);
        row->BackBlank->SetPicture(*background);
        row->BackBlank->show();
    }

    row->Thumbnail = new ImagePanel(row->InnerPanel);
    row->Thumbnail->SetDrawStyle(DrawStyle::Stretch);
    const int thumbHeight = row->InnerPanel->height() - 2 * PictureInset;
    row->Thumbnail->setGeometry(PictureInset, PictureInset, thumbHeight + ThumbnailExtraWidth,
                                thumbHeight);
    bindMouse(row->Thumbnail);
    row->Thumbnail->show();

    // The label lets presses and moves through to the inner panel below it, which carries the
    // row's handlers; its text is shown as plain text whatever the path holds.
    row->TextLabel = new QLabel(row->InnerPanel);
    row->TextLabel->setTextFormat(Qt::PlainText);
    row->TextLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->TextLabel->move(row->Thumbnail->width() + TextGap, TextTop);
    row->TextLabel->show();

    row->PicturePath = picturePath;
    row->Thumbnail->SetPicture(*still);
    row->Thumbnail->raise();

    if (ItemCount == 0) {
        row->SetColor(FrameColor);
        ShowSelected(row, true);
        CurrentItem = row;
        HotItem = row;
        CurSelIndex = 0;
    }
    row->Index = ItemCount;
    ++ItemCount;
    return row;
}

// Every row shows the same background file: it is decoded once and shared by the rows for as
// long as the file stays the same.
std::optional<QImage> TListImagePanel::Background() {
    const QString path = BackBlankFile();
    const QFileInfo file(path);
    const QString key = file.exists() ? path + '|' + QString::number(file.size()) + '|' +
                                            file.lastModified().toString(Qt::ISODateWithMs)
                                      : QString();
    if (key != backgroundKey_) {
        backgroundKey_ = key;
        background_ = key.isEmpty() ? std::nullopt : DecodePicture(path);
    }
    return background_;
}

void TListImagePanel::RemoveItem() {
    if (!CurrentItem || m_ListItemPanel.empty())
        return;
    const int i = CurrentItem->Index;
    TItemPanel* removed = m_ListItemPanel[i];
    m_ListItemPanel.erase(m_ListItemPanel.begin() + i);
    CurrentItem = nullptr;
    if (HotItem == removed)
        HotItem = nullptr;
    delete removed;
    --ItemCount;
    ReSortItems();

    const int n = int(m_ListItemPanel.size());
    const int next = n > i ? i : n > 0 ? i - 1 : -1;
    if (next < 0) {
        CurrentItem = nullptr;
        HotItem = nullptr;
        CurSelIndex = -1;
        return;
    }
    TItemPanel* row = m_ListItemPanel[next];
    ShowSelected(row, true);
    CurrentItem = row;
    HotItem = row;
    CurSelIndex = next;
    UpdateFocusMark();
}

void TListImagePanel::ReSortItems() {
    for (size_t i = 0; i < m_ListItemPanel.size(); ++i) {
        TItemPanel* row = m_ListItemPanel[i];
        row->move(row->x(), RowPitch * int(i));
        row->Index = int(i);
    }
    UpdateContentHeight();
}

void TListImagePanel::SelectItem(int index) {
    if (index < 0 || index >= int(m_ListItemPanel.size()))
        return;
    TItemPanel* row = m_ListItemPanel[index];
    if (row == CurrentItem)
        return;
    MakeCurrent(row);
    CurSelIndex = index;
}

// Every caller checks the bound first; a position beyond it is a programming error that ends
// the program with the assertion report.
TItemPanel* TListImagePanel::GetItem(unsigned iPos) {
    if (iPos >= m_ListItemPanel.size()) {
        std::fputs("Assertion failed: iPos<m_ListItemPanel.size(), file ListImagePanel, line 418\n",
                   stderr);
        std::fflush(stderr);
        std::abort();
    }
    return m_ListItemPanel[iPos];
}

// With no selected row (an empty list) it returns nullptr and leaves CurSelIndex alone.
TItemPanel* TListImagePanel::GetCurSel() {
    if (!CurrentItem)
        return nullptr;
    CurSelIndex = CurrentItem->Index;
    return CurrentItem;
}

QList<const MediaRow*> TListImagePanel::Rows() const {
    return QList<const MediaRow*>(m_ListItemPanel.begin(), m_ListItemPanel.end());
}

void TListImagePanel::ListScrollBarChange(QObject*) {
    contentAligned_ = false;
    ContentPanel->move(ContentPanel->x(), -ListScrollBar->Position());
}

void TListImagePanel::ClickItem(int index) {
    if (index < 0 || index >= int(m_ListItemPanel.size()))
        return;
    TItemPanel* row = m_ListItemPanel[index];
    ScrollIntoView(row);
    if (row == CurrentItem)
        return;
    MakeCurrent(row);
    CurSelIndex = index;
    if (OnClick)
        OnClick(ContentPanel);
}

void TListImagePanel::ScrollRows(int steps) {
    const long long target = (long long)ListScrollBar->Position() + (long long)steps * RowPitch;
    ListScrollBar->SetPosition(
        int(std::clamp<long long>(target, 0, std::max(0, ListScrollBar->High()))));
}

// The row's top and bottom edges both come into the visible part of the list.
void TListImagePanel::ScrollIntoView(TItemPanel* row) {
    const int position = ListScrollBar->Position();
    const int top = row->y(), bottom = row->y() + row->height();
    int wanted = position;
    if (top < position)
        wanted = top;
    else if (bottom > position + height())
        wanted = bottom - height();
    wanted = std::clamp(wanted, 0, std::max(0, ListScrollBar->High()));
    if (wanted != position)
        ListScrollBar->SetPosition(wanted);
}

void TListImagePanel::keyPressEvent(QKeyEvent* event) {
    const int last = int(m_ListItemPanel.size()) - 1;
    const int current = CurrentItem ? CurrentItem->Index : -1;
    switch (event->key()) {
        case Qt::Key_Up:
            ClickItem(std::max(0, current - 1));
            break;
        case Qt::Key_Down:
            ClickItem(std::min(last, current + 1));
            break;
        case Qt::Key_Home:
            ClickItem(0);
            break;
        case Qt::Key_End:
            ClickItem(last);
            break;
        case Qt::Key_Delete:
            if (CurrentItem && OnDeleteKey)
                OnDeleteKey(this);
            break;
        default:
            ImagePanel::keyPressEvent(event);
            return;
    }
    event->accept();
}

void TListImagePanel::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        ScrollRows(-notches);  // turning the wheel away from the user moves up the list
    event->accept();
}

void TListImagePanel::focusInEvent(QFocusEvent* event) {
    ImagePanel::focusInEvent(event);
    UpdateFocusMark();
}

void TListImagePanel::focusOutEvent(QFocusEvent* event) {
    ImagePanel::focusOutEvent(event);
    UpdateFocusMark();
}

void TListImagePanel::UpdateFocusMark() {
    if (!hasFocus() || !CurrentItem || !CurrentItem->InnerPanel) {
        if (focusMark_)
            focusMark_->hide();
        return;
    }
    QWidget* inner = CurrentItem->InnerPanel;
    if (!focusMark_)
        focusMark_ = new FocusMark(inner);
    else if (focusMark_->parentWidget() != inner)
        focusMark_->setParent(inner);
    focusMark_->setGeometry(inner->rect().adjusted(1, 1, -1, -1));
    focusMark_->raise();
    focusMark_->show();
}
