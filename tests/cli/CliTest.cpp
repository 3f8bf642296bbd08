// qor-convert run as a user runs it, on clips made with the ffmpeg command-line tool: the vector
// --dry-run prints against the job plan of the same family, profile and settings, the argument
// errors, real conversions per family followed by --json, a run with a damaged file, Ctrl-C,
// and two files at once against one at a time.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>

#include "converter/core/JobPlan.h"
#include "media/core/MediaRows.h"
#include "platform/core/EngineApi.h"
#include "platform/core/Paths.h"
#include "profiles/core/ProfileSelection.h"
#include "support/WaitUntil.h"

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

class Cli : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        // The tools come with the program's dependencies (scripts/install-deps).
        ASSERT_FALSE(QStandardPaths::findExecutable("ffmpeg").isEmpty());
        ASSERT_FALSE(QStandardPaths::findExecutable("ffprobe").isEmpty());
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    // A clip of `seconds` with a picture (`picture`, lavfi's test pattern by default) and a tone.
    QString MakeClip(const QString& name, int seconds, const QString& size = "320x240",
                     const QString& picture = "testsrc=") {
        QProcess make;
        make.start("ffmpeg",
                   {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    QString("%1size=%2:rate=25:duration=%3").arg(picture, size).arg(seconds), "-f",
                    "lavfi", "-i", QString("sine=duration=%1").arg(seconds), "-c:v", "mpeg4",
                    "-c:a", "aac", "-shortest", Path(name)});
        EXPECT_TRUE(make.waitForFinished(120000));
        return Path(name);
    }

    QProcess* Start(const QStringList& arguments,
                    const QString& program = QStringLiteral(QOR_BIN_DIR "/qor-convert")) {
        auto* process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", Path("home"));  // the default output root lies inside
        // The temporary folders (the stills) and the user's catalog, where the test sees them.
        QDir().mkpath(Path("tmp"));
        environment.insert("TMPDIR", Path("tmp"));
        environment.insert("XDG_CONFIG_HOME", Path("config"));
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
        return process;
    }

    // Waits until the --json progress shows each of `files` past 0%; `seen` collects it.
    void WaitUntilConverting(QProcess& process, const QStringList& files, QString& seen) {
        const bool converting = testsupport::WaitUntil(
            [&] {
                seen += QString::fromUtf8(process.readAllStandardOutput());
                return std::all_of(files.begin(), files.end(), [&](const QString& file) {
                    return seen.contains(
                        QRegularExpression(QString(R"("file":"%1","percent":[1-9])").arg(file)));
                });
            },
            180000);
        ASSERT_TRUE(converting) << seen.toStdString();
    }

    // The hidden partial files in `folder`.
    QStringList PartialFiles(const QString& folder) const {
        return QDir(folder).entryList({".*.part*"}, QDir::Files | QDir::Hidden);
    }

    // The temporary folders of stills the runs left.
    QStringList TemporaryFolders() const {
        return QDir(Path("tmp")).entryList({"QorConverter-*"}, QDir::Dirs | QDir::Hidden);
    }

    Result Run(const QStringList& arguments,
               const QString& program = QStringLiteral(QOR_BIN_DIR "/qor-convert")) {
        std::unique_ptr<QProcess> process(Start(arguments, program));
        EXPECT_TRUE(process->waitForFinished(300000));
        return {process->exitCode(), QString::fromUtf8(process->readAllStandardOutput()),
                QString::fromUtf8(process->readAllStandardError())};
    }

    // The output's length in seconds as ffprobe reads it; 0 when it cannot.
    double Duration(const QString& file) {
        QProcess probe;
        probe.start("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of",
                                "default=nw=1:nk=1", file});
        probe.waitForFinished(60000);
        return QString::fromUtf8(probe.readAllStandardOutput()).trimmed().toDouble();
    }

    // Waits until the --json progress shows each of `files` past 0%, then sends Ctrl-C and
    // waits for the end with status 130; `seen` collects the progress.
    void InterruptOnceConverting(QProcess& process, const QStringList& files, QString& seen) {
        ASSERT_NO_FATAL_FAILURE(WaitUntilConverting(process, files, seen));
        ::kill(pid_t(process.processId()), SIGINT);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 130);
        seen += QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir dir_;
};

