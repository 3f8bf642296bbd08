// Run and Stop with the real engine: clips made with the ffmpeg command-line tool are added,
// converted with each family's default profile and probed with ffprobe. A 10 ms timer measures
// how late the window's thread gets to it while the engine works.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <thread>

#include "converter/Txconverter.h"
#include "converter/core/ArgumentVector.h"
#include "media/package/ListImagePanel.h"
#include "platform/JpegImage.h"
#include "platform/core/ByteNames.h"
#include "platform/core/EngineApi.h"
#include "platform/core/Paths.h"
#include "skin/ImageButton.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

const QString kJobFinished = "Process Info :  Job Finished.";
const QString kStoppedByUser = "Process Info :  Stoped by user.";

double g_worstLateness = 0;
std::string g_worstLatenessWhen;
double g_idleLateness = -1;  // the same timer with no job, for comparison on a busy machine

// The worst lateness of a 10 ms timer on the window's thread while a job runs, with what the
// status line said at that moment.
class LatenessProbe {
public:
    explicit LatenessProbe(Txconverter* window) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this, window] {
            const qint64 now = clock_.nsecsElapsed();
            const double late = last_ > 0 ? (now - last_) / 1e6 - 10.0 : 0;
            if (late > worst_) {
                worst_ = late;
                when_ = QString("row %1, \"%2\"")
                            .arg(window->CurrentRow)
                            .arg(window->Converting_Infor->text())
                            .toStdString();
            }
            last_ = now;
        });
        clock_.start();
        timer_.start();
    }
    // Ends the measurement: what the test itself does afterwards (probing) is not counted.
    double Stop() {
        timer_.stop();
        if (worst_ > g_worstLateness) {
            g_worstLateness = worst_;
            g_worstLatenessWhen = when_;
        }
        return worst_;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    double worst_ = 0;
    std::string when_;
};

// Runs the window's event loop until `done` holds or `ms` have passed.
bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(name);
}

// A clip of `seconds` from the lavfi picture source `picture` with a tone, in MPEG-4 and `audio`
// (the tone's switches).
bool MakeClipOf(const QString& path, const QString& picture, double seconds,
                const QString& audio = "-c:a aac") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QProcess make;
    const QString tone = "sine=frequency=440:sample_rate=44100";
    make.start(Tool("ffmpeg"), QString("-v error -y -f lavfi -i %1 -f lavfi -i %2 -t %3 -c:v mpeg4 "
                                       "-q:v 5 %4")
                                       .arg(picture, tone, QString::number(seconds), audio)
                                       .split(' ')
                                   << path);
    return make.waitForFinished(120000) && make.exitCode() == 0;
}

// A 320x240 clip at 25 frames a second with a stereo tone in `audioCodec`.
bool MakeClip(const QString& path, int seconds, const QString& audioCodec) {
    return MakeClipOf(path, "testsrc=size=320x240:rate=25", seconds, "-ac 2 -c:a " + audioCodec);
}

struct Probed {
    bool ok = false;
    QString formatName, brand;
    double duration = 0;
    QString videoCodec;
    int width = 0, height = 0;
    double fps = 0;
    QString audioCodec;
    int sampleRate = 0, channels = 0;
    std::string raw;  // what ffprobe said, for failure messages
};

double Fraction(const QString& text) {
    const QStringList parts = text.split('/');
    if (parts.size() != 2 || parts[1].toDouble() == 0)
        return text.toDouble();
    return parts[0].toDouble() / parts[1].toDouble();
}

Probed Probe(const QString& path) {
    QProcess probe;
    probe.start(Tool("ffprobe"),
                {"-v", "error", "-print_format", "json", "-show_format", "-show_streams", path});
    Probed result;
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return result;
    const QJsonObject root = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    const QJsonObject format = root["format"].toObject();
    result.formatName = format["format_name"].toString();
    result.brand = format["tags"].toObject()["major_brand"].toString();
    result.duration = format["duration"].toString().toDouble();
    for (const QJsonValue& value : root["streams"].toArray()) {
        const QJsonObject stream = value.toObject();
        if (stream["codec_type"] == "video") {
            result.videoCodec = stream["codec_name"].toString();
            result.width = stream["width"].toInt();
            result.height = stream["height"].toInt();
            result.fps = Fraction(stream["avg_frame_rate"].toString());
        } else if (stream["codec_type"] == "audio") {
            result.audioCodec = stream["codec_name"].toString();
            result.sampleRate = stream["sample_rate"].toString().toInt();
            result.channels = stream["channels"].toInt();
        }
    }
    result.ok = true;
    return result;
}

