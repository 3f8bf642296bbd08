#include "skin/Labels.h"

QLabel* MakeColouredLabel(QWidget* parent, const char* name, const QRect& geometry,
                          const QColor& color) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QLabel* MakeRuleLine(QWidget* parent, const char* name, const QRect& geometry) {
    QLabel* line = MakeColouredLabel(parent, name, geometry, QColor(128, 128, 128));
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    line->setPalette(palette);
    return line;
}
