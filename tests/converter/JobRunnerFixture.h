// The converter window with a recording engine in place of the real one, shared by the job
// runner's tests.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/EngineApi.h"
#include "platform/FileSystem.h"
#include "platform/WindowMessages.h"
#include "profiles/ProfileDatabase.h"
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

// Records each _X call with a copy of its vector; the test ends a call by posting its
// WM_CONVERTDONE through the handle the call was given, as the engine does.
class RecordingEngine : public EngineApi {
public:
    RecordingEngine() { SetEngine(this); }
    ~RecordingEngine() override { SetEngine(nullptr); }

    int Init() override { return 0; }
    int GetFileinfo(const char*, EngineFileInfo*) override { return -1; }
    int GetPicure(const char*, int, const char*, const char*) override { return -1; }
    int Stop() override {
        ++stops;
        if (onStop)
            onStop();
        return 0;
    }
    int SetInfoCallback(KivoInfoCallback callback) override {
        info = callback;
        return 0;
    }
    int SetPercentCallback(KivoPercentCallback callback) override {
        percent = callback;
        return 0;
    }
    int X(KivoWindow* window, int argc, char** argv) override {
        calls.push_back({window, argc, Vector(argv, argv + argc)});
        return 0;
    }

    // A side-by-side conversion: recorded with its events and a copy of its vector; its handle
    // is its place in `conversions` plus one.
    KivoConversion* StartConversion(int argc, const char* const* argv,
                                    const KivoConversionEvents* events) override {
        if (refuseConversions)
            return nullptr;
        conversions.push_back({*events, Vector(argv, argv + argc)});
        return reinterpret_cast<KivoConversion*>(conversions.size());
    }
    void StopConversion(KivoConversion* conversion) override {
        stoppedConversions.push_back(Index(conversion));
    }
    int WaitConversion(KivoConversion*, int) override { return KIVO_CONVERSION_STOPPED; }
    void FreeConversion(KivoConversion* conversion) override {
        freedConversions.push_back(Index(conversion));
    }

    // Side-by-side conversion `i` reports a status line, a percentage, or ends, as its thread
    // does, and the window handles what they queued.
    void Status(size_t i, const char* text) {
        ASSERT_LT(i, conversions.size());
        conversions[i].events.status(conversions[i].events.user, text);
        QCoreApplication::sendPostedEvents();
    }
    void Percent(size_t i, int value) {
        ASSERT_LT(i, conversions.size());
        conversions[i].events.percent(conversions[i].events.user, value);
        QCoreApplication::sendPostedEvents();
    }
    void EndConversion(size_t i, int outcome) {
        ASSERT_LT(i, conversions.size());
        conversions[i].events.ended(conversions[i].events.user, outcome, "");
        QCoreApplication::sendPostedEvents();
    }
    static size_t Index(KivoConversion* conversion) {
        return reinterpret_cast<size_t>(conversion) - 1;
    }

    // Posts the end of call `i` and lets the window handle it.
    void Finish(size_t i) { End(i, KIVO_CONVERSION_FINISHED, nullptr); }

    // Reports `lastLine` (when given) and posts the end of call `i` with `outcome`.
    void End(size_t i, uintptr_t outcome, const char* lastLine) {
        ASSERT_LT(i, calls.size());
        if (lastLine && info)
            info(lastLine);
        calls[i].window->post(calls[i].window, WM_CONVERTDONE, outcome, 0);
        QCoreApplication::sendPostedEvents();
    }

    struct Call {
        KivoWindow* window;
        int argc;
        Vector argv;
    };
    struct Conversion {
        KivoConversionEvents events;
        Vector argv;
    };
    std::vector<Conversion> conversions;
    std::vector<size_t> stoppedConversions, freedConversions;
    bool refuseConversions = false;
    std::vector<Call> calls;
    KivoInfoCallback info = nullptr;
    KivoPercentCallback percent = nullptr;
    int stops = 0;
    std::function<void()> onStop;
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
