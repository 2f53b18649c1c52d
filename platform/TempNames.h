// Quarto's own temporary copy files. A copy writes into ".quarto-<pid>-<n>.tmp" beside its target
// and renames it over the target once complete; a copy killed mid-way (power loss, kill -9)
// leaves that name behind. The scan passes over these names, and the next action in the folder
// removes the ones that no running copy owns.
#pragma once

#include <string>
#include <string_view>

namespace quarto {

// A name that no other copy of this process uses (creation with O_EXCL catches another
// process's).
std::string NewCopyTemporaryName();

// Whether `name` has exactly the form of a temporary copy file; a user's own file that merely
// resembles it (".quarto-notes.tmp") does not.
bool IsCopyTemporaryName(std::string_view name);

// Marks a temporary file just created by this process as in use for as long as `fd` stays open
// (an exclusive flock, which the kernel drops when the process dies, however it dies).
void ClaimCopyTemporaryFile(int fd);

// Removes the temporary copy files in the folder `folder` (an open descriptor, O_PATH will do)
// that are stale: made before this process began, by another process, and not in use (a file
// that no process holds claimed; a link whose maker no longer runs). Returns how many went.
int RemoveStaleCopyFiles(int folder);

}  // namespace quarto
