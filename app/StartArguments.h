// The program's command line: QorConverter [--device 3GP|PSP|IPOD|PDA|MP4] [FILE...]. With a
// family the launcher is passed over and the family's converter window opens with the files
// listed; without one the launcher opens and the files are added once a family is picked.
#pragma once

#include <QString>
#include <QStringList>

#include "profiles/core/DeviceTable.h"

class TChooseMain;
class Txconverter;

struct StartRequest {
    DeviceType device = DevNone;
    QStringList files;  // absolute paths, in the order given
    // Set when the program ends at once: the text to print (help, version or an error) and
    // the exit code.
    QString output;
    int exitCode = 0;
    bool exitNow = false;
};

// Reads the arguments (the program's name first, as QCoreApplication::arguments gives them).
// Family names count without regard to letter case; file:// addresses are taken as paths.
StartRequest ParseStartArguments(const QStringList& arguments);

// Opens the window the request asks for and hands the files to the converter window.
void ApplyStartRequest(const StartRequest& request, TChooseMain& launcher, Txconverter& converter);
