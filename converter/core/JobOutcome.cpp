#include "converter/core/JobOutcome.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const QString kJobFinished = QStringLiteral("Process Info :  Job Finished.");
const QString kStoppedByUser = QStringLiteral("Process Info :  Stoped by user.");

// A kept length as a row shows it: "00:22", or "1:02:03" from an hour on.
QString KeptLength(double seconds) {
    const int whole = int(std::floor(std::max(0.0, seconds)));
    const int hours = whole / 3600;
    const QString minutesSeconds = QStringLiteral("%1:%2")
                                       .arg((whole / 60) % 60, 2, 10, QLatin1Char('0'))
                                       .arg(whole % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QString::number(hours) + ':' + minutesSeconds : minutesSeconds;
}

}  // namespace

ConversionEnd ConversionEndOf(const KivoEnd& end) {
    const QString kept = end.path ? QString::fromUtf8(end.path) : QString();
    return {end.outcome, end.reason, end.keptSeconds, end.systemError, kept};
}

ConversionEnd NotStartedEnd() {
    return ConversionEnd{};  // failed, for no reason the engine gave
}

RowOutcome OutcomeOf(int outcome) {
    switch (outcome) {
        case KIVO_CONVERSION_FINISHED:
            return RowOutcome::Converted;
        case KIVO_CONVERSION_STOPPED:
            return RowOutcome::Stopped;
        default:
            return RowOutcome::Failed;
    }
}

QString ReasonWords(int reason) {
    switch (KivoReason(reason)) {
        case KIVO_REASON_NONE:
            return QStringLiteral("converted");
        case KIVO_REASON_STOPPED:
            return QStringLiteral("stopped by the user");
        case KIVO_REASON_SETTINGS_REFUSED:
            return QStringLiteral("the settings were refused");
        case KIVO_REASON_SOURCE_MISSING:
            return QStringLiteral("the source file is missing");
        case KIVO_REASON_SOURCE_NOT_A_FILE:
            return QStringLiteral("the source is not a file");
        case KIVO_REASON_SOURCE_UNREADABLE:
            return QStringLiteral("the source could not be read");
        case KIVO_REASON_SOURCE_DAMAGED:
            return QStringLiteral("the source is damaged");
        case KIVO_REASON_NOTHING_DECODABLE:
            return QStringLiteral("nothing in it can be decoded");
        case KIVO_REASON_START_BEYOND_END:
            return QStringLiteral("the start lies beyond the end of the source");
        case KIVO_REASON_OUTPUT_FOLDER_MISSING:
            return QStringLiteral("the output folder does not exist");
        case KIVO_REASON_OUTPUT_NOT_WRITABLE:
            return QStringLiteral("the output folder cannot be written");
        case KIVO_REASON_OUTPUT_EXISTS:
            return QStringLiteral("the output file already exists");
        case KIVO_REASON_DISK_FULL:
            return QStringLiteral("the disk is full");
        case KIVO_REASON_OUTPUT_IS_SOURCE:
            return QStringLiteral("the target is the source itself");
        case KIVO_REASON_ENCODING_FAILED:
            return QStringLiteral("the output could not be written");
        case KIVO_REASON_RANGE_TOO_SHORT:
            return QStringLiteral("the length to convert is too short");
        case KIVO_REASON_OTHER:
            break;
    }
    return QStringLiteral("the conversion failed");
}

QString FailureWords(const ConversionEnd& end) {
    if (end.reason == KIVO_REASON_OUTPUT_EXISTS && !end.keptPath.isEmpty()) {
        return QStringLiteral("the target appeared meanwhile; kept as ") +
               end.keptPath.section('/', -1);
    }
    QString words = ReasonWords(end.reason);
    if (end.systemError > 0)
        words += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(end.systemError));
    return words;
}

QString RowMarkText(const ConversionEnd& end) {
    switch (OutcomeOf(end.outcome)) {
        case RowOutcome::Converted:
            return QString();
        case RowOutcome::Failed:
            return QStringLiteral("failed: ") + FailureWords(end);
        case RowOutcome::Stopped:
            break;
    }
    // Less than a second kept is no file a player shows.
    if (end.keptSeconds < 1)
        return QStringLiteral("stopped: nothing kept");
    return QStringLiteral("stopped: the first ") + KeptLength(end.keptSeconds) +
           QStringLiteral(" kept");
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
