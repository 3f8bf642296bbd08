// Adding, removing and selecting source files in the converter window's media list. An add has
// the engine probe the file and write its still, then makes a row and fills in the job fields.
#include <QList>

#include "converter/EngineApi.h"
#include "converter/Txconverter.h"
#include "media/MediaText.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"

namespace {

QList<platform::FileFilter> MediaFileFilters() {
    return {
        {QStringLiteral(
             "Media Files "
             "(*.mpg;*.avi;*.wmv;*.asf;*.divx;*.xvid;*.swf;*.mov;*.vob;*.3gp;*.3g2;*.mp4)"),
         QStringLiteral(
             "*.mpg;*.avi;*.wmv;*.asf;*.divx;*.xvid;*.swf;*.mov;*.vob;*.mp4;*.3gp;*.3g2")},
        {QStringLiteral("All Files(*.*)"), QStringLiteral("*.*")},
    };
}

}  // namespace

void Txconverter::FileAddClick(QObject*) {
    const std::optional<QString> chosen =
        platform::dialogs().OpenFile(this, QStringLiteral("Select Media File(s)"),
                                     platform::InitialOpenFolder(), MediaFileFilters());
    if (!chosen || chosen->isEmpty())
        return;
    const QString path = *chosen;

    // The same path is refused; letter case counts, so another spelling is a new row.
    for (int i = 0; i < ListImagePanel->ItemCount; ++i) {
        if (ListImagePanel->GetItem(unsigned(i))->SourcePath == path) {
            platform::ShowMessage(this, QStringLiteral("Select media file already add in."),
                                  QStringLiteral("Notice"));
            return;
        }
    }

    // The probe's outcome is not examined: the row takes whatever the shared record holds.
    Engine().GetFileinfo(path.toUtf8().constData(), &FileInfo);
    const QString picturePath = CaptureThumbnail(path);
    TItemPanel* row = ListImagePanel->AddItem(picturePath);
    if (!row)
        return;

    row->SourcePath = path;
    row->InfoText = ProbeInfoText(FileInfo);
    row->Duration = FileInfo.duration;
    row->FrameRate = FileInfo.fps;
    row->AudioSampleRate = FileInfo.sampleRate;
    row->VideoStreams = 1;
    row->VideoHeight = FileInfo.height;
    row->VideoWidth = FileInfo.width;
    row->TargetName = NewRowTargetName(path);
    row->StartPoint = 0;
    row->EndPoint = FileInfo.duration;
    row->MarkStart = 0;
    row->MarkEnd = int(row->Duration);
    row->RefreshText();

    DrawTrimRange(nullptr);
}

void Txconverter::FileRemoveClick(QObject*) {
    ListImagePanel->RemoveItem();
    ClosePreview();
}

void Txconverter::ListImagePanelClick(QObject*) {
    ClosePreview();
    DrawTrimRange(nullptr);
}

// An empty target name or -1 for a point keeps the row's value; a position outside the list
// changes nothing.
void Txconverter::UpdateItem(int position, const QString& targetName, int start, int end) {
    if (position < 0 || position > ListImagePanel->ItemCount - 1)
        return;
    TItemPanel* row = ListImagePanel->GetItem(unsigned(position));
    row->TargetName = targetName.isEmpty() ? row->TargetName : targetName;
    row->StartPoint = start == -1 ? row->StartPoint : start;
    row->EndPoint = end == -1 ? row->EndPoint : end;
    row->RefreshText();
}
