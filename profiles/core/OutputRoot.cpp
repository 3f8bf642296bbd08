#include "profiles/core/OutputRoot.h"

#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "profiles/core/ProfileDatabase.h"

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
