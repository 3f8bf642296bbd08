#include "OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kivo {

std::string TemporaryPathFor(const std::string& target) {
    // Keep the name short enough for the file system when the target's name is already long:
    // the folder stays, the name becomes a hidden partial file.
    std::string::size_type slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // The process and a number of its own: conversions side by side never share a partial
    // file, even when two of them were given the same target.
    static std::atomic<unsigned> made{0};
    std::string suffix = ".part" + std::to_string(getpid()) + "-" + std::to_string(++made);
    if (name.size() + suffix.size() + 1 > 255) {
        name.resize(255 - suffix.size() - 1);
    }
    return folder + "." + name + suffix;
}

bool CommitTemporary(const std::string& temporary, const std::string& target, std::string& error) {
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = std::string("Cannot give the output its name (") + std::strerror(errno) + ")";
        if (std::remove(temporary.c_str()) != 0 && PathExists(temporary)) {
            // The complete file stays behind under its hidden name: say where it is.
            error += "; the converted file was left as " + temporary;
        }
        return false;
    }
    return true;
}

void DiscardTemporary(const std::string& temporary) {
    std::remove(temporary.c_str());
}

std::string FileNamePart(const std::string& path) {
    std::string::size_type slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool PathExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool ParentFolderExists(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return true;  // the current folder
    }
    std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    struct stat info;
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace kivo
