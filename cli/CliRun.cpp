#include "cli/CliRun.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

#include "converter/ArgumentVector.h"
#include "converter/JobQueue.h"
#include "converter/LevelCeiling.h"
#include "media/MediaRows.h"
#include "media/SourceFiles.h"
#include "media/Thumbnails.h"
#include "platform/EngineApi.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "profiles/OutputRoot.h"
#include "profiles/ProfileDatabase.h"

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int) {
    g_stopSignal = 1;
}

// What the engine's thread reports, carried to the main thread under a lock: the status lines
// in order, the latest percentage and the end messages.
struct EngineReports {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<QString> status;
    int percent = -1;
    std::deque<uintptr_t> ends;
};

EngineReports g_reports;

int InfoReport(const char* text) {
    std::lock_guard lock(g_reports.mutex);
    g_reports.status.push_back(QString::fromUtf8(text ? text : ""));
    g_reports.wake.notify_one();
    return 0;
}

int PercentReport(int percent) {
    std::lock_guard lock(g_reports.mutex);
    g_reports.percent = std::clamp(percent, 0, 100);
    g_reports.wake.notify_one();
    return 0;
}

void PostEnd(KivoWindow*, unsigned message, uintptr_t outcome, intptr_t) {
    if (message != WM_CONVERTDONE)
        return;
    std::lock_guard lock(g_reports.mutex);
    g_reports.ends.push_back(outcome);
    g_reports.wake.notify_one();
}

KivoWindow g_window{PostEnd};

class CliEngine : public JobEngine {
public:
    void Convert(JobCallId, ArgumentVector& arguments) override {
        Engine().X(&g_window, arguments.Count(), arguments.Data());
    }
    void Stop(JobCallId) override { Engine().Stop(); }
};

QString FileNameOf(const MediaRow& row) {
    return QFileInfo(row.SourcePath).fileName();
}

// Writes the progress of each file as the mode asks.
class ProgressOutput {
public:
    ProgressOutput(ProgressMode mode, FILE* out) : mode_(mode), out_(out) {}

    void Started(const QString& file, const QString& target) {
        if (mode_ == ProgressMode::Json)
            Json(file, 0, QStringLiteral("started"), QString());
        else if (mode_ == ProgressMode::Plain)
            Line(QStringLiteral("%1: converting to %2").arg(file, target));
        else
            Redraw(QStringLiteral("%1  0%").arg(file));
    }

    void Step(const QString& file, int percent, const QString& status) {
        if (mode_ == ProgressMode::Json) {
            if (percent != lastPercent_)
                Json(file, percent, QStringLiteral("converting"), QString());
        } else if (mode_ == ProgressMode::Terminal) {
            static const QRegularExpression fps(QStringLiteral("([0-9.]+) fps"));
            static const QRegularExpression left(QStringLiteral("time left (\\S+)"));
            QString line = QStringLiteral("%1  %2%").arg(file).arg(percent);
            if (const auto match = fps.match(status); match.hasMatch())
                line += QStringLiteral("  %1 fps").arg(match.captured(1));
            if (const auto match = left.match(status); match.hasMatch())
                line += QStringLiteral("  %1 left").arg(match.captured(1));
            Redraw(line);
        }
        lastPercent_ = percent;
    }

    void Ended(const QString& file, const QString& state, const QString& reason) {
        lastPercent_ = -1;
        if (mode_ == ProgressMode::Json) {
            Json(file, state == QLatin1String("converted") ? 100 : -1, state, reason);
            return;
        }
        const QString line = reason.isEmpty()
                                 ? QStringLiteral("%1: %2").arg(file, state)
                                 : QStringLiteral("%1: %2: %3").arg(file, state, reason);
        if (mode_ == ProgressMode::Terminal)
            std::fputs("\r\033[K", out_);
        Line(line);
    }

private:
    void Line(const QString& text) {
        std::fprintf(out_, "%s\n", qPrintable(text));
        std::fflush(out_);
    }
    void Redraw(const QString& text) {
        std::fprintf(out_, "\r\033[K%s", qPrintable(text));
        std::fflush(out_);
    }
    void Json(const QString& file, int percent, const QString& state, const QString& reason) {
        QJsonObject object{{"file", file}, {"state", state}};
        if (percent >= 0)
            object.insert("percent", percent);
        if (!reason.isEmpty())
            object.insert("reason", reason);
        Line(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    }

    ProgressMode mode_;
    FILE* out_;
    int lastPercent_ = -1;
};

}  // namespace

