// Writing a file safely: everything goes to a temporary file beside the target, which takes
// the target's name only once it is complete, so a failure never leaves a half-written file
// under the target's name nor destroys an older file of that name.
#pragma once

#include <string>

namespace kivo {

// The temporary name used while `target` is written: same folder, so the rename is atomic. It
// is a hidden file ".NAME.partPID-N" that carries the writing process's id, so that a later run
// can tell the partial files of a process that was killed from those of one still writing.
std::string TemporaryPathFor(const std::string& target);

// Renames `temporary` over `target`; on failure deletes `temporary` and sets `error`, which
// names `temporary` when it could not be deleted either, and leaves the rename's errno.
bool CommitTemporary(const std::string& temporary, const std::string& target, std::string& error);

// Why a commit that must not replace anything did not give the file its name.
struct CommitFailure {
    int reason = 0;       // a KivoReason
    int systemError = 0;  // the errno behind it, or 0
    std::string message;
    std::string keptPath;  // where the complete file was kept instead; empty: nowhere
};

// Gives `temporary` the name `target` without ever replacing a file of that name: when one
// appeared since the conversion started, the complete file takes the first free name beside it
// ("clip (2).MP4", "clip (3).MP4" ...) and the commit fails with KIVO_REASON_OUTPUT_EXISTS and
// that path. Any other failure deletes `temporary`. The name is taken atomically, so two
// programs committing to the same target never both succeed.
bool CommitWithoutReplacing(const std::string& temporary, const std::string& target,
                            CommitFailure& failure);

// Deletes `temporary` if it exists; errors are ignored.
void DiscardTemporary(const std::string& temporary);

// Deletes the partial files (".NAME.partPID-N") in the folder that holds `target` whose
// process no longer runs: what a killed conversion left. Files of running processes, of
// other users and of any other name are left alone.
void RemoveStalePartialFiles(const std::string& target);

// The file name part of a path, for status lines.
std::string FileNamePart(const std::string& path);

// Whether a file (of any kind) exists at `path`.
bool PathExists(const std::string& path);

// Whether `a` and `b` are the same file (the same device and inode, links followed), so that
// another spelling of a path, a link or a second hard link to a file is recognised.
bool SameFile(const std::string& a, const std::string& b);

// Whether the folder that would hold `path` exists; when it does not, `systemError` says why
// (ENOENT: missing, ENOTDIR: a file stands where a folder should be, ENAMETOOLONG ...).
bool ParentFolderExists(const std::string& path, int* systemError = nullptr);

}  // namespace kivo
