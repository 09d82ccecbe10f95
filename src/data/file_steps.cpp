#include "data/file_steps.h"

namespace memro {
namespace {

FileStepHook stepHook = nullptr;

}  // namespace

void SetFileStepHook(FileStepHook hook) { stepHook = hook; }

void FileStep() {
  if (stepHook) stepHook();
}

}  // namespace memro
