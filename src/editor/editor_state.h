#pragma once

#include <cstdint>
#include <string>

namespace memro {

// How the next change of the position scroll bar is handled.
enum class NavMode : std::int16_t {
  kNormal = 0,       // check the date, store a changed record, show the new one
  kFollowOnly = -1,  // store a changed record; only the position follows
  kShowOnly = 1,     // show the new record without storing the old one
  kMoveOnly = 2,     // neither store nor show; only the position follows
};

// What storing the shown record came to.
enum class StoreResult : std::int16_t {
  kStored = -1,
  kInvalidDate = 1,
  kWriteFailed = 0,
  kKept = 2,  // the user chose not to store characters the file cannot hold
};

// The editor's state beside its controls. Positions count events from 1; event k is
// record k + 1 of the store, whose record 1 is the file header.
struct EditorState {
  std::string fileName;      // empty: untitled; a leading "+" opens it without a dialog
  std::string lastFileName;  // the last file opened successfully
  std::int16_t curRec = 0;   // 0: no record
  std::int16_t recCount = 0;
  bool fileChanged = false;  // the records differ from the saved file
  bool recModified = false;  // the fields differ from the stored record
  bool needsName = false;    // converted from an older format: the next Save asks a name
  NavMode navMode = NavMode::kNormal;
  bool saveCancelled = false;
  std::string findText;
};

}  // namespace memro
