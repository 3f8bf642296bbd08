// A command-line run: each file probed and planned on the window's cores (the row, its target
// name, the job plan), then converted by the engine through the job queue, one after another or
// several at once, with the progress written as the output asks and a closing summary.
#pragma once

#include <QString>
#include <cstdio>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliSettings.h"
#include "converter/JobOutcome.h"
#include "converter/JobPlan.h"
#include "media/MediaRow.h"

// The exit status of a run.
enum CliExit : int { ExitConverted = 0, ExitSomeFailed = 1, ExitUsage = 2, ExitInterrupted = 130 };

struct CliFile {
    MediaRow row;
    RowPlan plan;
    QString failure;  // why the file cannot start; empty when it is planned
};

// Probes and plans `sources` in order for `chosen` into `outputFolder` (with its trailing
// separator). With `stillFolder` set, each source's still is taken there for the family's THM.
// A file that is no regular file or cannot be read as media, whose plan the settings refuse,
// whose target is the source itself, or (without `overwrite`, unless it is a `dryRun`) whose
// target exists gets a failure instead of a plan. Without `overwrite` the plans tell the engine
// not to replace anything, so a file that appears at a target meanwhile is kept as well.
std::vector<CliFile> PlanFiles(const QStringList& sources, const FamilySettings& chosen,
                               const QString& outputFolder, const PlanRange& range, bool overwrite,
                               const QString& stillFolder, bool dryRun = false);

// "3 converted, 1 failed: clip.avi (the source is damaged)"; an interrupted run says so and
// counts the stopped and the files not started.
QString RunSummary(int converted, const std::vector<FailedRow>& failures, int stopped,
                   int notStarted, bool interrupted);

// Ctrl-C, SIGTERM, SIGHUP, SIGUSR1 and SIGUSR2 stop every running conversion as Stop does and
// start no further file; SIGPIPE is ignored, and a write to an output whose reader went away
// ends the run the same way.
void InstallStopSignals();

// Whether a stop was asked for (a signal, a broken output); RequestStop asks for one.
bool StopRequested();
void RequestStop();

// Converts the planned files with the engine, `atOnce` side by side (1: one after another
// through _X, as the window's job does), in list order as places free up, writing progress to
// `out`. Returns the exit status; the summary goes to `summaryOut`.
int ConvertFiles(std::vector<CliFile>& files, int atOnce, ProgressMode mode, FILE* out,
                 FILE* summaryOut);

// The whole program after the application object exists: reads `arguments` (without the
// program name) and does what they ask. Returns the exit status.
int RunCli(const QStringList& arguments);
