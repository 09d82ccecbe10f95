#pragma once

#include <string>

#include "data/file_target.h"

namespace memro {

// The name of the copy of the old content that a rewrite in place keeps beside the
// file named leaf until the new content is complete.
std::string BackupName(const std::string& leaf);

// Writes the content of newContent into the locked file itself, for a file that a
// rename would change (another user's, or one of several hard links). First the old
// content goes to a backup beside the file, flushed; then the file gets the new bytes
// and is flushed; then the backup goes. A failure on the way (a full disk) puts the
// old content back; a crash leaves the backup, which the next writer puts back
// (RestoreInterruptedRewrite) before it reads the file. Throws FileError.
void RewriteInPlace(const FileTarget& target, int newContent);

// Called by the holder of a file's writer lock before anything else: a backup that a
// stopped rewrite in place left beside the file (marked as this program's) means the
// file may be half-written; the old content is put back and the backup removed.
// A backup the holder could not remove afterwards is left alone and reported
// (FileError), since putting it back again at every write would undo them.
void RestoreInterruptedRewrite(const FileTarget& target);

}  // namespace memro