// The AAC rates, as the engine picks the one nearest to what was asked.
int NearestAacRate(int64_t asked) {
    static const int rates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                22050, 16000, 12000, 11025, 8000,  7350};
    int best = rates[0];
    for (int rate : rates) {
        if (std::llabs(rate - asked) < std::llabs(best - asked))
            best = rate;
    }
    return best;
}

QString CodecName(const QString& setting) {
    const QString codec = setting.toLower();
    return codec == "xvid" ? QString("mpeg4") : codec;
}

class JobRunnerEngine : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (Tool("ffmpeg").isEmpty() || Tool("ffprobe").isEmpty())
            return;
        clips_ = std::make_unique<QTemporaryDir>();
        ready_ = MakeClip(clips_->filePath("first clip.mp4"), 2, "aac") &&
                 MakeClip(clips_->filePath("second.avi"), 2, "pcm_s16le") &&
                 MakeClip(clips_->filePath("third.mp4"), 2, "aac") &&
                 MakeClip(clips_->filePath("fourth.mp4"), 3, "aac") &&
                 MakeClip(clips_->filePath("long one.mp4"), 12, "aac") &&
                 MakeClip(clips_->filePath("long two.mp4"), 12, "aac") &&
                 MakeClip(clips_->filePath("long three.mp4"), 12, "aac");
    }
    static void TearDownTestSuite() {
        clips_.reset();
        std::cout << "[ lateness ] worst UI-thread timer lateness during conversions: "
                  << g_worstLateness << " ms (" << g_worstLatenessWhen
                  << "); with no job: " << g_idleLateness << " ms" << std::endl;
    }

    void SetUp() override {
        // The tools come with the program's dependencies: without them the test fails.
        ASSERT_TRUE(ready_) << "the ffmpeg tool could not make the clips";
        SetEngine(nullptr);
        window_ = std::make_unique<Txconverter>();
        if (g_idleLateness < 0) {
            const double before = g_worstLateness;
            LatenessProbe idle(window_.get());
            WaitFor([] { return false; }, 1000);
            idle.Stop();
            g_idleLateness = g_worstLateness;
            g_worstLateness = before;
        }
    }

    Txconverter& w() { return *window_; }

    void Open(DeviceType device, const QStringList& clips) {
        w().CurrentDevice = device;
        w().FormShow();
        for (const QString& clip : clips) {
            dialogs_.openAnswers.push_back(clips_->filePath(clip));
            w().FileAddClick(w().FileAdd);
        }
        WaitFor([this] { return !w().AddsPending(); }, 60000);
    }

    QString Output(int row) {
        return w().OutputFolder->Text().trimmed() + w().ListImagePanel->GetItem(row)->TargetName;
    }

    // Presses Run and waits for the job to end. Keeps the
    // worst lateness of the window's thread during the job in `worstLateness_`.
    void RunToEnd(int seconds) {
        lateness_ = std::make_unique<LatenessProbe>(window_.get());
        w().Run->Click();
        const bool ended = WaitFor([this] { return !w().JobRunning(); }, seconds * 1000);
        worstLateness_ = lateness_->Stop();
        ASSERT_TRUE(ended) << w().Converting_Infor->text().toStdString();
    }

    // "Files converted at once" set to `count` (kept in this test's own catalog).
    void FilesAtOnce(int count) { w().FilesAtOnceChoices.at(size_t(count - 1))->trigger(); }

    FakeDialogs dialogs_;
    ScratchInstall install_;
    std::unique_ptr<Txconverter> window_;
    std::unique_ptr<LatenessProbe> lateness_;
    double worstLateness_ = 0;
    static inline std::unique_ptr<QTemporaryDir> clips_;
    static inline bool ready_ = false;
};

