#include "converter/JobOutcome.h"

#include <QRegularExpression>
#include <algorithm>

#include "engine/kivoengine.h"

namespace {

const QString kJobFinished = QStringLiteral("Process Info :  Job Finished.");
const QString kStoppedByUser = QStringLiteral("Process Info :  Stoped by user.");

// The longest reason shown as it came from the engine when no short form is known.
constexpr int kLongestReason = 60;

}  // namespace

RowOutcome OutcomeFromMessage(uintptr_t wparam) {
    switch (wparam) {
        case KIVO_CONVERSION_FINISHED:
            return RowOutcome::Converted;
        case KIVO_CONVERSION_STOPPED:
            return RowOutcome::Stopped;
        default:
            return RowOutcome::Failed;
    }
}

QString ShortFailureReason(const QString& lastStatusLine) {
    // The engine's failure lines, by what they say, in the user's words. First match wins.
    static const struct {
        const char* says;
        const char* reason;
    } kReasons[] = {
        {"is the source itself", "the target is the source itself"},
        {"not a regular file", "not a regular file but a folder, a pipe or a device"},
        {"too short to hold a picture", "the length to convert is too short"},
        {"could not read the source", "the source could not be read"},
        {"The source file does not exist", "the source file is missing"},
        {"not a media file", "not a media file this program can read"},
        {"The file is damaged", "the source is damaged"},
        {"Cannot read the streams", "the source is damaged"},
        {"Cannot read the source", "the source cannot be read"},
        {"no video or audio this program can decode", "nothing in it can be decoded"},
        {"Cannot decode the source", "nothing in it can be decoded"},
        {"The output folder does not exist", "the output folder does not exist"},
        {"Cannot write in the output folder", "the output folder cannot be written"},
        {"The output file already exists", "the output file already exists"},
        {"encoder refused its settings", "the settings were refused"},
        {"Cannot start the output file", "the output could not be written"},
        {"Cannot finish the output file", "the output could not be written"},
        {"Cannot write the output file", "the output could not be written"},
    };
    // A target that appeared meanwhile: the converted file was kept under another name.
    static const QRegularExpression keptAs(
        QStringLiteral("appeared while converting.*kept as (.+)$"));
    if (const QRegularExpressionMatch kept = keptAs.match(lastStatusLine); kept.hasMatch()) {
        const QString name = kept.captured(1).section('/', -1);
        return QStringLiteral("the target appeared meanwhile; kept as %1").arg(name);
    }
    // The operating system's reason, where the engine gives one, stays with the words.
    static const QRegularExpression systemReason(
        QStringLiteral("(?:Cannot (?:write in|use) the output folder|Cannot give the output its "
                       "name|Cannot open the file|Cannot (?:start|write|finish) the output "
                       "file) \\(([^)]+)\\)"));
    const QRegularExpressionMatch system = systemReason.match(lastStatusLine);
    for (const auto& entry : kReasons) {
        if (lastStatusLine.contains(QLatin1String(entry.says))) {
            const QString reason = QString::fromLatin1(entry.reason);
            return system.hasMatch() ? reason + ": " + system.captured(1) : reason;
        }
    }
    if (system.hasMatch()) {
        return QStringLiteral("the output cannot be written: %1").arg(system.captured(1));
    }
    // Otherwise the engine's own words, without the "Failed: name:" lead and the details in
    // brackets.
    QString why = lastStatusLine;
    if (why.startsWith(QStringLiteral("Failed: ")))
        why = why.mid(8);
    const int nameEnd = why.indexOf(QStringLiteral(": "));
    if (nameEnd >= 0)
        why = why.mid(nameEnd + 2);
    const int details = why.indexOf(QStringLiteral(" ("));
    if (details > 0)
        why = why.left(details);
    why = why.trimmed();
    if (why.isEmpty())
        return QStringLiteral("the conversion failed");
    if (why.size() > kLongestReason) {
        // Cut at a word's end.
        why.truncate(kLongestReason - 3);
        const int wordEnd = why.lastIndexOf(' ');
        if (wordEnd > kLongestReason / 2)
            why.truncate(wordEnd);
        why = why.trimmed() + QStringLiteral("...");
    }
    if (why.size() > 1 && why[0].isUpper() && !why[1].isUpper())
        why[0] = why[0].toLower();
    return why;
}

QString RowMarkText(RowOutcome outcome, const QString& lastStatusLine) {
    switch (outcome) {
        case RowOutcome::Converted:
            return QString();
        case RowOutcome::Failed:
            return QStringLiteral("failed: ") + ShortFailureReason(lastStatusLine);
        case RowOutcome::Stopped:
            break;
    }
    // "Stopped by user: clip.avi, the first 00:00:22 are kept"
    static const QRegularExpression kept(QStringLiteral("the first (\\d+):(\\d\\d):(\\d\\d)"));
    const QRegularExpressionMatch match = kept.match(lastStatusLine);
    if (!match.hasMatch())
        return QStringLiteral("stopped: nothing kept");
    const int hours = match.captured(1).toInt();
    const QString length =
        hours > 0 ? QString::number(hours) + ':' + match.captured(2) + ':' + match.captured(3)
                  : match.captured(2) + ':' + match.captured(3);
    return QStringLiteral("stopped: the first ") + length + QStringLiteral(" kept");
}

QString JobClosingText(bool stopped, int rows, const std::vector<FailedRow>& failures) {
    const QString closing = stopped ? kStoppedByUser : kJobFinished;
    if (failures.empty())
        return closing;
    const int failed = int(failures.size());
    const int total = std::max(rows, failed);
    const FailedRow& first = failures.front();
    const QString row = first.fileName + QStringLiteral(" (") + first.reason + ')';
    return closing + ' ' + QString::number(failed) + QStringLiteral(" of ") +
           QString::number(total) +
           (total == 1 ? QStringLiteral(" file failed") : QStringLiteral(" files failed")) +
           (failed == 1 ? QStringLiteral(": ") : QStringLiteral(", the first: ")) + row;
}
