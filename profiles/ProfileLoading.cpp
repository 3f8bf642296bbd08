// Loading a family's profiles into the converter window and applying the chosen profile.
// (Filled in with the output profiles.)
#include "converter/Txconverter.h"

void Txconverter::LoadDeviceProfiles(DeviceType) {}
void Txconverter::ApplySelectedProfile(DeviceType) {}
void Txconverter::ListCustomProfiles(const QString&) {}
void Txconverter::ApplyCustomProfile(const QString&, const QString&) {}
void Txconverter::ProfilesListChange(QObject*) {}