std::vector<CliFile> PlanFiles(const QStringList& sources, const FamilySettings& chosen,
                               const QString& outputFolder, const PlanRange& range, bool overwrite,
                               const QString& stillFolder) {
    const DeviceInfo& family = *chosen.family;
    const QString extension = family.TargetExtension(chosen.settings.fileType.index);
    const JobTarget target{chosen.device, family.copyStill, outputFolder};
    std::vector<CliFile> files;
    QList<const MediaRow*> listed;
    files.reserve(sources.size());
    for (const QString& source : sources) {
        CliFile& file = files.emplace_back();
        file.row.SourcePath = source;
        EngineFileInfo info{};
        if (CannotBeRead(source) || Engine().GetFileinfo(source.toUtf8().constData(), &info) != 0) {
            file.failure = RefusalReason({source, ProbeRefusal(source), QString()});
            continue;
        }
        QString still;
        if (!stillFolder.isEmpty()) {
            still = stillFolder + StillFileName(source);
            Engine().GetPicure(source.toUtf8().constData(), StillSeconds, StillSize,
                               still.toUtf8().constData());
        }
        file.row = ProbedRow(source, still, info);
        file.row.TargetName = TargetForNewRow(source, extension, listed);
        listed.append(&file.row);
        try {
            file.plan = PlanRow(file.row, chosen.settings, target, range);
        } catch (const std::exception& error) {
            file.failure = QString::fromUtf8(error.what());
            continue;
        }
        if (!overwrite && platform::FileExists(file.plan.values[ValueOutputPath])) {
            file.failure = QStringLiteral("%1 exists (--overwrite replaces it)")
                               .arg(file.plan.values[ValueOutputPath]);
        }
    }
    return files;
}

QString RunSummary(int converted, const std::vector<FailedRow>& failures, int stopped,
                   int notStarted, bool interrupted) {
    QString text = interrupted ? QStringLiteral("Interrupted: ") : QString();
    text += QStringLiteral("%1 converted").arg(converted);
    if (stopped > 0)
        text += QStringLiteral(", %1 stopped").arg(stopped);
    if (notStarted > 0)
        text += QStringLiteral(", %1 not started").arg(notStarted);
    if (!failures.empty()) {
        QStringList named;
        for (const FailedRow& failed : failures)
            named.append(QStringLiteral("%1 (%2)").arg(failed.fileName, failed.reason));
        text += QStringLiteral(", %1 failed: %2").arg(failures.size()).arg(named.join(", "));
    }
    return text;
}

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int ConvertFiles(std::vector<CliFile>& files, ProgressMode mode, FILE* out, FILE* summaryOut) {
    ProgressOutput progress(mode, out);
    std::vector<FailedRow> failures;
    std::vector<CliFile*> planned;
    for (CliFile& file : files) {
        if (file.failure.isEmpty()) {
            planned.push_back(&file);
            continue;
        }
        progress.Ended(FileNameOf(file.row), QStringLiteral("failed"), file.failure);
        failures.push_back({FileNameOf(file.row), file.failure});
    }
    int converted = 0;
    int stopped = 0;
    int started = 0;
    bool interrupted = g_stopSignal != 0;
    if (!planned.empty() && !interrupted) {
        Engine().Init();
        Engine().SetInfoCallback(InfoReport);
        Engine().SetPercentCallback(PercentReport);
        CliEngine engine;
        JobQueue queue(engine);
        const std::vector<int> firstRows = queue.Run(int(planned.size()));
        const auto start = [&](int position) {
            const CliFile& file = *planned[position];
            progress.Started(FileNameOf(file.row), file.plan.values[ValueOutputPath]);
            ++started;
            queue.Start(position, file.plan, nullptr);
        };
        for (int position : firstRows)
            start(position);
        QString lastStatus;
        for (;;) {
            std::unique_lock lock(g_reports.mutex);
            g_reports.wake.wait_for(lock, std::chrono::milliseconds(100), [] {
                return !g_reports.ends.empty() || !g_reports.status.empty() ||
                       g_reports.percent >= 0 || g_stopSignal;
            });
            std::deque<QString> status = std::exchange(g_reports.status, {});
            const int percent = std::exchange(g_reports.percent, -1);
            std::optional<uintptr_t> end;
            if (!g_reports.ends.empty()) {
                end = g_reports.ends.front();
                g_reports.ends.pop_front();
            }
            lock.unlock();

            if (g_stopSignal && !interrupted) {
                interrupted = true;
                queue.Stop();
            }
            const CliFile& file = *planned[queue.CurrentRow()];
            for (const QString& line : status) {
                queue.Report(0, line);
                lastStatus = line;
            }
            if (percent >= 0)
                progress.Step(FileNameOf(file.row), percent, lastStatus);
            if (!end)
                continue;
            const RowOutcome outcome = OutcomeFromMessage(*end);
            const RowEnd rowEnd = queue.Done(0, *end);
            if (outcome == RowOutcome::Converted) {
                ++converted;
                progress.Ended(FileNameOf(file.row), QStringLiteral("converted"), QString());
            } else if (outcome == RowOutcome::Stopped) {
                ++stopped;
                progress.Ended(FileNameOf(file.row), QStringLiteral("stopped"),
                               RowMarkText(outcome, lastStatus).section(": ", 1));
            } else {
                const QString reason = ShortFailureReason(lastStatus);
                failures.push_back({FileNameOf(file.row), reason});
                progress.Ended(FileNameOf(file.row), QStringLiteral("failed"), reason);
            }
            lastStatus.clear();
            for (int position : rowEnd.startRows)
                start(position);
            if (rowEnd.startRows.empty() && (rowEnd.jobEnded || !queue.Outstanding()))
                break;
        }
        Engine().SetInfoCallback(nullptr);
        Engine().SetPercentCallback(nullptr);
    }
    const int notStarted = int(planned.size()) - started;
    std::fprintf(summaryOut, "%s\n",
                 qPrintable(RunSummary(converted, failures, stopped, notStarted, interrupted)));
    std::fflush(summaryOut);
    if (interrupted)
        return ExitInterrupted;
    return failures.empty() ? ExitConverted : ExitSomeFailed;
}