TEST_F(Cli, DryRunPrintsTheJobPlanOfTheSameFamilyProfileAndSettings) {
    const QString clip = MakeClip("clip.avi", 3, "640x360");
    const struct {
        DeviceType device;
        QStringList options;  // what the command line adds
        int entry;            // the profile it picks; -1 the default
        std::function<void(OutputSettings&)> set;
        PlanRange range;
    } cases[] = {
        {Dev3GP, {}, -1, {}, {}},
        {DevPSP,
         {"--profile", "2", "--set", "letterbox=on"},
         1,
         [](OutputSettings& s) { s.letterbox = true; },
         {}},
        {DevIPOD,
         {"--set", "volume=150", "--start", "1"},
         -1,
         [](OutputSettings& s) { s.volume = 150; },
         {1, -1}},
        {DevPDA,
         {"--set", "video-kbps=300", "--start", "0.5", "--end", "2"},
         -1,
         [](OutputSettings& s) { s.videoBitRate = "300"; },
         {0.5, 2}},
        {DevMP4, {"--profile", "3"}, 2, {}, {}},
    };
    platform::SetExeFolder(QStringLiteral(QOR_BIN_DIR "/"));
    EngineFileInfo info{};
    ASSERT_EQ(Engine().GetFileinfo(clip.toUtf8().constData(), &info), 0);
    KivoProbe shown{};
    ASSERT_EQ(Engine().Probe(clip.toUtf8().constData(), &shown), 0);
    for (const auto& c : cases) {
        const DeviceInfo& family = *FindDevice(c.device);
        SCOPED_TRACE(family.section.toStdString());
        // The window: the family loaded, the picked profile applied, the panel changed.
        const ProfileSection stored = ReadProfileSection(family.section);
        FamilyProfiles loaded;
        OutputSettings settings;
        LoadFamilyProfiles(stored, family, loaded, settings);
        if (c.entry >= 0)
            ApplyBuiltInProfile(stored, family, loaded.lists, c.entry, settings);
        if (c.set)
            c.set(settings);
        MediaRow row = ProbedRow(clip, QString(), info, shown);
        row.TargetName = TargetForNewRow(clip, family.TargetExtension(settings.fileType.index), {});
        const QString out = platform::WithTrailingSeparator(Path("out"));
        RowPlan plan = PlanRow(row, settings, {c.device, family.copyStill, out}, c.range);
        plan.overwrite = false;  // without --overwrite the engine is not told to replace
        const std::vector<QString> expected = plan.Entries();

        const Result result =
            Run(QStringList{"--device", family.section, "--output", out, "--dry-run"} + c.options +
                QStringList{clip});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        // One entry a line; PDAs leave the format entry empty.
        QStringList printed = result.out.split('\n');
        printed.removeLast();
        ASSERT_EQ(printed.size(), qsizetype(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(printed[i], expected[i]) << "entry " << i;
    }
    platform::SetExeFolder(QString());
}

TEST_F(Cli, ArgumentErrorsEndWithStatusTwoAndOnePlainLine) {
    const QString clip = MakeClip("clip.avi", 1);
    const struct {
        QStringList arguments;
        QString names;  // what the line must name
    } cases[] = {
        {{"--device", "PHONE", clip}, "PHONE"},
        {{"--device", "3GP", "--profile", "99", clip}, "99"},
        {{"--device", "3GP", "--profile", "no such profile", clip}, "no such profile"},
        {{"--device", "IPOD", "--set", "channels=5.1", clip}, "Mono, Stereo"},
        {{"--device", "PSP", "--set", "speed=2", clip}, "speed"},
        {{"--device", "IPOD", "--set", "video-codec=H264", "--set", "video-kbps=20000", clip},
         "iPod"},
        {{"--device", "MP4", "--start", "5", "--end", "2", clip}, "--start"},
        {{"--device", "MP4", "--end", "0", clip}, "--end 0"},
        {{"--device", "MP4", "--start", "0", "--end", "0", clip}, "--end 0"},
        {{"--device", "MP4", "--set", "video-kbps=0", clip}, "1 to 100000"},
        {{"--device", "MP4", "--set", "video-kbps=2147483647", clip}, "2147483647"},
        {{"--device", "MP4", "--start", "soon", clip}, "soon"},
        {{"--device", "MP4"}, "no file"},
        {{clip}, "--device"},
        {{"--device", "MP4", "--bogus", clip}, "--bogus"},
        {{"--device", "3GP", "--jobs", "0", clip}, "\"0\""},
        {{"--device", "3GP", "--jobs", "65", clip}, "65"},
        {{"--device", "3GP", "--jobs", "1.5", clip}, "1.5"},
        {{"--device", "3GP", "--jobs", "many", clip}, "many"},
        {{"--device", "3GP", "--jobs=", clip}, "--jobs"},
        {{"--device", "3GP", clip, "--jobs"}, "--jobs needs a value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Result result = Run(c.arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.names)) << result.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(Path("home/KivoMp4"))) << "nothing is written on an error";
}

TEST_F(Cli, ConvertsForEveryFamilyAndReportsInJsonLines) {
    const QString clip = MakeClip("clip.avi", 2);
    for (const char* device : {"3GP", "PSP", "IPOD", "PDA", "MP4"}) {
        SCOPED_TRACE(device);
        const QString out = Path(QString("out-%1").arg(device));
        const Result result = Run({"--device", device, "--output", out, "--json", clip});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        QStringList states;
        for (const QString& line : result.out.split('\n', Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
            ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            EXPECT_EQ(object["file"].toString(), "clip.avi");
            states.append(object["state"].toString());
        }
        EXPECT_EQ(states.first(), "started");
        EXPECT_EQ(states.last(), "converted");
        const QStringList made = QDir(out).entryList({"clip.*"}, QDir::Files);
        ASSERT_FALSE(made.isEmpty());
        const QString target =
            QDir(out).filePath(made.filter(QRegularExpression("\\.(?!THM$)")).value(0));
        EXPECT_NEAR(Duration(target), 2.0, 0.2) << target.toStdString();
        EXPECT_EQ(made.contains("clip.THM"), QString(device) == "PSP");
        // Run again: the existing target is kept and the file counts as failed.
        const Result again = Run({"--device", device, "--output", out, clip});
        EXPECT_EQ(again.exitCode, 1);
        EXPECT_TRUE(again.out.contains("exists")) << again.out.toStdString();
    }
}

TEST_F(Cli, ADamagedFileAmongThreeEndsWithStatusOneAndIsNamed) {
    const QString first = MakeClip("first.avi", 1);
    const QString second = MakeClip("second.avi", 1);
    QFile damaged(Path("damaged.avi"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    const Result result =
        Run({"--device", "MP4", "--output", Path("out"), first, damaged.fileName(), second});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.contains("2 converted, 1 failed: damaged.avi ("))
        << result.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Path("out/first.MP4")));
    EXPECT_TRUE(QFileInfo::exists(Path("out/second.MP4")));
}

TEST_F(Cli, TwoAtOnceConvertEveryFileWithTheSummaryOfOneAtATime) {
    const QStringList clips = {MakeClip("a.avi", 2), MakeClip("b.avi", 2), MakeClip("c.avi", 2)};
    const struct {
        const char* jobs;
        bool json;
    } cases[] = {{"1", false}, {"2", false}, {"2", true}};
    QString oneAtATime;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "--jobs " << c.jobs << (c.json ? " --json" : ""));
        const QString out = Path(QString("out-%1-%2").arg(c.jobs).arg(c.json));
        QStringList arguments{"--device", "3GP", "--output", out, "--jobs", c.jobs};
        if (c.json)
            arguments.append("--json");
        const Result result = Run(arguments + clips);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        // The summary: on standard output, or on standard error after --json.
        const QString summary = (c.json ? result.err : result.out).trimmed().section('\n', -1);
        if (oneAtATime.isEmpty())
            oneAtATime = summary;
        EXPECT_EQ(summary, oneAtATime);
        for (const QString& clip : clips) {
            const QString name = QFileInfo(clip).fileName();
            EXPECT_NEAR(Duration(QDir(out).filePath(QFileInfo(clip).baseName() + ".3gp")), 2.0, 0.2)
                << name.toStdString();
            if (!c.json) {
                EXPECT_TRUE(result.out.contains(name + ": converting to ")) << name.toStdString();
                EXPECT_TRUE(result.out.contains(name + ": converted\n")) << name.toStdString();
                continue;
            }
            // Each file's objects name it, from "started" to "converted".
            QStringList states;
            for (const QString& line : result.out.split('\n', Qt::SkipEmptyParts)) {
                const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
                if (object["file"].toString() == name)
                    states.append(object["state"].toString());
            }
            ASSERT_FALSE(states.isEmpty()) << name.toStdString();
            EXPECT_EQ(states.first(), "started");
            EXPECT_EQ(states.last(), "converted");
        }
    }
    EXPECT_EQ(oneAtATime, "3 converted");
}

// Camera clips share names and episodes differ only after their first dot: every file keeps an
// output of its own, and each PSP thumbnail shows its own source.
TEST_F(Cli, NamesakesAndEpisodesKeepOutputsAndThumbnailsOfTheirOwn) {
    QStringList sources;
    for (const QString colour : {"red", "blue"}) {
        QDir().mkpath(Path(colour));
        sources << MakeClip(colour + "/beach.avi", 1, "320x240", "color=c=" + colour + ":");
    }
    sources << MakeClip("Show.S01E01.720p.avi", 1) << MakeClip("Show.S01E02.720p.avi", 1);
    const Result result = Run(QStringList{"--device", "PSP", "--output", Path("out")} + sources);
    ASSERT_EQ(result.exitCode, 0) << result.out.toStdString() << result.err.toStdString();
    QStringList made = QDir(Path("out")).entryList(QDir::Files);
    made.sort();
    EXPECT_EQ(made, QStringList({"Show.S01E01.720p.MP4", "Show.S01E01.720p.THM",
                                 "Show.S01E02.720p.MP4", "Show.S01E02.720p.THM", "beach (2).MP4",
                                 "beach (2).THM", "beach.MP4", "beach.THM"}));
    // Each thumbnail's colour, averaged over the picture by ffmpeg.
    const struct {
        const char* thm;
        int red, blue;
    } thumbnails[] = {{"beach.THM", 255, 0}, {"beach (2).THM", 0, 255}};
    for (const auto& t : thumbnails) {
        SCOPED_TRACE(t.thm);
        QProcess average;
        average.start("ffmpeg",
                      {"-loglevel", "error", "-i", Path(QString("out/") + t.thm), "-vf",
                       "scale=1:1:flags=area", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
        ASSERT_TRUE(average.waitForFinished(60000));
        const QByteArray rgb = average.readAllStandardOutput();
        ASSERT_EQ(rgb.size(), 3);
        EXPECT_NEAR(uchar(rgb[0]), t.red, 40);
        EXPECT_NEAR(uchar(rgb[2]), t.blue, 40);
    }
}

TEST_F(Cli, InterruptStopsTheRunningFilesKeepsThemPlayableAndStartsNoOther) {
    const QStringList clips = {MakeClip("first.avi", 60, "640x480"),
                               MakeClip("second.avi", 60, "640x480")};
    const QString next = MakeClip("next.avi", 1);
    const struct {
        const char* jobs;
        QStringList running;
        const char* summary;
    } cases[] = {
        {"1", {"first.avi"}, "Interrupted: 0 converted, 1 stopped, 1 not started"},
        {"2", {"first.avi", "second.avi"}, "Interrupted: 0 converted, 2 stopped, 1 not started"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "--jobs " << c.jobs);
        const QString out = Path(QString("out-%1").arg(c.jobs));
        std::unique_ptr<QProcess> process(
            Start(QStringList{"--device", "MP4", "--output", out, "--jobs", c.jobs, "--json"} +
                  clips.mid(0, c.running.size()) + QStringList{next}));
        QString seen;
        ASSERT_NO_FATAL_FAILURE(InterruptOnceConverting(*process, c.running, seen));
        const QString summary = QString::fromUtf8(process->readAllStandardError());
        EXPECT_EQ(seen.count("\"stopped\""), c.running.size()) << seen.toStdString();
        EXPECT_FALSE(seen.contains("next.avi"));
        EXPECT_TRUE(summary.contains(c.summary)) << summary.toStdString();
        for (const QString& file : c.running)
            EXPECT_GT(Duration(out + "/" + QFileInfo(file).baseName() + ".MP4"), 0.0);
        EXPECT_FALSE(QFileInfo::exists(out + "/next.MP4"));
    }
}

TEST_F(Cli, EveryCatchableEndingFinalisesAndLeavesNoLitter) {
    const QString clip = MakeClip("long.avi", 60, "640x480");
    const struct {
        const char* name;
        int signal;  // 0: the reader of the output goes away
    } cases[] = {
        {"SIGHUP", SIGHUP},
        {"SIGTERM", SIGTERM},
        {"SIGUSR1", SIGUSR1},
        {"SIGPIPE: the output piped into a reader that ends", 0},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = Path(QString("out%1").arg(++round));
        // The PSP family keeps stills for its THM files in a temporary folder.
        const QStringList arguments = {"--device", "PSP", "--json", "--output", out, clip};
        if (c.signal == 0) {
            // As a user pipes it: "head -1" takes the first line and ends, the next write meets
            // a closed pipe. The shell notes the program's own status.
            const QString status = Path("status");
            std::unique_ptr<QProcess> shell(
                Start(QStringList{"-c", "(\"$0\" \"$@\"; echo $? > " + status + ") | head -1",
                                  QStringLiteral(QOR_BIN_DIR "/qor-convert")} +
                          arguments,
                      "/bin/sh"));
            ASSERT_TRUE(shell->waitForFinished(120000));
            QFile statusFile(status);
            ASSERT_TRUE(statusFile.open(QIODevice::ReadOnly));
            EXPECT_EQ(statusFile.readAll().trimmed(), "130");
        } else {
            std::unique_ptr<QProcess> process(Start(arguments));
            QString seen;
            ASSERT_NO_FATAL_FAILURE(WaitUntilConverting(*process, {"long.avi"}, seen));
            ASSERT_FALSE(PartialFiles(out).isEmpty()) << "converting into a partial file";
            ::kill(pid_t(process->processId()), c.signal);
            ASSERT_TRUE(process->waitForFinished(60000));
            EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process->exitCode(), 130);
        }
        EXPECT_EQ(PartialFiles(out), QStringList());
        EXPECT_EQ(TemporaryFolders(), QStringList());
        EXPECT_GT(Duration(out + "/long.MP4"), 0.0) << "the part converted is finalised";
    }
}

TEST_F(Cli, ARunAfterAKillRemovesTheStalePartialFiles) {
    const QString clip = MakeClip("long.avi", 60, "640x480");
    const QString next = MakeClip("next.avi", 1);
    const QString out = Path("out");
    std::unique_ptr<QProcess> process(Start({"--device", "MP4", "--json", "--output", out, clip}));
    QString seen;
    ASSERT_NO_FATAL_FAILURE(WaitUntilConverting(*process, {"long.avi"}, seen));
    const QString killed = QString::number(process->processId());
    ::kill(pid_t(process->processId()), SIGKILL);
    ASSERT_TRUE(process->waitForFinished(60000));
    const QStringList left = PartialFiles(out);
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left.front().startsWith(".long.MP4.part" + killed + "-"))
        << left.front().toStdString();

    const Result result = Run({"--device", "MP4", "--output", out, next});
    EXPECT_EQ(result.exitCode, 0) << result.out.toStdString();
    EXPECT_EQ(PartialFiles(out), QStringList());
    EXPECT_GT(Duration(out + "/next.MP4"), 0.0);
}

TEST_F(Cli, WhatIsNoFileOrWouldDestroyItsSourceIsRefusedAtOnce) {
    const QString clip = MakeClip("clip.MP4", 1);
    const QByteArray original = [&] {
        QFile file(clip);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("pipe.avi")).constData(), 0644), 0);
    ASSERT_TRUE(QDir().mkpath(Path("folder.avi")));
    const struct {
        QStringList arguments;
        QString says;
    } cases[] = {
        {{"--device", "MP4", "--output", Path("out"), Path("pipe.avi")}, "not a regular file"},
        // A folder stands for the media files inside it; this one has none.
        {{"--device", "MP4", "--output", Path("out"), Path("folder.avi")},
         "it is a folder without media files"},
        {{"--device", "MP4", "--output", Path("out"), "/dev/zero"}, "not a regular file"},
        {{"--device", "MP4", "--output", Path(""), clip}, "is the source itself"},
        {{"--device", "MP4", "--output", Path(""), "--overwrite", clip}, "is the source itself"},
        {{"--device", "MP4", "--output", Path("sub/.."), "--overwrite", clip},
         "is the source itself"},
    };
    QDir().mkpath(Path("sub"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        std::unique_ptr<QProcess> process(Start(c.arguments));
        ASSERT_TRUE(process->waitForFinished(30000)) << "it waited for the source";
        EXPECT_EQ(process->exitCode(), 1);
        const QString out = QString::fromUtf8(process->readAllStandardOutput());
        EXPECT_TRUE(out.contains(c.says)) << out.toStdString();
    }
    QFile file(clip);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll() == original) << "the source is untouched";
}

