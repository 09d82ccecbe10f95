#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "data/codepage.h"

namespace memro {

// A number as the editor's captions write it: a blank where a minus sign would stand.
std::string SignedNumber(int n);

// "&3. Warn in advance: 7 days" ("day" for fewer than two).
std::string WarnCaption(int days);

// "Current Record: 5 of 12", or "Current Record:" alone when there is no record.
std::string RecordCaption(int position, int count);

// The text after the last '/'.
std::string NameWithoutDirectory(const std::string& path);

// The name a converted file is offered under: its extension becomes "MMO"
// (old.bnk -> old.MMO); a name without an extension stays as it is.
std::string OfferedSaveName(const std::string& path);

// File-dialog filters of Open (the three formats) and Save As.
std::string OpenFilter();
std::string SaveFilter();

// A typed date in the stored form "Mmmddyyyy", or nothing when it is no date.
std::optional<std::string> StoredDateOf(std::string_view typed, int currentYear);

// The message field holds UTF-8 with '\n' line ends; the file holds Windows-1252 with
// CR LF. A stored message is shown without its blanks around it.
std::string ShownMessage(std::string_view storedBytes);
Cp1252Text MessageBytes(std::string_view shown);

// How many bytes the shown text takes in the file.
std::size_t StoredLength(std::string_view shown);

}  // namespace memro
