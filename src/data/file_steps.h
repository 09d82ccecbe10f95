#pragma once

namespace memro {

// Every change this program makes to a file on disk (creating, writing, truncating,
// flushing, renaming, removing) first passes through FileStep. A test installs a hook
// to stop a writer dead at any one of those steps and then checks what the disk holds.
using FileStepHook = void (*)();

void SetFileStepHook(FileStepHook hook);
void FileStep();

}  // namespace memro
