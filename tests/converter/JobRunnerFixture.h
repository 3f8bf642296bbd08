// The converter window with a recording engine in place of the real one, shared by the job
// runner's tests.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "converter/Txconverter.h"
#include "converter/core/JobOutcome.h"
#include "media/package/ListImagePanel.h"
#include "platform/WindowMessages.h"
#include "platform/core/EngineApi.h"
#include "platform/core/FileSystem.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/ImageButton.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"
#include "skin/SkinSpinEdit.h"
#include "skin/SkinTrackBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace job_runner {
using Vector = std::vector<std::string>;

// Records each conversion with its events and a copy of its vector; its handle is its place in
// `calls` plus one. The test reports and ends a conversion through its events, as the engine's
// thread does, and the window handles what they queued.
class RecordingEngine : public EngineApi {
public:
    RecordingEngine() { SetEngine(this); }
    ~RecordingEngine() override { SetEngine(nullptr); }

    int Init() override { return 0; }
    int GetFileinfo(const char*, EngineFileInfo*) override { return -1; }
    int GetPicure(const char*, int, const char*, const char*) override { return -1; }

    KivoConversion* StartConversion(int argc, const char* const* argv,
                                    const KivoConversionEvents* events) override {
        if (refuseConversions)
            return nullptr;
        calls.push_back({*events, argc, Vector(argv, argv + argc)});
        return reinterpret_cast<KivoConversion*>(calls.size());
    }
    void StopConversion(KivoConversion* conversion) override {
        ++stops;
        stoppedConversions.push_back(Index(conversion));
        if (onStop)
            onStop();
        if (endOnStop)
            EndFromThread(Index(conversion), KIVO_CONVERSION_STOPPED);
    }
    // Waits for the conversion's end as the engine does, up to `milliseconds`.
    int WaitConversion(KivoConversion* conversion, int milliseconds) override {
        std::unique_lock lock(mutex_);
        const bool over =
            endedChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                   [&] { return ended_.count(Index(conversion)) > 0; });
        return over ? KIVO_CONVERSION_STOPPED : KIVO_CONVERSION_RUNNING;
    }
    void FreeConversion(KivoConversion* conversion) override {
        freedConversions.push_back(Index(conversion));
    }
    static size_t Index(KivoConversion* conversion) {
        return reinterpret_cast<size_t>(conversion) - 1;
    }

    // Conversion `i` reports a status line or its progress, and the window handles it.
    void Status(size_t i, const char* text) {
        ASSERT_LT(i, calls.size());
        calls[i].events.status(calls[i].events.user, text);
        QCoreApplication::sendPostedEvents();
    }
    void Percent(size_t i, int value) {
        ASSERT_LT(i, calls.size());
        KivoProgress progress{};
        progress.percent = value;
        progress.secondsLeft = -1;
        calls[i].events.progress(calls[i].events.user, &progress);
        QCoreApplication::sendPostedEvents();
    }

    // Conversion `i` ends as its thread ends it: its end record, with the reason the outcome
    // implies unless one is given. Callable from any thread.
    void EndFromThread(size_t i, int outcome, int reason = -1, double keptSeconds = 0) {
        KivoEnd end{};
        end.outcome = outcome;
        end.reason = reason >= 0                           ? reason
                     : outcome == KIVO_CONVERSION_FINISHED ? KIVO_REASON_NONE
                     : outcome == KIVO_CONVERSION_STOPPED  ? KIVO_REASON_STOPPED
                                                           : KIVO_REASON_OTHER;
        end.keptSeconds = keptSeconds;
        end.text = "";
        end.path = "";
        calls.at(i).events.end(calls[i].events.user, &end);
        std::lock_guard lock(mutex_);
        ended_.insert(i);
        endedChanged_.notify_all();
    }

    // Conversion `i` ends (after `lastLine`, when given) and the window handles it.
    void End(size_t i, int outcome, int reason = -1, double keptSeconds = 0,
             const char* lastLine = nullptr) {
        ASSERT_LT(i, calls.size());
        if (lastLine)
            calls[i].events.status(calls[i].events.user, lastLine);
        EndFromThread(i, outcome, reason, keptSeconds);
        QCoreApplication::sendPostedEvents();
    }
    void Finish(size_t i) { End(i, KIVO_CONVERSION_FINISHED, -1, 1); }

    struct Call {
        KivoConversionEvents events;
        int argc;
        Vector argv;
    };
    std::vector<Call> calls;
    std::vector<size_t> stoppedConversions, freedConversions;
    bool refuseConversions = false;
    int stops = 0;
    std::function<void()> onStop;
    bool endOnStop = false;  // a stop ends the conversion at once

