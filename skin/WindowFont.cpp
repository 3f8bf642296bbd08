#include "skin/WindowFont.h"

#include <QStringList>

QFont WindowFont() {
    QFont font;
    QStringList families;
    families << "MS Sans Serif"
             << "Microsoft Sans Serif"
             << "DejaVu Sans Condensed"
             << "DejaVu Sans"
             << "Sans Serif";
    font.setFamilies(families);
    font.setPointSize(8);
    return font;
}
