#include "cli/CliRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "cli/CliEngine.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliSettings.h"
#include "cli/JobCount.h"
#include "converter/core/ArgumentVector.h"
#include "converter/core/JobQueue.h"
#include "converter/core/LevelCeiling.h"
#include "media/core/MediaRows.h"
#include "media/core/SourceFiles.h"
#include "media/core/Thumbnails.h"
#include "platform/core/ByteNames.h"
#include "platform/core/EngineApi.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "profiles/core/CatalogCheck.h"
#include "profiles/core/OutputRoot.h"
#include "profiles/core/ProfileDatabase.h"

namespace {

enum CliExit : int { ExitConverted = 0, ExitSomeFailed = 1, ExitUsage = 2, ExitInterrupted = 130 };

struct CliFile {
    MediaRow row;
    RowPlan plan;
    QString failure;  // why the file cannot start; empty when it is planned
};

// Set by a stop signal or a broken output: every running conversion stops as Stop does and no
// further file starts.
volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int) {
    g_stopSignal = 1;
}

// What a file's line says of how it ended, by RowOutcome.
const char* const kStateWords[] = {"converted", "stopped", "failed"};

QString FileNameOf(const MediaRow& row) {
    return platform::ShownPath(platform::FileNamePart(row.SourcePath));
}

// Probes and plans `sources` in order. With `stillFolder` set, each source's still is taken
// there for the family's THM. Without `overwrite` the plans tell the engine not to replace
// anything, so a file that appears at a target meanwhile is kept as well.
std::vector<CliFile> PlanFiles(const QStringList& sources, const FamilySettings& chosen,
                               const QString& outputFolder, const PlanRange& range, bool overwrite,
                               const QString& stillFolder, bool dryRun) {
    const DeviceInfo& family = *chosen.family;
    const QString extension = family.TargetExtension(chosen.settings.fileType.index);
    const JobTarget target{chosen.device, family.copyStill, outputFolder};
    std::vector<CliFile> files;
    QList<const MediaRow*> listed;
    files.reserve(sources.size());
    for (const QString& source : sources) {
        CliFile& file = files.emplace_back();
        file.row.SourcePath = source;
        // Folders, pipes and devices are refused before anything opens them: a pipe would
        // wait for a writer.
        EngineFileInfo info{};
        int systemError = 0;
        AddRefusal refusal = SourceRefusal(source, &systemError);
        const QByteArray sourceBytes = platform::PathBytes(source);
        if (refusal == AddRefusal::None &&
            Engine().GetFileinfo(sourceBytes.constData(), &info) != 0)
            refusal = ProbeRefusal(source, &systemError);
        if (refusal != AddRefusal::None) {
            file.failure = RefusalReason({source, refusal, QString(), systemError});
            continue;
        }
        QString still;
        if (!stillFolder.isEmpty()) {
            still = stillFolder + StillFileName(source);
            Engine().GetPicure(sourceBytes.constData(), StillSeconds, StillSize,
                               platform::PathBytes(still).constData());
        }
        KivoProbe shown{};
        Engine().Probe(sourceBytes.constData(), &shown);
        file.row = ProbedRow(source, still, info, shown);
        file.row.TargetName = TargetForNewRow(source, extension, listed);
        listed.append(&file.row);
        try {
            file.plan = PlanRow(file.row, chosen.settings, target, range);
        } catch (const std::exception& error) {
            file.failure = QString::fromUtf8(error.what());
            continue;
        }
        file.plan.overwrite = overwrite;
        const QString& output = file.plan.values[ValueOutputPath];
        const TargetProblem problem = CheckTarget(source, output, overwrite || dryRun);
        if (problem == TargetProblem::IsSource) {
            file.failure = QStringLiteral(
                "the target is the source itself, which is never "
                "replaced: choose another --output folder");
        } else if (problem == TargetProblem::Exists) {
            file.failure = QStringLiteral("%1 exists (--overwrite replaces it)")
                               .arg(platform::ShownPath(output));
        }
    }
    return files;
}

// "3 converted, 1 failed: clip.avi (the source is damaged)"; an interrupted run says so and
// counts the stopped and the files not started.
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
    // Every ending that can be caught stops the files as Stop does, so that what was converted
    // is finalised and the temporary stills go, instead of partial files left behind.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2})
        sigaction(signal, &action, nullptr);
    // A reader of the output that went away (a pipe into "head -1") is seen as EPIPE on the
    // next write, and ends the run the same way.
    std::signal(SIGPIPE, SIG_IGN);
}

