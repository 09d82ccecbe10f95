#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "data/event_file.h"
#include "data/event_record.h"
#include "data/work_file.h"
#include "platform/platform.h"

namespace memro {

// What the editor's Open needs besides the file name.
struct EditorLoadTarget {
  WorkFile& store;          // the editor's record store; its header (record 1) stays as it is
  RecordDefaults defaults;  // fills the fields the older formats do not carry
  int currentYear = 0;      // year of a birthday written without one
  std::function<void(const std::string&)> setCaption;  // the editor's title while loading
};

// Opens an event file for the editor: a current-format file is copied record by
// record into the store from record 2 on; a file of the 2.01/3.0 format or of the
// older product's text format (also a file of no known format) is converted. Returns
// the format code (3 current, 1 old records, 2 text) and sets loadedCount to the
// number of events placed; on failure returns 0 after telling the user, and
// loadedCount keeps its value. A file with more events than 16-bit record numbers
// reach is refused the same way (record files before any record is placed).
// storeAdvice: the line after a failure of the store, what the user can do; empty
// gives the window's "Please restart ...".
std::int16_t LoadEventFileForEditor(Platform& platform, const std::string& fileName,
                                    EditorLoadTarget& target, std::int64_t& loadedCount,
                                    const std::string& storeAdvice = {});

// The notice shown before an older file is converted.
std::string ConversionNotice(const std::string& fileName, FileFormat format);

}  // namespace memro
