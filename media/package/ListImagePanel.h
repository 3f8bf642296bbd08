// The media list: a scrolling list of rows, each showing the still of a source file and four
// lines of text. A row (TItemPanel) shows one MediaRow, the record of one conversion job item,
// and is that record, so the job plan and the target-name rule read a row without its widget.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <optional>
#include <vector>

#include "media/core/MediaRow.h"
#include "skin/ImagePanel.h"

class QLabel;
class SkinScrollBar;
class TListImagePanel;

// A row widget is the record it shows (MediaRow) with the parts that show it.
class TItemPanel : public ImagePanel, public MediaRow {
    Q_OBJECT
public:
    explicit TItemPanel(QWidget* owner);
    ~TItemPanel() override;

    // Rebuilds the row's text from its fields (RowText, media/core/MediaRows.h).
    void RefreshText();

    // How the row's last conversion ended, shown under the row's four lines until the next Run
    // ("failed: the source is damaged", "stopped: the first 00:22 kept"); a failed row's text is
    // red. An empty text takes the mark away.
    void SetOutcomeMark(const QString& text, bool failed);

    // Bound to every part of the row: a left press selects the row and tells the list's owner;
    // any move over the row makes it the hot row with the red frame.
    void ItemMouseDown(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                       int y);
    void ItemMouseMove(QObject* sender, Qt::KeyboardModifiers shift, int x, int y);

    QString BackBlankPath;
    int Index = 0;
    ImagePanel* Thumbnail = nullptr;
    ImagePanel* BackBlank = nullptr;
    QLabel* TextLabel = nullptr;
    ImagePanel* InnerPanel = nullptr;
};

// The inner colour of the selected row: the desktop's highlight colour.
QColor SelectedRowColor();

class TListImagePanel : public ImagePanel {
    Q_OBJECT
public:
    explicit TListImagePanel(QWidget* owner);
    ~TListImagePanel() override;

    // Makes a row showing the picture and appends it; nullptr (nothing changed) when the file
    // does not exist or cannot be decoded.
    TItemPanel* AddItem(const QString& picturePath);
    // Removes the selected row and selects its neighbour.
    void RemoveItem();
    void ReSortItems();
    // Selects a row without firing the click event.
    void SelectItem(int index);
    TItemPanel* GetItem(unsigned iPos);
    TItemPanel* GetCurSel();
    // The records of the rows, in list order.
    QList<const MediaRow*> Rows() const;
    // Selects a row as a click on it does (the owner hears OnClick when the selection moves)
    // and scrolls the list so that the row is in view.
    void ClickItem(int index);
    // Scrolls by whole rows: positive steps move down the list.
    void ScrollRows(int steps);

    // The Delete key on the list: the owner removes the selected row as its Remove does.
    NotifyEvent OnDeleteKey;

    ImagePanel* ContentPanel = nullptr;
    TItemPanel* CurrentItem = nullptr;
    TItemPanel* HotItem = nullptr;
    std::vector<TItemPanel*> m_ListItemPanel;
    SkinScrollBar* ListScrollBar = nullptr;
    int ItemCount = 0;
    int CurSelIndex = 0;

    void ListScrollBarChange(QObject* sender);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Up and Down move the selection by a row, Home and End to the first and last row,
    // Delete asks the owner to remove the selected row.
    void keyPressEvent(QKeyEvent* event) override;
    // One row per notch of the wheel.
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TItemPanel;
    void PlaceParts();
    void UpdateContentHeight();
    void MakeCurrent(TItemPanel* row);
    void ScrollIntoView(TItemPanel* row);
    // The dotted focus mark around the selected row while the list has the keyboard focus.
    void UpdateFocusMark();
    std::optional<QImage> Background();

    // ContentPanel fills the list beside the scroll bar until the first row is added or the
    // list is scrolled; from then on it keeps its place and width.
    bool contentAligned_ = true;
    QString backgroundKey_;
    std::optional<QImage> background_;
    QPointer<QWidget> focusMark_;
    int wheelRemainder_ = 0;  // wheel turns of less than a notch, kept for the next event
};