TEST_F(JobRunnerEngine, EachFamilyConvertsTwoClipsWithItsDefaultProfile) {
    const struct {
        DeviceType device;
        const char* name;
    } families[] = {
        {Dev3GP, "3GP"}, {DevPSP, "PSP"}, {DevIPOD, "IPOD"}, {DevPDA, "PDA"}, {DevMP4, "MP4"},
    };
    for (const auto& f : families) {
        SCOPED_TRACE(f.name);
        Open(f.device, {"first clip.mp4", "second.avi"});
        ASSERT_TRUE(dialogs_.messages.empty()) << dialogs_.LastText().toStdString();
        ASSERT_EQ(w().ListImagePanel->ItemCount, 2);

        // What the default profile asks for.
        const QString codec = CodecName(w().combox_videoformat->Text());
        const FrameSize size = ParseFrameSize(w().combox_resolution->Text().toLower());
        const double fps = w().combox_framerate->Text().toDouble();
        const AudioRates audio =
            ApplyAudioRateRule(w().ab_dropdown->Text(), w().combox_audioHZ->Text());
        const int channels = w().combox_audiochannels->ItemIndex() + 1;
        const QString format = OutputFormat(f.device, w().combox_outfiletype->ItemIndex());

        RunToEnd(120);
        ASSERT_EQ(w().Converting_Infor->text(), kJobFinished);
        EXPECT_EQ(w().ProgressTotal->Position(), 2);
        for (int row = 0; row < 2; ++row) {
            SCOPED_TRACE(row);
            const QString output = Output(row);
            ASSERT_TRUE(QFile::exists(output)) << output.toStdString();
            const Probed probed = Probe(output);
            ASSERT_TRUE(probed.ok) << output.toStdString();
            EXPECT_TRUE(probed.formatName.contains("mp4")) << probed.formatName.toStdString();
            if (format == "3gp" || format == "3g2") {
                EXPECT_TRUE(probed.brand.startsWith(format)) << probed.brand.toStdString();
            }
            EXPECT_NEAR(probed.duration, 2.0, 0.3);
            EXPECT_EQ(probed.videoCodec, codec);
            EXPECT_EQ(probed.width, size.width);
            EXPECT_EQ(probed.height, size.height);
            EXPECT_NEAR(probed.fps, fps, 0.05);
            EXPECT_EQ(probed.audioCodec, "aac");
            EXPECT_EQ(probed.sampleRate, NearestAacRate(audio.sampleRate));
            EXPECT_EQ(probed.channels, channels == 0 ? 2 : channels);
            if (f.device == DevPSP) {
                QString thm = output;
                thm.chop(3);
                thm += "THM";
                EXPECT_EQ(platform::LoadJpeg(thm).size(), QSize(160, 120)) << thm.toStdString();
            }
        }
        w().FormClose();
    }
}

TEST_F(JobRunnerEngine, TheSourceIsNeverItsOwnTargetAndALatin1NameConverts) {
    // Both in the clips' folder, which becomes the output folder: the MP4 family names the
    // target of "self.MP4" "self.MP4". The window always tells the engine to replace.
    QTemporaryDir folder;
    const QString self = folder.filePath("self.MP4");
    ASSERT_TRUE(QFile::copy(clips_->filePath("third.mp4"), self));
    QFile source(self);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray original = source.readAll();
    const QByteArray latin1 = QFile::encodeName(folder.filePath("caf")) + "\xe9.mp4";
    ASSERT_EQ(::link(QFile::encodeName(self).constData(), latin1.constData()), 0);

    w().CurrentDevice = DevMP4;
    w().FormShow();
    for (const QString& path : {self, platform::PathFromBytes(latin1)}) {
        dialogs_.openAnswers.push_back(path);
        w().FileAddClick(w().FileAdd);
    }
    WaitFor([this] { return !w().AddsPending(); }, 60000);
    ASSERT_TRUE(dialogs_.messages.empty()) << dialogs_.LastText().toStdString();
    ASSERT_EQ(w().ListImagePanel->ItemCount, 2);
    const QString output = platform::WithTrailingSeparator(folder.path()) + "out";
    QDir().mkpath(output);
    w().OutputFolder->SetText(output);
    // First both convert into another folder, then the first into its own folder.
    w().Run->Click();
    ASSERT_TRUE(WaitFor([this] { return !w().JobRunning(); }, 120000));
    w().OutputFolder->SetText(folder.path());
    dialogs_.openAnswers.clear();
    w().ListImagePanel->SelectItem(1);
    w().ListImagePanel->RemoveItem();
    ASSERT_EQ(w().ListImagePanel->ItemCount, 1);
    w().Run->Click();
    ASSERT_TRUE(WaitFor([this] { return !w().JobRunning(); }, 120000));

    const TItemPanel* row = w().ListImagePanel->GetItem(0);
    EXPECT_TRUE(row->OutcomeFailed);
    EXPECT_TRUE(row->OutcomeMark.contains("source itself")) << row->OutcomeMark.toStdString();
    ASSERT_TRUE(source.seek(0));
    EXPECT_TRUE(source.readAll() == original) << "the source is untouched";
    const QByteArray converted = QFile::encodeName(output) + "/caf\xe9.MP4";
    EXPECT_EQ(::access(converted.constData(), F_OK), 0)
        << "the Latin-1 name converted under its own bytes";
    // The temporary folder's clean-up cannot name them: they go by their bytes.
    for (const QByteArray& made : {latin1, converted})
        ::unlink(made.constData());
}

