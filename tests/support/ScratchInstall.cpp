#include "support/ScratchInstall.h"

#include <QFile>

#include "platform/core/Paths.h"
#include "profiles/core/ProfileDatabase.h"

ScratchInstall::ScratchInstall(const QStringList& files) {
    for (const QString& name : files)
        QFile::copy(BinFolder() + name, Folder() + name);
    platform::SetExeFolder(Folder());
    if (QFile::exists(Folder() + "KivoMp4.dll")) {
        WriteProfileValue("MainSettings", "DefaultOutputMainPath", OutputRoot());
    }
}

ScratchInstall::~ScratchInstall() {
    platform::SetExeFolder(QString());
}

QString ScratchInstall::Folder() const {
    return platform::WithTrailingSeparator(dir_.path());
}

QString ScratchInstall::OutputRoot() const {
    return Folder() + "out/";
}