private:
    std::mutex mutex_;
    std::condition_variable endedChanged_;
    std::set<size_t> ended_;
};

inline void Fill(SkinComboBox* list, const QStringList& items, int selected) {
    list->Clear();
    for (const QString& item : items)
        list->AddItem(item);
    list->SetItemIndex(selected);
}

class JobRunner : public testing::Test {
public:
    JobRunner() : window(std::make_unique<Txconverter>()) {}
    // The window goes first; what still runs ends when it is stopped, as with the engine.
    ~JobRunner() override {
        engine.endOnStop = true;
        window.reset();
    }

    Txconverter& w() { return *window; }

    // Settings with exact values; the output folder with blanks around it and no separator.
    void SetUp(DeviceType device) {
        platform::CreateDir(install.OutputRoot());
        w().CurrentDevice = device;
        w().CopyThumbnailToOutput = device == DevPSP;
        Fill(w().combox_videoformat, {"MPEG4", "H264"}, 0);
        Fill(w().combox_resolution, {"320x240", "176x144", "QVGA"}, 0);
        Fill(w().combox_framerate, {"25", "29.97"}, 1);
        w().edit_videoquality->SetText("512");
        Fill(w().ab_dropdown, {"48 kbps", "64 kbps", "128 kbps"}, 2);
        Fill(w().combox_audioHZ, {"8000 Hz", "48000 Hz", "0 Hz"}, 1);
        Fill(w().combox_audiochannels, {"Mono", "Stereo"}, 1);
        Fill(w().combox_outfiletype, {"3G2", "3GP"}, 0);
        w().tr_audio_vol->SetPosition(150);
        w().OutputFolder->SetText("  " + Output() + "  ");
    }

    QString Output() const { return install.OutputRoot() + "job"; }
    std::string OutputPath(const QString& name) const {
        return (Output() + "/" + name).toStdString();
    }

    TItemPanel* AddRow(const QString& source, double duration, const QString& target,
                       int width = 640, int height = 480) {
        TItemPanel* row = w().ListImagePanel->AddItem(install.Path("MP4.jpg"));
        EXPECT_NE(row, nullptr);
        if (!row)
            return nullptr;
        row->SourcePath = source;
        row->Duration = duration;
        row->TargetName = target;
        row->VideoWidth = width;
        row->VideoHeight = height;
        row->PicturePath = install.Path("MP4.jpg");
        return row;
    }

    // Rows a, b, c (d, ...): /media/a.avi, one second long, into a.MP4.
    void AddRows(int rows) {
        for (int i = 0; i < rows; ++i) {
            const QString name = QString(QChar('a' + i));
            AddRow("/media/" + name + ".avi", 1, name + ".MP4");
        }
    }

    Vector Expected(const std::string& source, const std::string& duration,
                    const std::string& format, const std::string& output) const {
        return {"hacktest.exe", "-y",      "-t",        duration,     "-i",
                source,         "-vol",    "150",       "-bitexact",  "-vcodec",
                "mpeg4",        "-padtop", "0",         "-padbottom", "0",
                "-padleft",     "0",       "-padright", "0",          "-s",
                "320x240",      "-b",      "512",       "-r",         "29.97",
                "-acodec",      "aac",     "-ac",       "2",          "-ar",
                "48000",        "-ab",     "128",       "-f",         format,
                output};
    }

    const Vector& LastVector() const { return engine.calls.back().argv; }
    std::string Entry(int i) const { return LastVector().at(size_t(i)); }

    bool Running() { return w().Stop->isVisibleTo(&w()) && !w().Run->isVisibleTo(&w()); }
    bool Idle() { return w().Run->isVisibleTo(&w()) && !w().Stop->isVisibleTo(&w()); }

    FakeDialogs dialogs;
    ScratchInstall install;
    RecordingEngine engine;
    std::unique_ptr<Txconverter> window;
};

}  // namespace job_runner
