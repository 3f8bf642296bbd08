// The converter window's media list: adding, removing and selecting source files, their stills
// and their target names. An add has the engine probe the file and write its still, then makes a
// row from the probe (media/MediaRows.h). Add's dialog, files dropped on the window and the files
// named on the command line all go through AddMediaFiles: one add per file, then one message for
// the files it refused.
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMetaObject>
#include <QMimeData>

#include "converter/Txconverter.h"
#include "media/MediaRows.h"
#include "media/SourceFiles.h"
#include "media/Thumbnails.h"
#include "media/package/ListImagePanel.h"
#include "platform/ByteNames.h"
#include "platform/DataFolders.h"
#include "platform/Dialogs.h"
#include "platform/EngineApi.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Handler.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "profiles/ProfileDatabase.h"
#include "skin/Artwork.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"

namespace {

// Where Add's dialog opens: the folder of the last added file, kept in the profile database.
const QString kMainSettings = QStringLiteral("MainSettings");
const QString kLastAddFolder = QStringLiteral("LastAddFolder");
// Whether a row converts only its marked range: "Off" off, anything else (and nothing) on, so
// the marks the user sets are what converts unless the switch was turned off. ("0" cannot say
// off: the catalog reads a stored "0" as nothing stored.)
const QString kConvertMarkedRange = QStringLiteral("ConvertMarkedRange");
// How many rows a job converts side by side: "1" to "4", anything else 1.
const QString kFilesAtOnce = QStringLiteral("FilesConvertedAtOnce");

QString AddDialogFolder() {
    const QString folder = ReadProfileValue(kMainSettings, kLastAddFolder, QString());
    return platform::DirectoryExists(folder) ? folder : platform::InitialOpenFolder();
}

void RememberAddFolder(const QString& addedPath) {
    const QString folder = platform::WithTrailingSeparator(
        QDir::toNativeSeparators(QFileInfo(addedPath).absolutePath()));
    if (ReadProfileValue(kMainSettings, kLastAddFolder, QString()) == folder)
        return;
    try {
        WriteProfileValue(kMainSettings, kLastAddFolder, folder);
    } catch (const EWriteError&) {
        // A database that cannot be written keeps the dialog's start folder as it was; the
        // files themselves are added.
    }
}

QStringList DroppedPaths(const QMimeData* data) {
    return data && data->hasUrls() ? LocalPaths(data->urls()) : QStringList();
}

}  // namespace

QString Txconverter::TargetExtension(DeviceType device, int outputFileTypeIndex) {
    const DeviceInfo* info = FindDevice(device);
    return info ? info->TargetExtension(outputFileTypeIndex) : QStringLiteral(".MP4");
}

void Txconverter::FileAddClick(QObject*) {
    QStringList chosen = platform::dialogs().OpenFiles(this, QStringLiteral("Select Media File(s)"),
                                                       AddDialogFolder(), MediaFileFilters());
    chosen.removeAll(QString());
    if (chosen.isEmpty())
        return;
    AddMediaFiles(chosen);
}

void Txconverter::AddFolderClick() {
    const std::optional<QString> folder = platform::dialogs().BrowseForFolder(
        this, QStringLiteral("Select a folder of media files to add."), 0, AddDialogFolder());
    if (!folder)
        return;
    if (folder->isEmpty()) {
        platform::ShowMessage(this, QStringLiteral("Please choose a folder on this computer."),
                              QStringLiteral("Notice"));
        return;
    }
    AddMediaFiles({*folder});
}

void Txconverter::OpenOutputFolderClick() {
    const QString folder = !JobOutputFolder.isEmpty() && platform::DirectoryExists(JobOutputFolder)
                               ? JobOutputFolder
                               : OutputFolder->Text().trimmed();
    if (folder.isEmpty() || !platform::DirectoryExists(folder)) {
        platform::ShowMessage(
            this, QStringLiteral("The output folder %1 does not exist yet.").arg(folder),
            QStringLiteral("Notice"));
        return;
    }
    platform::ShellOpen(folder);
}

void Txconverter::AddMediaFiles(const QStringList& sources) {
    if (JobRunning()) {
        platform::ShowMessage(this,
                              QStringLiteral("Files cannot be added while a conversion runs."),
                              QStringLiteral("Notice"));
        return;
    }
    QList<RefusedFile> refused;
    const QStringList paths = ExpandSources(sources, refused);
    QString lastAdded;
    for (const QString& path : paths) {
        const AddRefusal why = AddMediaFile(path);
        if (why == AddRefusal::None) {
            lastAdded = path;
        } else {
            refused.append({path, why, ThumbnailFolder(platform::StillsParentFolder())});
        }
    }
    if (!lastAdded.isEmpty())
        RememberAddFolder(lastAdded);
    if (!refused.isEmpty()) {
        platform::ShowMessage(this, RefusalMessage(refused, int(sources.size())),
                              QStringLiteral("Notice"));
    }
}

