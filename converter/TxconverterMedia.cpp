// The converter window's media list: adding, removing and selecting source files, their stills
// and their target names. An add has the engine probe each file and write its still on the add's
// worker (converter/core/FileAdder.h), and makes each row from the probe (media/core/MediaRows.h)
// on the window's thread as the results come back, in the order added. Add's dialog, files dropped
// on the window and the files named on the command line all go through AddMediaFiles: one add per
// file, then one message for the files it refused.
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMetaObject>
#include <QMimeData>
#include <deque>
#include <set>

#include "converter/Txconverter.h"
#include "converter/core/FileAdder.h"
#include "media/core/MediaRows.h"
#include "media/core/SourceFiles.h"
#include "media/core/Thumbnails.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/Handler.h"
#include "platform/Shell.h"
#include "platform/core/DataFolders.h"
#include "platform/core/EngineApi.h"
#include "platform/core/Errors.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/Artwork.h"
#include "skin/ImageButton.h"
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

// The adds in progress: the worker, and for each call of AddMediaFiles the files it still waits
// for and those it refused, for its one message. Results come back in the order added, so the
// batches end in order too.
class MediaAdds {
public:
    explicit MediaAdds(Txconverter* window)
        : adder([window](ProbedFile probed) {
              // The window outlives the worker: its end waits for it (~Txconverter).
              QMetaObject::invokeMethod(
                  window, platform::Guarded([window, probed] { window->MediaFileProbed(probed); }),
                  Qt::QueuedConnection);
          }) {}

    struct Batch {
        std::uint64_t number = 0;
        int sources = 0;  // as many paths as the add was given, for its message
        int waiting = 0;  // files given to the worker whose row has not come yet
        // The refusals in the order of the paths, the folders' first; a file still on its way
        // has an empty place.
        QList<RefusedFile> refused;
        std::deque<int> places;  // each file given to the worker: its place in `refused`
        QString lastAdded;
    };

    // Whether `path` is listed or on its way to the list.
    bool Listed(const QString& path, const TListImagePanel& list) const {
        if (coming.count(path))
            return true;
        for (const MediaRow* listed : list.Rows()) {
            if (listed->SourcePath == path)
                return true;
        }
        return false;
    }

    FileAdder adder;
    std::deque<Batch> batches;  // oldest first
    std::multiset<QString> coming;
    std::uint64_t lastBatch = 0;
};

bool Txconverter::AddsPending() const {
    return Adds && !Adds->batches.empty();
}

void Txconverter::CancelAdds() {
    if (!Adds)
        return;
    Adds->adder.Cancel();
    // What the worker still delivers belongs to no batch any more and is dropped.
    Adds->batches.clear();
    Adds->coming.clear();
    RunAfterAdds = false;
}

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
    if (!Adds)
        Adds = std::make_shared<MediaAdds>(this);
    MediaAdds::Batch batch;
    batch.number = ++Adds->lastBatch;
    batch.sources = int(sources.size());
    const QStringList paths = ExpandSources(sources, batch.refused);
    QStringList toProbe;
    for (const QString& path : paths) {
        // The same path is refused; letter case counts, so another spelling is a new row.
        if (Adds->Listed(path, *ListImagePanel)) {
            batch.refused.append({path, AddRefusal::AlreadyListed, QString()});
            continue;
        }
        Adds->coming.insert(path);
        toProbe.append(path);
        batch.places.push_back(int(batch.refused.size()));
        batch.refused.append({path, AddRefusal::None, QString()});
    }
    batch.waiting = int(toProbe.size());
    Adds->batches.push_back(batch);
    Adds->adder.Add(toProbe, batch.number, ThumbnailFolder(platform::StillsParentFolder()));
    if (toProbe.isEmpty())
        EndAddBatches();
}

void Txconverter::MediaFileProbed(const ProbedFile& probed) {
    if (!Adds || Adds->batches.empty() || Adds->batches.front().number != probed.batch)
        return;  // the add was cancelled: the window closed meanwhile
    MediaAdds::Batch& batch = Adds->batches.front();
    --batch.waiting;
    Adds->coming.erase(Adds->coming.find(probed.path));
    AddRefusal why = probed.refusal;
    if (why == AddRefusal::None) {
        const QString target = NewRowTargetName(probed.path);
        if (TItemPanel* row = ListImagePanel->AddItem(probed.row.PicturePath)) {
            static_cast<MediaRow&>(*row) = probed.row;
            row->PicturePath = probed.row.PicturePath;
            row->TargetName = target;
            RestoreMarks(*row);
            row->RefreshText();
            ShowListHint();
            DrawTrimRange(nullptr);
            ShowPlayState();  // the readout shows the selected row's length
            batch.lastAdded = probed.path;
        } else {
            why = platform::FolderTakesNewFiles(ThumbnailFolder(platform::StillsParentFolder()))
                      ? AddRefusal::NoStill
                      : AddRefusal::NoStillFolder;
        }
    }
    const int place = batch.places.front();
    batch.places.pop_front();
    if (why != AddRefusal::None) {
        RestoringRows.erase(probed.path);  // a restored row the add refused is not kept on
        batch.refused[place] = {probed.path, why, ThumbnailFolder(platform::StillsParentFolder())};
    }
    EndAddBatches();
}

void Txconverter::EndAddBatches() {
    while (AddsPending() && Adds->batches.front().waiting == 0) {
        MediaAdds::Batch batch = Adds->batches.front();
        Adds->batches.pop_front();
        batch.refused.removeIf(
            [](const RefusedFile& file) { return file.why == AddRefusal::None; });
        if (!batch.lastAdded.isEmpty())
            RememberAddFolder(batch.lastAdded);
        if (!batch.refused.isEmpty()) {
            platform::ShowMessage(this, RefusalMessage(batch.refused, batch.sources),
                                  QStringLiteral("Notice"));
        }
    }
    if (!AddsPending() && RunAfterAdds) {
        RunAfterAdds = false;
        RunClick(Run);
    }
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
    FilesAtOnceChoices.at(size_t(count - 1))->setChecked(true);  // the others uncheck
}

void Txconverter::LoadFilesAtOnce() {
    bool number = false;
    int count = ReadProfileValue(kMainSettings, kFilesAtOnce, QStringLiteral("1")).toInt(&number);
    if (!number || count < 1 || count > int(FilesAtOnceChoices.size()))
        count = 1;
    FilesAtOnceChoices[size_t(count - 1)]->setChecked(true);  // the others uncheck
}

int Txconverter::FilesAtOnce() const {
    for (size_t i = 0; i < FilesAtOnceChoices.size(); ++i) {
        if (FilesAtOnceChoices[i]->isChecked())
            return int(i) + 1;
    }
    return 1;
}
