#include "OutputFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "kivoengine.h"

namespace kivo {

namespace {

const char kPartMark[] = ".part";

std::string FolderPart(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Renames `from` to `to` unless something exists at `to` (then fails with EEXIST), in one step
// where the file system allows it.
int RenameNoReplace(const char* from, const char* to) {
#if defined(RENAME_NOREPLACE)
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return -1;
    }
#endif
    // A file system without the no-replace rename: a hard link fails as well when the name is
    // taken, and is just as atomic.
    if (::link(from, to) == 0) {
        ::unlink(from);
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS) {
        return -1;
    }
    // Neither (FAT and some network file systems): the check and the rename are two steps.
    struct stat info;
    if (::lstat(to, &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return std::rename(from, to);
}

// "folder/clip (2).MP4" for `target` "folder/clip.MP4" and `number` 2.
std::string NumberedName(const std::string& target, int number) {
    const std::string folder = FolderPart(target);
    const std::string name = target.substr(folder.size());
    std::string::size_type dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        dot = name.size();
    }
    return folder + name.substr(0, dot) + " (" + std::to_string(number) + ")" + name.substr(dot);
}

bool FailCommit(const std::string& temporary, int reason, int systemError,
                const std::string& message, CommitFailure& failure) {
    failure.reason = reason;
    failure.systemError = systemError;
    failure.message = message;
    if (std::remove(temporary.c_str()) != 0 && PathExists(temporary)) {
        failure.message += "; the converted file was left as " + temporary;
    }
    return false;
}

// The process id a partial file name carries (".NAME.partPID-N"), or 0 when `name` is not one.
pid_t PartialFileProcess(const std::string& name) {
    if (name.size() < 2 || name[0] != '.') {
        return 0;
    }
    const std::string::size_type mark = name.rfind(kPartMark);
    if (mark == std::string::npos || mark < 2) {
        return 0;
    }
    const std::string tail = name.substr(mark + std::strlen(kPartMark));
    const std::string::size_type dash = tail.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == tail.size() ||
        tail.find_first_not_of("0123456789-") != std::string::npos ||
        tail.find('-', dash + 1) != std::string::npos || dash > 9) {
        return 0;
    }
    return pid_t(std::stol(tail.substr(0, dash)));
}

}  // namespace

std::string TemporaryPathFor(const std::string& target) {
    // Keep the name short enough for the file system when the target's name is already long:
    // the folder stays, the name becomes a hidden partial file.
    const std::string folder = FolderPart(target);
    std::string name = target.substr(folder.size());
    // The process and a number of its own: conversions side by side never share a partial
    // file, even when two of them were given the same target.
    static std::atomic<unsigned> made{0};
    std::string suffix = kPartMark + std::to_string(getpid()) + "-" + std::to_string(++made);
    if (name.size() + suffix.size() + 1 > 255) {
        name.resize(255 - suffix.size() - 1);
    }
    return folder + "." + name + suffix;
}

bool CommitTemporary(const std::string& temporary, const std::string& target, std::string& error) {
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int code = errno;
        error = std::string("Cannot give the output its name (") + std::strerror(code) + ")";
        if (std::remove(temporary.c_str()) != 0 && PathExists(temporary)) {
            // The complete file stays behind under its hidden name: say where it is.
            error += "; the converted file was left as " + temporary;
        }
        errno = code;  // the caller's reason
        return false;
    }
    return true;
}

bool CommitWithoutReplacing(const std::string& temporary, const std::string& target,
                            CommitFailure& failure) {
    if (RenameNoReplace(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        const int code = errno;
        return FailCommit(
            temporary, KIVO_REASON_OUTPUT_NOT_WRITABLE, code,
            std::string("Cannot give the output its name (") + std::strerror(code) + ")", failure);
    }
    // Someone saved a file of that name meanwhile: it stays, and so does the conversion.
    constexpr int kMostNumbers = 10000;
    for (int number = 2; number < kMostNumbers; ++number) {
        const std::string free = NumberedName(target, number);
        if (RenameNoReplace(temporary.c_str(), free.c_str()) == 0) {
            failure.reason = KIVO_REASON_OUTPUT_EXISTS;
            failure.systemError = EEXIST;
            failure.keptPath = free;
            failure.message =
                "The output file appeared while converting and was left as it "
                "was; the converted file is kept as " +
                free;
            return false;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return FailCommit(temporary, KIVO_REASON_OUTPUT_EXISTS, EEXIST,
                      "The output file appeared while converting and was left as it was", failure);
}

void DiscardTemporary(const std::string& temporary) {
    std::remove(temporary.c_str());
}

void RemoveStalePartialFiles(const std::string& target) {
    const std::string folder = FolderPart(target);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t process = PartialFileProcess(name);
        if (process <= 0 || process == getpid()) {
            continue;
        }
        // A process that exists (or that we may not signal: another user's) keeps its file.
        if (::kill(process, 0) == 0 || errno != ESRCH) {
            continue;
        }
        struct stat info;
        const std::string path = folder + name;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::getuid()) {
            ::unlink(path.c_str());
        }
    }
    ::closedir(dir);
}

std::string FileNamePart(const std::string& path) {
    std::string::size_type slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool PathExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool ParentFolderExists(const std::string& path, int* systemError) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return true;  // the current folder
    }
    std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    struct stat info;
    int code = 0;
    if (::stat(folder.c_str(), &info) != 0) {
        code = errno;
    } else if (!S_ISDIR(info.st_mode)) {
        code = ENOTDIR;
    }
    if (systemError) {
        *systemError = code;
    }
    return code == 0;
}

}  // namespace kivo
