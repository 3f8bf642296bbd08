// One row of the media list as a record: the source file, what its probe found, its still, the
// target it converts to, its drawn range and how its last conversion ended. The list's row widget
// shows it; the job plan and the target-name rule read it.
#pragma once

#include <QString>

struct MediaRow {
    QString SourcePath;
    QString PicturePath;  // the still captured for the row
    QString TargetName;   // the target's file name, without a folder

    // What the probe found.
    double Duration = 0;  // seconds, exact (4.92 for a clip of 123 frames at 25 per second)
    double FrameRate = 0;
    double AudioSampleRate = 0;
    int VideoStreams = 0;
    int VideoWidth = 0;  // the picture as stored
    int VideoHeight = 0;
    // The picture as a player shows it: turned upright by `Rotation` (clockwise degrees) and
    // stretched by the shape of its samples. The letterbox and the row's text go by this.
    int DisplayWidth = 0;
    int DisplayHeight = 0;
    int SampleAspectNum = 1;
    int SampleAspectDen = 1;
    int Rotation = 0;
    QString InfoText;  // the probe's stream description shown in the row

    // The part to convert, in whole seconds: shown in the row's text, drawn on the preview's
    // track and converted, always as the earlier point to the later one.
    int StartPoint = 0;
    int EndPoint = 0;

    // How the row's last conversion ended ("failed: the source is damaged"); empty when it
    // converted or has not run.
    QString OutcomeMark;
    bool OutcomeFailed = false;
};
