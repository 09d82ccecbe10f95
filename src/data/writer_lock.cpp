#include "data/writer_lock.h"

#include <cerrno>

namespace memro {

FileBusyError::FileBusyError(const std::filesystem::path& file)
    : FileError(EWOULDBLOCK, file.string()),
      message_(file.string() + " is being changed by another program. Try again when it has "
                               "finished.") {}

WriterLock::WriterLock(const std::filesystem::path& /*eventFile*/,
                       std::chrono::milliseconds /*wait*/) {}

WriterLock::~WriterLock() = default;

}  // namespace memro
