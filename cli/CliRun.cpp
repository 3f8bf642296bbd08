#include "cli/CliRun.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <utility>

#include "cli/CliEngine.h"
#include "cli/JobCount.h"
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

QString FileNameOf(const MediaRow& row) {
    return QFileInfo(row.SourcePath).fileName();
}

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
        KivoProbe shown{};
        Engine().Probe(source.toUtf8().constData(), &shown);
        file.row = ProbedRow(source, still, info, shown);
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

int ConvertFiles(std::vector<CliFile>& files, int atOnce, ProgressMode mode, FILE* out,
                 FILE* summaryOut) {
    ProgressOutput progress(mode, out);
    std::vector<FailedRow> failures;
    std::vector<CliFile*> planned;
    for (CliFile& file : files) {
        if (file.failure.isEmpty()) {
            planned.push_back(&file);
            continue;
        }
        progress.Ended(-1, FileNameOf(file.row), QStringLiteral("failed"), file.failure,
                       file.row.SourcePath);
        failures.push_back({FileNameOf(file.row), file.failure});
    }
    // The files that failed converting, in list order whichever ended first.
    std::map<int, FailedRow> failed;
    int converted = 0;
    int stopped = 0;
    int started = 0;
    bool interrupted = g_stopSignal != 0;
    if (!planned.empty() && !interrupted) {
        EngineReports reports;
        CliEngine engine(atOnce, reports);
        JobQueue queue(engine, atOnce);
        struct Running {
            int position = 0;
            QString lastStatus;
        };
        std::map<JobCallId, Running> running;  // oldest call first
        const auto start = [&](int position) {
            const CliFile& file = *planned[position];
            progress.Started(position, FileNameOf(file.row), file.plan.values[ValueOutputPath],
                             file.row.SourcePath);
            ++started;
            running[queue.Start(position, file.plan, nullptr)] = {position, QString()};
        };
        for (const int position : queue.Run(int(planned.size())))
            start(position);
        while (!running.empty()) {
            std::deque<EngineReport> taken =
                reports.Take(std::chrono::milliseconds(100), [] { return g_stopSignal != 0; });
            if (g_stopSignal && !interrupted) {
                interrupted = true;
                queue.Stop();
            }
            for (const EngineReport& report : taken) {
                // One file at a time, the engine's reports name no call: they are the oldest's.
                const JobCallId call = report.call != 0 ? report.call : running.begin()->first;
                const auto found = running.find(call);
                if (found == running.end())
                    continue;
                Running& file = found->second;
                const QString name = FileNameOf(planned[file.position]->row);
                if (report.kind == EngineReport::Status) {
                    queue.Report(call, report.text);
                    file.lastStatus = report.text;
                    continue;
                }
                if (report.kind == EngineReport::Percent) {
                    queue.Percent(call, report.value);
                    progress.Step(file.position, report.value, file.lastStatus);
                    continue;
                }
                const RowOutcome outcome = OutcomeFromMessage(uintptr_t(report.value));
                const RowEnd rowEnd = queue.Done(call, uintptr_t(report.value));
                if (outcome == RowOutcome::Converted) {
                    ++converted;
                    progress.Ended(file.position, name, QStringLiteral("converted"), QString());
                } else if (outcome == RowOutcome::Stopped) {
                    ++stopped;
                    progress.Ended(file.position, name, QStringLiteral("stopped"),
                                   RowMarkText(outcome, file.lastStatus).section(": ", 1));
                } else {
                    // A conversion the engine could not even start says why in its end alone.
                    const QString reason = file.lastStatus.isEmpty() && !report.text.isEmpty()
                                               ? report.text
                                               : ShortFailureReason(file.lastStatus);
                    failed.emplace(file.position, FailedRow{name, reason});
                    progress.Ended(file.position, name, QStringLiteral("failed"), reason);
                }
                running.erase(found);
                engine.Release(call);
                for (const int position : rowEnd.startRows)
                    start(position);
            }
        }
    }
    for (auto& [position, row] : failed)
        failures.push_back(std::move(row));
    const int notStarted = int(planned.size()) - started;
    std::fprintf(summaryOut, "%s\n",
                 qPrintable(RunSummary(converted, failures, stopped, notStarted, interrupted)));
    std::fflush(summaryOut);
    if (interrupted)
        return ExitInterrupted;
    return failures.empty() ? ExitConverted : ExitSomeFailed;
}

namespace {

// How many files convert at once: --jobs, or the auto rule for the planned files.
int FilesAtOnce(const CliOptions& options, const OutputSettings& settings,
                const std::vector<CliFile>& files) {
    if (options.jobs > 0)
        return options.jobs;
    const int planned = int(std::count_if(
        files.begin(), files.end(), [](const CliFile& file) { return file.failure.isEmpty(); }));
    FrameSize size;
    try {
        size = ParseFrameSize(settings.resolution.text);
    } catch (...) {
        // A size the engine reads otherwise counts as small.
    }
    return AutoJobCount({UsableCores(), size.width, size.height, planned, AvailableMemory()});
}

}  // namespace

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
        // A folder stands for the media files directly inside it, as in the window; a folder
        // without any is named among the failures.
        QList<RefusedFile> emptyFolders;
        const QStringList sources = ExpandSources(options.files, emptyFolders);
        std::vector<CliFile> files = PlanFiles(sources, chosen, outputFolder, range,
                                               options.overwrite || options.dryRun, stillFolder);
        for (const RefusedFile& folder : emptyFolders) {
            CliFile& file = files.emplace_back();
            file.row.SourcePath = folder.path;
            file.failure = RefusalReason(folder);
        }
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
        return ConvertFiles(files, FilesAtOnce(options, settings, files), mode, stdout,
                            options.json ? stderr : stdout);
    } catch (const CliUsageError& error) {
        std::fprintf(stderr, "qor-convert: %s\n", error.what());
        return ExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qor-convert: %s\n", error.what());
        return ExitUsage;
    }
}