TEST_F(JobRunnerEngine, TheMarkedRangeConvertsOnlyWhileTheSwitchIsOn) {
    Open(DevMP4, {"long one.mp4"});
    ASSERT_EQ(w().ListImagePanel->ItemCount, 1);
    TItemPanel* row = w().ListImagePanel->GetItem(0);
    row->StartPoint = 2;
    row->EndPoint = 5;
    const struct {
        bool on;
        double seconds;
    } runs[] = {{true, 3.0}, {false, 12.0}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.on);
        if (w().ConvertMarkedRange->isChecked() != run.on)
            w().ConvertMarkedRange->trigger();
        dialogs_.chooseAnswers.push_back(0);  // the second run replaces the first's output
        RunToEnd(240);
        ASSERT_EQ(w().Converting_Infor->text(), kJobFinished);
        const Probed output = Probe(Output(0));
        ASSERT_TRUE(output.ok) << output.raw;
        EXPECT_NEAR(output.duration, run.seconds, 0.15);
    }
}

// Takes the vector the window's runner hands the engine and ends the conversion at once, as a
// finished one, from a thread of its own.
class VectorRecorder : public EngineApi {
public:
    int Init() override { return 0; }
    int GetFileinfo(const char*, EngineFileInfo*) override { return -1; }
    int GetPicure(const char*, int, const char*, const char*) override { return -1; }
    KivoConversion* StartConversion(int argc, const char* const* argv,
                                    const KivoConversionEvents* events) override {
        vector = QStringList();
        for (int i = 0; i < argc; ++i)
            vector << QString::fromUtf8(argv[i]);
        const KivoConversionEvents copy = *events;
        std::thread([copy] {
            KivoEnd end{};
            end.outcome = KIVO_CONVERSION_FINISHED;
            end.text = end.path = "";
            copy.end(copy.user, &end);
        }).join();
        return reinterpret_cast<KivoConversion*>(1);
    }
    QStringList vector;
};

// qor-convert --dry-run prints, entry by entry, the vector the window's runner hands the engine
// for the same family, default profile and file, and for a marked range with the switch on.
TEST_F(JobRunnerEngine, TheCommandLineGivesTheWindowsVector) {
    const QString clip = clips_->filePath("long one.mp4");
    const struct {
        DeviceType device;
        const char* name;
        int markStart, markEnd;  // -1: the row's own marks, the switch off
    } cases[] = {{Dev3GP, "3GP", -1, -1}, {DevPSP, "PSP", -1, -1}, {DevIPOD, "IPOD", -1, -1},
                 {DevPDA, "PDA", -1, -1}, {DevMP4, "MP4", -1, -1}, {DevMP4, "MP4", 2, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.markStart));
        Open(c.device, {"long one.mp4"});
        ASSERT_EQ(w().ListImagePanel->ItemCount, 1) << dialogs_.LastText().toStdString();
        const bool ranged = c.markStart >= 0;
        if (ranged) {
            w().ListImagePanel->GetItem(0)->StartPoint = c.markStart;
            w().ListImagePanel->GetItem(0)->EndPoint = c.markEnd;
        }
        if (w().ConvertMarkedRange->isChecked() != ranged)
            w().ConvertMarkedRange->trigger();
        VectorRecorder recorder;
        SetEngine(&recorder);
        w().Run->Click();
        const bool ended = WaitFor([this] { return !w().JobRunning(); }, 30000);
        SetEngine(nullptr);
        ASSERT_TRUE(ended);
        ASSERT_EQ(recorder.vector.size(), ranged ? 38 : 36);

        QStringList arguments = {
            "--device", c.name, "--output", w().OutputFolder->Text().trimmed(), "--dry-run",
            // The window always replaces ("-y"); the command line only when asked.
            "--overwrite", clip};
        if (ranged)
            arguments << "--start" << QString::number(c.markStart) << "--end"
                      << QString::number(c.markEnd);
        QProcess cli;
        cli.start(QStringLiteral(QOR_BIN_DIR "/qor-convert"), arguments);
        ASSERT_TRUE(cli.waitForFinished(60000));
        ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        QStringList printed = QString::fromUtf8(cli.readAllStandardOutput()).split('\n');
        printed.removeLast();
        EXPECT_EQ(printed, recorder.vector);
        w().FormClose();
    }
    if (w().ConvertMarkedRange->isChecked())
        w().ConvertMarkedRange->trigger();
}