int RunCli(const QStringList& arguments) {
    try {
        const CliOptions options = ParseCliArguments(arguments);
        switch (options.action) {
            case CliAction::Help:
                std::fputs(qPrintable(CliHelpText()), stdout);
                return ExitConverted;
            case CliAction::Version:
                std::printf("qor-convert %s\n", qPrintable(QCoreApplication::applicationVersion()));
                return ExitConverted;
            case CliAction::ListProfiles:
                PrepareProfileDatabase();
                std::fputs(qPrintable(ProfileListText(options.device)), stdout);
                return ExitConverted;
            case CliAction::Convert:
                break;
        }
        PrepareProfileDatabase();
        const FamilySettings chosen =
            ChooseSettings(options.device, options.profile, options.settings);
        // Settings above the family's level ceiling are a profile error: nothing converts.
        const OutputSettings& settings = chosen.settings;
        CheckVideoCeiling(options.device, settings.videoCodec.text.toLower(),
                          settings.resolution.text.toLower(), settings.frameRate.text.toLower(),
                          settings.videoBitRate.toLower());
        QString folder = options.outputFolder;
        if (folder.trimmed().isEmpty()) {
            folder = FamilyOutputFolder(*chosen.family);
            if (folder.isEmpty())
                throw CliUsageError(QStringLiteral("the default output folder cannot be made"));
        }
        const QString outputFolder = JobOutputFolderOf(folder);
        if (!options.dryRun && !platform::DirectoryExists(outputFolder))
            throw CliUsageError(QStringLiteral("the output folder %1 cannot be made").arg(folder));
        const PlanRange range{options.start.value_or(0), options.end.value_or(-1)};

        InstallStopSignals();
        QTemporaryDir stills;
        const QString stillFolder = chosen.family->copyStill && !options.dryRun && stills.isValid()
                                        ? platform::WithTrailingSeparator(stills.path())
                                        : QString();
        std::vector<CliFile> files = PlanFiles(options.files, chosen, outputFolder, range,
                                               options.overwrite || options.dryRun, stillFolder);
        if (options.dryRun) {
            int status = ExitConverted;
            for (size_t i = 0; i < files.size(); ++i) {
                if (i > 0)
                    std::fputs("\n", stdout);
                if (!files[i].failure.isEmpty()) {
                    std::fprintf(stderr, "qor-convert: %s: %s\n",
                                 qPrintable(FileNameOf(files[i].row)),
                                 qPrintable(files[i].failure));
                    status = ExitSomeFailed;
                    continue;
                }
                for (const QString& entry : files[i].plan.Entries())
                    std::printf("%s\n", qPrintable(entry));
            }
            return status;
        }
        const ProgressMode mode = options.json             ? ProgressMode::Json
                                  : isatty(fileno(stdout)) ? ProgressMode::Terminal
                                                           : ProgressMode::Plain;
        return ConvertFiles(files, mode, stdout, options.json ? stderr : stdout);
    } catch (const CliUsageError& error) {
        std::fprintf(stderr, "qor-convert: %s\n", error.what());
        return ExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qor-convert: %s\n", error.what());
        return ExitUsage;
    }
}
