// The preview player of the converter window. (Filled in with the preview.)
#include "converter/Txconverter.h"

bool Txconverter::OpenPreview(const QString&) { return false; }
void Txconverter::ClosePreview() {}
void Txconverter::BtnPlayPauseClick(QObject*) {}
void Txconverter::BtnStopClick(QObject*) {}
void Txconverter::PlayerTrackMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Txconverter::PlayerTrackMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Txconverter::PlayerTimerTimer() {}
void Txconverter::HandleGraphEvents() {}
void Txconverter::BtnSetStartPointClick(QObject*) {}
void Txconverter::BtnSetEndPointClick(QObject*) {}
void Txconverter::DrawTrimRange(QObject*) {}