// An old Latin-1 name: made, passed and looked for by its bytes, and probed by them as well, so
// that its plan is its plain namesake's (the letterbox its wide pixels ask for included).
TEST_F(Cli, ASourceWhoseNameIsNotUtf8IsPlannedAndConvertedAsItsPlainNamesake) {
    const QString clip = MakeClip("clip.avi", 1, "640x480", "testsrc=sar=16/9:");
    const QByteArray latin1 = QFile::encodeName(Path("caf")) + "\xe9.avi";
    ASSERT_EQ(::link(QFile::encodeName(clip).constData(), latin1.constData()), 0);
    // The shell hands the name's bytes over as they are.
    const auto run = [&](const QString& options) {
        return Run({"-c",
                    "exec \"$0\" --device PSP --output \"$1\" --set letterbox=on $3 "
                    "\"$(printf '%s\\351.avi' \"$2\")\"",
                    QStringLiteral(QOR_BIN_DIR "/qor-convert"), Path("out"), Path("caf"), options},
                   "/bin/sh");
    };
    // The plans without the lines that name the source or the target.
    const auto plan = [](const Result& result) {
        return result.out.split('\n')
            .filter(QRegularExpression("^(?!.*(clip|caf))"))
            .join(' ')
            .toStdString();
    };
    const Result plain = Run(
        {"--device", "PSP", "--output", Path("out"), "--set", "letterbox=on", "--dry-run", clip});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(plan(run("--dry-run")), plan(plain));
    const Result converted = run("");
    EXPECT_EQ(converted.exitCode, 0) << converted.out.toStdString();
    const QByteArray target = QFile::encodeName(Path("out/caf")) + "\xe9.MP4";
    struct stat info;
    EXPECT_EQ(::stat(target.constData(), &info), 0) << "the target keeps the name's bytes";
    // The temporary folder's clean-up cannot name them: they go by their bytes.
    for (const QByteArray& made : {latin1, target, target.chopped(3) + "THM"})
        ::unlink(made.constData());
}