TEST_F(JobRunnerEngine, StopDuringAThreeRowJobKeepsTheStoppedRowPlayable) {
    Open(DevMP4, {"long one.mp4", "long two.mp4", "long three.mp4"});
    ASSERT_EQ(w().ListImagePanel->ItemCount, 3);
    lateness_ = std::make_unique<LatenessProbe>(window_.get());
    w().Run->Click();
    // Stop once the second row has a quarter of its output.
    const bool inSecondRow = WaitFor(
        [this] {
            const int position = w().ProgressFile->Position();
            return !w().JobRunning() || (w().CurrentRow == 1 && position >= 25 && position < 100);
        },
        240000);
    ASSERT_TRUE(inSecondRow);
    ASSERT_TRUE(w().JobRunning()) << "the engine did not convert ("
                                  << w().Converting_Infor->text().toStdString() << ")";
    w().Stop->Click();
    const bool stopped =
        WaitFor([this] { return w().Converting_Infor->text() == kStoppedByUser; }, 30000);
    lateness_->Stop();
    ASSERT_TRUE(stopped) << w().Converting_Infor->text().toStdString();
    EXPECT_EQ(w().ProgressTotal->Position(), 2);

    const Probed first = Probe(Output(0));
    EXPECT_NEAR(first.duration, 12.0, 0.5);
    const Probed second = Probe(Output(1));
    ASSERT_TRUE(second.ok) << "the stopped row's file cannot be read: " << second.raw;
    EXPECT_GT(second.duration, 0.0);
    EXPECT_LE(second.duration, 12.1);  // usually cut short; the stop may come late
    EXPECT_EQ(second.videoCodec, CodecName(w().combox_videoformat->Text())) << second.raw;
    EXPECT_FALSE(QFile::exists(Output(2)));
    // The stopped row says what it kept; it is not a failure.
    const QString mark = w().ListImagePanel->GetItem(1)->OutcomeMark;
    EXPECT_TRUE(mark.startsWith("stopped: the first ") && mark.endsWith(" kept"))
        << mark.toStdString();
    EXPECT_EQ(w().ListImagePanel->GetItem(0)->OutcomeMark, "");
}

TEST_F(JobRunnerEngine, ADamagedSecondSourceIsReportedAndMarkedTheOthersConvert) {
    const QString damaged = clips_->filePath("damaged.mp4");
    QFile::remove(damaged);
    ASSERT_TRUE(QFile::copy(clips_->filePath("first clip.mp4"), damaged));
    Open(DevMP4, {"first clip.mp4", "damaged.mp4", "second.avi"});
    ASSERT_EQ(w().ListImagePanel->ItemCount, 3);
    // Damaged after it was added: the index at its end is cut away.
    QFile file(damaged);
    ASSERT_TRUE(file.resize(file.size() * 2 / 3));
    for (int row = 0; row < 3; ++row)
        QFile::remove(Output(row));

    RunToEnd(240);
    EXPECT_EQ(w().Converting_Infor->text(),
              kJobFinished + " 1 of 3 files failed: damaged.mp4 (the source is damaged)");
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const TItemPanel* item = w().ListImagePanel->GetItem(unsigned(row));
        if (row == 1) {
            EXPECT_EQ(item->OutcomeMark, "failed: the source is damaged");
            EXPECT_TRUE(item->OutcomeFailed);
            EXPECT_FALSE(QFile::exists(Output(row)));
        } else {
            EXPECT_EQ(item->OutcomeMark, "");
            EXPECT_TRUE(Probe(Output(row)).ok) << Output(row).toStdString();
        }
    }
}

