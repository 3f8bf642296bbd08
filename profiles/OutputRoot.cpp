#include "profiles/OutputRoot.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "profiles/ProfileDatabase.h"

QString FamilyOutputFolder(const DeviceInfo& family) {
    const QString root =
        ReadProfileValue("MainSettings", "DefaultOutputMainPath", platform::DefaultOutputRoot());
    const QString folder = root + family.subFolder;
    if (!platform::DirectoryExists(root))
        platform::CreateDir(root);
    if (!platform::DirectoryExists(folder))
        platform::CreateDir(folder);
    return platform::DirectoryExists(folder) ? folder : QString();
}
