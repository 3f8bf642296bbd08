// Run and Stop: converting the listed files one after another. (Filled in with the job runner.)
#include "converter/Txconverter.h"

void Txconverter::RunClick(QObject*) {}
void Txconverter::StopClick(QObject*) {}
void Txconverter::OnConvertDone() {}
void Txconverter::StartRowConversion(int) {}
void Txconverter::RunEngine(const std::vector<QString>&) {}
int Txconverter::InfoCallback(const char*) { return 0; }
int Txconverter::PercentCallback(int) { return 0; }