// Camera clips are all called alike: each PSP output gets the THM of its own source, and a
// conversion that fails leaves none.
TEST_F(JobRunnerEngine, PspNamesakesGetThumbnailsOfTheirOwn) {
    const QString red = clips_->filePath("red/beach.mp4");
    const QString blue = clips_->filePath("blue/beach.mp4");
    const QString broken = clips_->filePath("broken/beach.mp4");
    ASSERT_TRUE(MakeClipOf(red, "color=c=red:size=320x240:rate=25", 2));
    ASSERT_TRUE(MakeClipOf(blue, "color=c=blue:size=320x240:rate=25", 2));
    ASSERT_TRUE(MakeClipOf(broken, "color=c=green:size=320x240:rate=25", 2));
    w().CurrentDevice = DevPSP;
    w().FormShow();
    for (const QString& clip : {red, blue, broken}) {
        dialogs_.openAnswers.push_back(clip);
        w().FileAddClick(w().FileAdd);
    }
    WaitFor([this] { return !w().AddsPending(); }, 60000);
    ASSERT_EQ(w().ListImagePanel->ItemCount, 3);
    // Broken after it was added: its index at the end is cut away.
    QFile file(broken);
    ASSERT_TRUE(file.resize(file.size() / 4));
    const QString thm[] = {"beach.THM", "beach (2).THM", "beach (3).THM"};
    for (int row = 0; row < 3; ++row) {
        QFile::remove(Output(row));
        QFile::remove(w().OutputFolder->Text().trimmed() + thm[row]);
    }
    EXPECT_NE(w().ListImagePanel->GetItem(0)->PicturePath,
              w().ListImagePanel->GetItem(1)->PicturePath);

    RunToEnd(240);
    EXPECT_TRUE(w().Converting_Infor->text().startsWith(kJobFinished + " 1 of 3 files failed"))
        << w().Converting_Infor->text().toStdString();
    const QColor colours[] = {Qt::red, Qt::blue};
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        const QString path = w().OutputFolder->Text().trimmed() + thm[row];
        const QImage picture = platform::LoadJpeg(path);
        ASSERT_EQ(picture.size(), QSize(160, 120)) << path.toStdString();
        // The middle of the picture has its own source's colour, within JPEG's error.
        const QColor middle = picture.pixelColor(80, 60);
        EXPECT_NEAR(middle.red(), colours[row].red(), 40) << middle.name().toStdString();
        EXPECT_NEAR(middle.green(), colours[row].green(), 40) << middle.name().toStdString();
        EXPECT_NEAR(middle.blue(), colours[row].blue(), 40) << middle.name().toStdString();
    }
    EXPECT_TRUE(w().ListImagePanel->GetItem(2)->OutcomeFailed);
    EXPECT_FALSE(QFile::exists(w().OutputFolder->Text().trimmed() + thm[2]));
}

// A downloaded episode keeps the dots of its name, and its whole length converts: the last
// frames are not cut at the last whole second.
TEST_F(JobRunnerEngine, AnEpisodeKeepsItsNameAndItsEnd) {
    const QString episode = clips_->filePath("Show.S01E01.720p.mp4");
    ASSERT_TRUE(MakeClipOf(episode, "testsrc=size=320x240:rate=25", 4.92));
    Open(DevMP4, {"Show.S01E01.720p.mp4"});
    ASSERT_EQ(w().ListImagePanel->ItemCount, 1);
    const TItemPanel* row = w().ListImagePanel->GetItem(0);
    EXPECT_EQ(row->TargetName, "Show.S01E01.720p.MP4");
    EXPECT_NEAR(row->Duration, 4.92, 0.05);
    EXPECT_EQ(row->EndPoint, 4);
    QFile::remove(Output(0));
    RunToEnd(120);
    ASSERT_EQ(w().Converting_Infor->text(), kJobFinished);
    const Probed probed = Probe(Output(0));
    ASSERT_TRUE(probed.ok) << Output(0).toStdString();
    EXPECT_NEAR(probed.duration, row->Duration, 0.1) << probed.raw;
    EXPECT_EQ(w().ProgressFile->Position(), 100);
}

