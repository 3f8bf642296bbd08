// The desktop notification at the end of a job, for a user who is working in another window
// while the list converts.
#pragma once

#include <QString>

struct JobEnd {
    int rows = 0;       // rows of the job
    int converted = 0;  // rows whose output was finished
    int failed = 0;     // rows whose conversion failed
    bool stopped = false;
    QString outputFolder;
};

// "Conversion finished", "Conversion stopped" or "Conversion finished with failures".
QString JobEndSummary(const JobEnd& end);

// "3 files converted into ~/KivoMp4/PSP", "2 of 3 files converted into ~/KivoMp4/PSP, 1 failed",
// "Stopped by user: 1 of 3 files converted into ~/KivoMp4/PSP".
QString JobEndBody(const JobEnd& end);

// `folder` without its trailing separator, the home folder `home` shown as "~".
QString ShortFolder(const QString& folder, const QString& home);
