// Adding, removing and selecting source files in the converter window's media list.
// (Filled in with the media list.)
#include "converter/Txconverter.h"

void Txconverter::FileAddClick(QObject*) {}
void Txconverter::FileRemoveClick(QObject*) {}
void Txconverter::ListImagePanelClick(QObject*) {}
void Txconverter::UpdateItem(int, const QString&, int, int) {}
QString Txconverter::CaptureThumbnail(const QString&) { return QString(); }