TEST_F(Cli, ADamagedCatalogIsNamedWithTheWayBack) {
    // An installation for all users: each user converts with a copy of the catalog.
    const QString install = Path("install/");
    ASSERT_TRUE(QDir().mkpath(install));
    for (const char* name : {"qor-convert", "libkivoengine.so", "KivoMp4.dll"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(QOR_BIN_DIR "/") + name, install + name));
        QFile::setPermissions(install + name,
                              QFile::permissions(install + name) | QFile::WriteOwner);
    }
    QFile(install + "installed-for-all-users").open(QIODevice::WriteOnly);
    const auto run = [&](const QStringList& arguments) {
        return Run(arguments, install + "qor-convert");
    };
    ASSERT_EQ(run({"--list-profiles"}).exitCode, 0);
    const QString copy = Path("config/QorConverter/KivoMp4.dll");
    ASSERT_TRUE(QFileInfo::exists(copy));
    const QString clip = MakeClip("clip.avi", 1);
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {{"empty", ""}, {"garbage", QByteArray("\x00\xff garbage\n", 11)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            QFile file(copy);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.content);
        }
        for (const QStringList& arguments :
             {QStringList{"--list-profiles"}, QStringList{"--device", "MP4", clip}}) {
            const Result refused = run(arguments);
            EXPECT_EQ(refused.exitCode, 2);
            EXPECT_TRUE(refused.err.contains(copy)) << refused.err.toStdString();
            EXPECT_TRUE(refused.err.contains("--restore-catalog")) << refused.err.toStdString();
        }
        QFile::remove(copy + ".damaged");
        const Result restored = run({"--restore-catalog"});
        EXPECT_EQ(restored.exitCode, 0) << restored.err.toStdString();
        EXPECT_TRUE(restored.err.contains(copy + ".damaged")) << restored.err.toStdString();
        QFile kept(copy + ".damaged");
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_TRUE(kept.readAll() == c.content);
        EXPECT_EQ(run({"--list-profiles"}).exitCode, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST_F(Cli, AFolderConvertsTheMediaFilesInsideItAsTheWindowTakesThem) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath("clips/inner"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath("nothing"));
    MakeClip("clips/a.mkv", 1);
    MakeClip("clips/b.mov", 1);
    MakeClip("clips/inner/c.avi", 1);  // sub-folders are not entered
    QFile notes(Path("clips/notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();
    const Result result =
        Run({"--device", "MP4", "--output", Path("out"), "--json", Path("clips"), Path("nothing")});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList({"a.MP4", "b.MP4"}));
    QStringList converted;
    for (const QString& line : result.out.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        if (object["state"] == "converted") {
            converted << object["source"].toString();
            EXPECT_EQ(object["target"].toString(),
                      Path("out/" + QFileInfo(object["source"].toString()).baseName() + ".MP4"));
        }
        if (object["state"] == "failed") {
            EXPECT_EQ(object["source"].toString(), Path("nothing"));
            EXPECT_EQ(object["reason"].toString(), "it is a folder without media files");
        }
    }
    EXPECT_EQ(converted, QStringList({Path("clips/a.mkv"), Path("clips/b.mov")}));
}
