// The files a scratch installation copies and where the build put them. Apart from the scratch
// folder itself, so a unit test that only reads the build's files links no profile database.
#include "support/ScratchInstall.h"

QStringList ScratchInstall::DefaultFiles() {
    return {"KivoMp4.dll", "Gver.dll", "3GP.jpg", "PSP.jpg",
            "IPOD.jpg",    "PDA.jpg",  "MP4.jpg", "backblank.bmp"};
}

QString ScratchInstall::BinFolder() {
    return QStringLiteral(QOR_BIN_DIR "/");
}