TEST_F(JobRunnerEngine, TwoAtOnceConvertAFourRowJob) {
    Open(DevMP4, {"first clip.mp4", "second.avi", "third.mp4", "fourth.mp4"});
    ASSERT_EQ(w().ListImagePanel->ItemCount, 4);
    FilesAtOnce(2);
    RunToEnd(240);
    std::cout << "worst lateness of the window's thread during a two-at-once job: "
              << worstLateness_ << " ms" << std::endl;
    ASSERT_EQ(w().Converting_Infor->text(), kJobFinished);
    EXPECT_EQ(w().ProgressTotal->Position(), 4);
    EXPECT_EQ(w().ProgressFile->Position(), 100);
    const double lengths[] = {2, 2, 2, 3};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        const Probed probed = Probe(Output(row));
        ASSERT_TRUE(probed.ok) << Output(row).toStdString();
        EXPECT_NEAR(probed.duration, lengths[row], 0.3);
        EXPECT_EQ(probed.videoCodec, CodecName(w().combox_videoformat->Text()));
        EXPECT_EQ(w().ListImagePanel->GetItem(unsigned(row))->OutcomeMark, "");
    }
}

TEST_F(JobRunnerEngine, StopWithTwoAtOnceKeepsEachRunningRowsPart) {
    Open(DevMP4, {"long one.mp4", "long two.mp4", "long three.mp4"});
    ASSERT_EQ(w().ListImagePanel->ItemCount, 3);
    FilesAtOnce(2);
    w().Run->Click();
    // Stop once both running rows have a quarter of their output: the file bar shows the
    // lesser, the status line names both.
    const bool bothUnderWay = WaitFor(
        [this] {
            const QString status = w().Converting_Infor->text();
            return !w().JobRunning() || (w().ProgressFile->Position() >= 25 &&
                                         status.startsWith("Converting long one.mp4 ") &&
                                         status.contains(", long two.mp4 "));
        },
        240000);
    ASSERT_TRUE(bothUnderWay);
    ASSERT_TRUE(w().JobRunning()) << "the engine did not convert ("
                                  << w().Converting_Infor->text().toStdString() << ")";
    w().Stop->Click();
    ASSERT_TRUE(WaitFor([this] { return w().Converting_Infor->text() == kStoppedByUser; }, 30000))
        << w().Converting_Infor->text().toStdString();
    EXPECT_EQ(w().ProgressTotal->Position(), 2);
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        const Probed part = Probe(Output(row));
        ASSERT_TRUE(part.ok) << "the stopped row's file cannot be read: " << part.raw;
        EXPECT_GT(part.duration, 0.0);
        EXPECT_LE(part.duration, 12.1);  // usually cut short; the stop may come late
        EXPECT_EQ(part.videoCodec, CodecName(w().combox_videoformat->Text())) << part.raw;
        // Stopped, or finished just before the stop reached it; never failed.
        const TItemPanel* item = w().ListImagePanel->GetItem(unsigned(row));
        EXPECT_FALSE(item->OutcomeFailed);
        EXPECT_TRUE(item->OutcomeMark.isEmpty() || item->OutcomeMark.startsWith("stopped: "))
            << item->OutcomeMark.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Output(2)));
}

}  // namespace

TEST_F(JobRunnerEngine, EndingTheProgramDuringAJobStopsTheEngineAndWaitsForIt) {
    // One file at once, and two side by side.
    for (const QStringList& clips :
         {QStringList{"long one.mp4"}, QStringList{"long one.mp4", "long two.mp4"}}) {
        SCOPED_TRACE(clips.size());
        if (!window_)
            window_ = std::make_unique<Txconverter>();
        Open(DevMP4, clips);
        ASSERT_EQ(w().ListImagePanel->ItemCount, clips.size());
        FilesAtOnce(int(clips.size()));
        QStringList outputs;
        for (int row = 0; row < clips.size(); ++row)
            outputs << Output(row);
        dialogs_.chooseAnswers = {0};  // the first round's kept part is replaced
        w().Run->Click();
        ASSERT_TRUE(WaitFor(
            [this] { return !w().JobRunning() || w().ProgressFile->Position() >= 10; }, 120000));
        ASSERT_TRUE(w().JobRunning()) << "the conversion ended before it could be cut short";
        // As at the program's end: the window goes while its conversions run.
        window_.reset();
        // The engine's threads have ended: the stopped outputs are complete and nothing is
        // posted to the window any more.
        for (const QString& output : outputs) {
            const Probed stopped = Probe(output);
            ASSERT_TRUE(stopped.ok) << stopped.raw;
            EXPECT_GT(stopped.duration, 0.0);
        }
        WaitFor([] { return false; }, 200);
    }
}
