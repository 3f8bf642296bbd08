#include "cli/CliProgress.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>

void ProgressOutput::Started(int position, const QString& file, const QString& target,
                             const QString& source) {
    running_[position] = {file, source, target, -1, QStringLiteral("%1  0%").arg(file)};
    if (mode_ == ProgressMode::Json)
        Json(running_[position], 0, QStringLiteral("started"), QString());
    else if (mode_ == ProgressMode::Plain)
        Line(QStringLiteral("%1: converting to %2").arg(file, target));
    else
        Redraw();
}

namespace {

// "00:00:09": a time left as the terminal line shows it.
QString Clock(double seconds) {
    const int whole = int(seconds + 0.5);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600, 2, 10, QLatin1Char('0'))
        .arg((whole / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

void ProgressOutput::Step(int position, const KivoProgress& progress) {
    const auto found = running_.find(position);
    if (found == running_.end())
        return;
    Running& running = found->second;
    const int percent = std::clamp(progress.percent, 0, 100);
    if (mode_ == ProgressMode::Json) {
        if (percent != running.percent)
            Json(running, percent, QStringLiteral("converting"), QString());
    } else if (mode_ == ProgressMode::Terminal) {
        running.line = QStringLiteral("%1  %2%").arg(running.file).arg(percent);
        if (progress.framesPerSecond > 0)
            running.line += QStringLiteral("  %1 fps").arg(progress.framesPerSecond, 0, 'f', 1);
        if (progress.secondsLeft >= 0)
            running.line += QStringLiteral("  %1 left").arg(Clock(progress.secondsLeft));
        running.percent = percent;
        Redraw();
        return;
    }
    running.percent = percent;
}

void ProgressOutput::Ended(int position, const QString& file, const QString& state,
                           const QString& reason, const QString& source) {
    const auto found = running_.find(position);
    const Running ended =
        found != running_.end() ? found->second : Running{file, source, QString(), -1, QString()};
    running_.erase(position);
    if (mode_ == ProgressMode::Json) {
        Json(ended, state == QLatin1String("converted") ? 100 : -1, state, reason);
        return;
    }
    const QString line = reason.isEmpty() ? QStringLiteral("%1: %2").arg(file, state)
                                          : QStringLiteral("%1: %2: %3").arg(file, state, reason);
    if (mode_ == ProgressMode::Terminal)
        std::fputs("\r\033[K", out_);
    Line(line);
    if (mode_ == ProgressMode::Terminal && !running_.empty())
        Redraw();
}

// One file running: its own line; several: each with its percentage, in list order.
void ProgressOutput::Redraw() {
    if (broken_)
        return;
    QString text;
    if (running_.size() == 1) {
        text = running_.begin()->second.line;
    } else {
        QStringList files;
        for (const auto& [position, running] : running_)
            files.append(
                QStringLiteral("%1 %2%").arg(running.file).arg(std::max(running.percent, 0)));
        text = files.join(QStringLiteral("  "));
    }
    std::fprintf(out_, "\r\033[K%s", qPrintable(text));
    Flush();
}

void ProgressOutput::Line(const QString& text) {
    if (broken_)
        return;
    std::fprintf(out_, "%s\n", qPrintable(text));
    Flush();
}

void ProgressOutput::Flush() {
    if (std::fflush(out_) != 0 || std::ferror(out_))
        broken_ = true;
}

void ProgressOutput::Json(const Running& running, int percent, const QString& state,
                          const QString& reason) {
    QJsonObject object{{"file", running.file}, {"state", state}};
    if (!running.source.isEmpty())
        object.insert("source", running.source);
    if (!running.target.isEmpty())
        object.insert("target", running.target);
    if (percent >= 0)
        object.insert("percent", percent);
    if (!reason.isEmpty())
        object.insert("reason", reason);
    Line(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}