AddRefusal Txconverter::AddMediaFile(const QString& path) {
    // The same path is refused; letter case counts, so another spelling is a new row.
    for (const MediaRow* listed : ListImagePanel->Rows()) {
        if (listed->SourcePath == path)
            return AddRefusal::AlreadyListed;
    }

    // A file without read permission is refused before the probe, also for the administrator
    // whom the system would let read it; so are folders, pipes and devices, never waited on.
    if (const AddRefusal early = SourceRefusal(path);
        early != AddRefusal::None && early != AddRefusal::Missing)
        return early;
    if (Engine().GetFileinfo(platform::PathBytes(path).constData(), &FileInfo) != 0)
        return ProbeRefusal(path);
    const QString picturePath = CaptureThumbnail(path);
    const QString target = NewRowTargetName(path);
    TItemPanel* row = ListImagePanel->AddItem(picturePath);
    if (!row) {
        return platform::FolderTakesNewFiles(ThumbnailFolder(platform::StillsParentFolder()))
                   ? AddRefusal::NoStill
                   : AddRefusal::NoStillFolder;
    }

    KivoProbe shown{};
    Engine().Probe(path.toUtf8().constData(), &shown);
    static_cast<MediaRow&>(*row) = ProbedRow(path, row->PicturePath, FileInfo, shown);
    row->TargetName = target;
    row->RefreshText();
    ShowListHint();

    DrawTrimRange(nullptr);
    ShowPlayState();  // the readout shows the selected row's length
    return AddRefusal::None;
}

void Txconverter::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void Txconverter::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedPaths(event->mimeData()).isEmpty()) {
        event->ignore();
    } else {
        event->acceptProposedAction();
    }
}

void Txconverter::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The files are added once the drop has ended, so that a message about them never holds
    // the file manager the files came from.
    QMetaObject::invokeMethod(this, platform::Guarded([this, paths] { AddMediaFiles(paths); }),
                              Qt::QueuedConnection);
}

void Txconverter::FileRemoveClick(QObject*) {
    ListImagePanel->RemoveItem();
    ClosePreview();
    ShowListHint();
}

void Txconverter::ShowListHint() {
    const bool empty = ListImagePanel->ItemCount == 0;
    if (ListImagePanel->property("hint").isValid() &&
        ListImagePanel->property("hint").toBool() == empty)
        return;
    ListImagePanel->SetPicture(Artwork::ListWatermark(ListImagePanel->size(), empty));
    ListImagePanel->setProperty("hint", empty);
}

void Txconverter::ListImagePanelClick(QObject*) {
    ClosePreview();
    DrawTrimRange(nullptr);
}

// A position outside the list changes nothing.
void Txconverter::UpdateItem(int position, const QString& targetName, int start, int end) {
    if (position < 0 || position > ListImagePanel->ItemCount - 1)
        return;
    TItemPanel* row = ListImagePanel->GetItem(unsigned(position));
    UpdateRow(*row, targetName, start, end);
    row->RefreshText();
}

// Returns the still's path whether or not the engine managed to write it; the add checks that
// a file is there.
QString Txconverter::CaptureThumbnail(const QString& sourcePath) {
    const QString folder = ThumbnailFolder(platform::StillsParentFolder());
    // Beside the executable this makes one level; the user's cache folder may be new as well.
    if (!platform::DirectoryExists(folder))
        QDir().mkpath(folder);
    const QString stillPath = folder + StillFileName(sourcePath);
    Engine().GetPicure(platform::PathBytes(sourcePath).constData(), StillSeconds, StillSize,
                       platform::PathBytes(stillPath).constData());
    return stillPath;
}

QString Txconverter::NewRowTargetName(const QString& sourcePath) {
    return TargetForNewRow(sourcePath,
                           TargetExtension(CurrentDevice, combox_outfiletype->ItemIndex()),
                           ListImagePanel->Rows());
}

void Txconverter::RefreshTargetNames() {
    const QStringList names = TargetsForRows(
        ListImagePanel->Rows(), TargetExtension(CurrentDevice, combox_outfiletype->ItemIndex()));
    for (int i = 0; i < ListImagePanel->ItemCount; ++i) {
        TItemPanel* row = ListImagePanel->GetItem(unsigned(i));
        if (row->TargetName != names[i]) {
            row->TargetName = names[i];
            row->RefreshText();
        }
    }
}

void Txconverter::ListImagePanelContextMenu(const QPoint& position) {
    ListMenu->popup(ListImagePanel->mapToGlobal(position));
}

void Txconverter::ConvertMarkedRangeClick(bool checked) {
    WriteProfileValue(kMainSettings, kConvertMarkedRange,
                      checked ? QStringLiteral("1") : QStringLiteral("Off"));
}

void Txconverter::LoadConvertMarkedRange() {
    ConvertMarkedRange->setChecked(ReadProfileValue(kMainSettings, kConvertMarkedRange,
                                                    QStringLiteral("1")) != QStringLiteral("Off"));
}

void Txconverter::FilesAtOnceClick(int count) {
    WriteProfileValue(kMainSettings, kFilesAtOnce, QString::number(count));
    for (size_t i = 0; i < FilesAtOnceChoices.size(); ++i)
        FilesAtOnceChoices[i]->setChecked(int(i) + 1 == count);
}

void Txconverter::LoadFilesAtOnce() {
    bool number = false;
    int count = ReadProfileValue(kMainSettings, kFilesAtOnce, QStringLiteral("1")).toInt(&number);
    if (!number || count < 1 || count > int(FilesAtOnceChoices.size()))
        count = 1;
    for (size_t i = 0; i < FilesAtOnceChoices.size(); ++i)
        FilesAtOnceChoices[i]->setChecked(int(i) + 1 == count);
}

int Txconverter::FilesAtOnce() const {
    for (size_t i = 0; i < FilesAtOnceChoices.size(); ++i) {
        if (FilesAtOnceChoices[i]->isChecked())
            return int(i) + 1;
    }
    return 1;
}
