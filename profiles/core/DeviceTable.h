// The device families and the constants each of them sets across the program: every rule that
// differs by family reads a property of its row here instead of testing the family itself.
#pragma once

#include <QString>
#include <cstdint>

#include "engine/Levels.h"

enum DeviceType : int32_t {
    DevNone = -1,
    Dev3GP = 0,
    DevPSP = 1,
    DevIPOD = 2,
    DevPDA = 3,
    DevMP4 = 4,
};

// How a family's built-in profiles ("ProfilesPar" n) are laid out and applied.
enum class ProfileLayout {
    // Five fields: resolution, video bit rate, frame rate, an unused field, channels. A profile
    // sets the picture size and rate; at load the audio bit rate is the item at
    // "DefaultAudiobitRateIndex".
    Phone,
    // Three fields: video bit rate, audio bit rate (the first item containing it), channels.
    // Resolution and frame rate come from "DefaultResolution" and "DefaultFramerate" at load and
    // are left alone by a later change of profile.
    Player,
};

struct DeviceInfo {
    QString title;      // caption of the converter window's TitleName
    QString subFolder;  // output sub-folder with a trailing separator, "3GP/"
    QString picture;    // device picture beside the program, "3GP.jpg"
    QString extension;  // target file extension, ".3g2" or ".MP4"
    QString section;    // profile database section, "3GP"
    QString format{};   // the engine's output format; empty for PDAs, left to the engine
    // The engine format that the output file type at position 1 picks instead of `format`, with
    // "." + it as the target extension; empty when the output file type picks nothing.
    QString secondFormat{};
    ProfileLayout profileLayout;
    kivo::DeviceFamily levels;         // whose H.264 level ceiling the settings must keep
    bool audioQualityFirst = false;    // a profile picks the audio bit rate before the video's
    bool selectsSavedProfile = false;  // a saved custom profile becomes the selected entry
    // The selected profile is applied again once a row's settings are read for the engine.
    bool reappliesProfileBeforeRun = false;
    bool copyStill = false;  // the still is copied beside the output as a THM file

    // The engine's output format for the output file type at `fileTypeIndex` (-1: none).
    QString EngineFormat(int fileTypeIndex) const;
    // The target file extension for the output file type at `fileTypeIndex` (-1: none).
    QString TargetExtension(int fileTypeIndex) const;
};

// The constants of `device`; nullptr for a value outside Dev3GP..DevMP4.
const DeviceInfo* FindDevice(int device);
