// An engine for the media tests: the probe copies a prepared record, the still is a copy of a
// prepared file (a real JPEG, or anything else a test wants to hand the list). Installed for
// the lifetime of the object.
#pragma once

#include <QFile>
#include <QString>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/core/EngineApi.h"

class FakeEngine : public EngineApi {
public:
    FakeEngine() { SetEngine(this); }
    ~FakeEngine() override { SetEngine(nullptr); }

    int Init() override { return 0; }
    int GetFileinfo(const char* path, EngineFileInfo* info) override {
        probed.push_back(path);
        *info = probe;
        return notMedia.count(path) ? -1 : 0;
    }
    // Writes the still by copying `still`; with an empty `still` nothing is written.
    int GetPicure(const char* path, int seconds, const char* size, const char* jpegPath) override {
        pictures.push_back({path, seconds, size, jpegPath});
        if (still.isEmpty())
            return -1;
        const QString target = QString::fromUtf8(jpegPath);
        QFile::remove(target);
        return QFile::copy(still, target) ? 0 : -1;
    }
    // What a player shows of the file: `shown` when a test set one, otherwise what `probe`
    // says (its whole seconds and the stored size). Not counted in `probed`.
    int Probe(const char* path, KivoProbe* answer) override {
        if (notMedia.count(path)) {
            *answer = KivoProbe{};
            return -1;
        }
        if (shown) {
            *answer = *shown;
            return 0;
        }
        *answer = KivoProbe{};
        answer->durationSeconds = probe.duration;
        answer->storedWidth = answer->displayWidth = probe.width;
        answer->storedHeight = answer->displayHeight = probe.height;
        answer->sampleAspectNum = answer->sampleAspectDen = 1;
        return 0;
    }

    // With `startsConversions` a conversion starts and runs until the test ends it; without,
    // the engine has none and refuses every start.
    KivoConversion* StartConversion(int, const char* const*, const KivoConversionEvents*) override {
        return startsConversions ? reinterpret_cast<KivoConversion*>(++conversions) : nullptr;
    }

    struct PictureCall {
        std::string source;
        int seconds;
        std::string size;
        std::string jpeg;
    };

    EngineFileInfo probe = {};
    std::optional<KivoProbe> shown;
    std::set<std::string> notMedia;  // paths whose probe fails
    QString still;
    std::vector<std::string> probed;
    std::vector<PictureCall> pictures;
    bool startsConversions = false;
    size_t conversions = 0;
};
