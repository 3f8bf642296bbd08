// Writing a file safely: everything goes to a temporary file beside the target, which takes
// the target's name only once it is complete, so a failure never leaves a half-written file
// under the target's name nor destroys an older file of that name.
#pragma once

#include <string>

namespace kivo {

// The temporary name used while `target` is written: same folder, so the rename is atomic.
std::string TemporaryPathFor(const std::string& target);

// Renames `temporary` over `target`; on failure deletes `temporary` and sets `error`, which
// names `temporary` when it could not be deleted either.
bool CommitTemporary(const std::string& temporary, const std::string& target, std::string& error);

// Deletes `temporary` if it exists; errors are ignored.
void DiscardTemporary(const std::string& temporary);

// The file name part of a path, for status lines.
std::string FileNamePart(const std::string& path);

// Whether a file (of any kind) exists at `path`.
bool PathExists(const std::string& path);

// Whether the folder that would hold `path` exists.
bool ParentFolderExists(const std::string& path);

}  // namespace kivo
