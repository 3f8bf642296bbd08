// The converter window's kept list: the rows of a family are saved when the window closes (or
// the program ends with the window open) and listed again at the family's next open.
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "converter/Txconverter.h"
#include "media/core/SavedList.h"
#include "media/core/SourceFiles.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/core/DataFolders.h"

namespace {

QString ListFile(DeviceType device) {
    const DeviceInfo* info = FindDevice(device);
    return info ? SavedListPath(platform::CatalogFolder(), info->section) : QString();
}

void WriteList(const QString& path, const std::vector<SavedRow>& rows) {
    if (rows.empty()) {
        QFile::remove(path);
        return;
    }
    // Written whole or not at all: a failed write keeps the list saved before.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly))
        if (file.write(SavedListText(rows)) > 0)
            file.commit();
}

}  // namespace

void Txconverter::SaveList() {
    const QString path = ListFile(CurrentDevice);
    if (path.isEmpty())
        return;
    std::vector<SavedRow> rows;
    for (const MediaRow* row : ListImagePanel->Rows())
        rows.push_back(SavedRowOf(*row));
    for (const auto& [source, saved] : RestoringRows)
        rows.push_back(saved);
    WriteList(path, rows);
}

void Txconverter::RestoreMarks(MediaRow& row) {
    const auto found = RestoringRows.find(row.SourcePath);
    if (found == RestoringRows.end())
        return;
    row.StartPoint = found->second.startPoint;
    row.EndPoint = found->second.endPoint;
    RestoringRows.erase(found);
}

void Txconverter::RestoreList() {
    const QString path = ListFile(CurrentDevice);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const KeptRows kept = SplitVanished(ReadSavedList(file.readAll()), [](const QString& source) {
        return QFileInfo::exists(source);
    });
    file.close();
    // The rows come back through the add (off the window's thread), each with its marks; one
    // no longer media, or listed already, stays out by the add's own rules.
    QStringList sources;
    RestoringRows.clear();
    for (const SavedRow& saved : kept.present) {
        if (RestoringRows.emplace(saved.sourcePath, saved).second)
            sources << saved.sourcePath;
    }
    if (!sources.isEmpty())
        AddMediaFiles(sources);
    if (!kept.vanished.isEmpty()) {
        // Named once: the saved list no longer holds them.
        SaveList();
        platform::ShowMessage(this, VanishedMessage(kept.vanished), QStringLiteral("Notice"));
    }
}