// Converts the planned files `atOnce` side by side, in list order as places free up, writing
// progress to `out` and the summary to `summaryOut`. Returns the exit status.
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
    int ended[3] = {};  // by RowOutcome
    int started = 0;
    bool interrupted = g_stopSignal != 0;
    if (!planned.empty() && !interrupted) {
        CliEngine engine;
        JobQueue queue(engine, atOnce);
        std::map<JobCallId, int> running;  // each running call's file
        const auto start = [&](int position) {
            const CliFile& file = *planned[position];
            progress.Started(position, FileNameOf(file.row), file.plan.values[ValueOutputPath],
                             file.row.SourcePath);
            ++started;
            running[queue.Start(position, file.plan)] = position;
        };
        for (const int position : queue.Run(int(planned.size())))
            start(position);
        while (!running.empty()) {
            std::deque<EngineReport> taken =
                engine.Take(std::chrono::milliseconds(100), [] { return g_stopSignal != 0; });
            if (progress.Broken())
                g_stopSignal = 1;
            if (g_stopSignal && !interrupted) {
                interrupted = true;
                queue.Stop();
            }
            for (const EngineReport& report : taken) {
                const auto found = running.find(report.call);
                if (found == running.end())
                    continue;
                const int position = found->second;
                if (!report.ended) {
                    progress.Step(position, report.progress);
                    continue;
                }
                const QString name = FileNameOf(planned[position]->row);
                const RowEnd rowEnd = queue.Done(report.call, report.end);
                if (rowEnd.keepsStill)
                    CopyStillBesideOutput(rowEnd.plan);
                const RowOutcome outcome = OutcomeOf(report.end.outcome);
                // The row's mark after its first word: what was kept, or why it failed.
                const QString reason = RowMarkText(report.end).section(": ", 1);
                progress.Ended(position, name, QLatin1String(kStateWords[int(outcome)]), reason);
                ++ended[int(outcome)];
                if (outcome == RowOutcome::Failed)
                    failed.emplace(position, FailedRow{name, reason});
                running.erase(found);
                engine.Release(report.call);
                for (const int next : rowEnd.startRows)
                    start(next);
            }
        }
    }
    for (auto& [position, row] : failed)
        failures.push_back(std::move(row));
    const int notStarted = int(planned.size()) - started;
    std::fprintf(summaryOut, "%s\n",
                 qPrintable(RunSummary(ended[int(RowOutcome::Converted)], failures,
                                       ended[int(RowOutcome::Stopped)], notStarted, interrupted)));
    std::fflush(summaryOut);
    if (interrupted)
        return ExitInterrupted;
    return failures.empty() ? ExitConverted : ExitSomeFailed;
}

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

// Makes or renews the user's copy of the catalog; a damaged copy stops the run with its name
// and the way back, unless `restore` asks for that way.
void PrepareCatalog(bool restore) {
    PrepareProfileDatabase();
    QString why;
    const QString damaged = DamagedUserCatalog(why);
    if (damaged.isEmpty())
        return;
    if (!restore) {
        throw CliUsageError(CatalogDamageText(damaged, why) +
                            QStringLiteral(" Run with --restore-catalog to go back to the "
                                           "installed catalog (the damaged file is kept beside "
                                           "it), or remove %1.")
                                .arg(damaged));
    }
    const QString kept = RestoreInstalledCatalog();
    std::fprintf(stderr,
                 "qor-convert: the installed profile catalog is back; the damaged file "
                 "is kept as %s\n",
                 qPrintable(kept));
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
            case CliAction::ListProfiles: {
                PrepareCatalog(options.restoreCatalog);
                bool failed = false;
                std::fputs(qPrintable(ProfileListText(options.device, &failed)), stdout);
                if (failed)
                    std::fputs("qor-convert: some profiles cannot be loaded\n", stderr);
                return failed ? ExitUsage : ExitConverted;
            }
            case CliAction::RestoreCatalog:
                PrepareCatalog(true);
                return ExitConverted;
            case CliAction::Convert:
                break;
        }
        PrepareCatalog(options.restoreCatalog);
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
        if (!options.dryRun && !platform::DirectoryExists(outputFolder)) {
            // The system's reason: a file where a folder should be, a missing parent, no right.
            const QByteArray bytes = platform::PathBytes(folder.trimmed());
            const int why = ::mkdir(bytes.constData(), 0777) == 0 ? 0 : errno;
            if (why != 0)
                throw CliUsageError(QStringLiteral("the output folder %1 cannot be made: %2")
                                        .arg(platform::ShownPath(folder),
                                             QString::fromLocal8Bit(std::strerror(why))));
        }
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
                                               options.overwrite, stillFolder, options.dryRun);
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
    } catch (const std::exception& error) {  // a CliUsageError, or a plan the cores refused
        std::fprintf(stderr, "qor-convert: %s\n", error.what());
        return ExitUsage;
    }
}
