// A throw-away installation for one test: a temporary folder that stands in for the folder of
// the executable, with copies of the data files the build put beside the real one. The output
// root of the profile database points into the same folder, so nothing outside it is touched.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ScratchInstall {
public:
    // Copies `files` (names in the build's bin folder) into the scratch folder. By default:
    // the profile database, the version file, the device pictures and "backblank.bmp".
    explicit ScratchInstall(const QStringList& files = DefaultFiles());
    ~ScratchInstall();

    // The scratch folder with a trailing separator (what ExeFolder() now gives).
    QString Folder() const;
    QString Path(const QString& name) const { return Folder() + name; }
    // The output root written into the scratch database: Folder() + "out/".
    QString OutputRoot() const;

    // These two need no profile database (support/ScratchFiles.cpp, in qor_test_support).
    static QStringList DefaultFiles();
    static QString BinFolder();

private:
    QTemporaryDir dir_;
};
