#include "converter/JobNotice.h"

#include <QDir>

#include "converter/Txconverter.h"
#include "platform/Notifications.h"
#include "platform/Shell.h"
#include "platform/core/Paths.h"
#include "skin/SkinProgressBar.h"

QString ShortFolder(const QString& folder, const QString& home) {
    QString text = folder;
    while (text.size() > 1 && platform::EndsWithSeparator(text))
        text.chop(1);
    const QString homeFolder = platform::WithTrailingSeparator(QDir::toNativeSeparators(home));
    if (homeFolder.size() > 1 && (text + platform::Separator()).startsWith(homeFolder)) {
        const QString rest = text.mid(homeFolder.size());
        return rest.isEmpty() ? QStringLiteral("~")
                              : QStringLiteral("~") + platform::Separator() + rest;
    }
    return text;
}

QString JobEndSummary(const JobEnd& end) {
    if (end.stopped)
        return QStringLiteral("Conversion stopped");
    return end.failed > 0 ? QStringLiteral("Conversion finished with failures")
                          : QStringLiteral("Conversion finished");
}

QString JobEndBody(const JobEnd& end) {
    const QString folder = ShortFolder(end.outputFolder, QDir::homePath());
    auto files = [](int count) {
        return count == 1 ? QStringLiteral("file") : QStringLiteral("files");
    };
    if (end.stopped) {
        return QStringLiteral("Stopped by user: %1 of %2 %3 converted into %4")
            .arg(end.converted)
            .arg(end.rows)
            .arg(files(end.rows), folder);
    }
    if (end.failed > 0) {
        return QStringLiteral("%1 of %2 %3 converted into %4, %5 failed")
            .arg(end.converted)
            .arg(end.rows)
            .arg(files(end.rows), folder)
            .arg(end.failed);
    }
    return QStringLiteral("%1 %2 converted into %3")
        .arg(end.converted)
        .arg(files(end.converted), folder);
}

void Txconverter::AnnounceJobEnd(const JobEnd& end) {
    // The total bar says how many files were converted, and where, until the next job.
    ProgressTotal->SetCaptionText(JobEndBody(end));
    // A user looking at the window sees the status line; only one who is elsewhere is told.
    if (isActiveWindow() && !isMinimized())
        return;
    // The note offers what the window's menu does: the folder the files went to.
    const QString folder = end.outputFolder;
    platform::notifier().Notify(
        JobEndSummary(end), JobEndBody(end),
        {QStringLiteral("Open output folder"), [folder] { platform::ShellOpen(folder); }});
}
