#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace memro {

// Adds shift to the code of every character. Throws std::out_of_range when a code
// would leave 0..255: the shifted text must stay inside the single-byte code page.
std::string ShiftText(std::string_view text, std::int16_t shift);

// The program's fixed texts, unscrambled once at first use.
struct FixedTexts {
  std::string productTitle;        // application title
  std::string legacyTitle;         // name of the older product's text format
  std::string headerSeed;          // seed of both header texts
  std::string oldVersionText;      // version text of the 2.01/3.0 header
  std::string protectionFileName;  // password file
  std::string reportIntro;         // first half of the report's second line
  std::string reportOrigin;        // second half of the report's second line

  std::string versionTag;        // first 8 of productTitle + "00"
  std::string storeMarker;       // header Date
  std::string fileSignature;     // header Message of a current file
  std::string oldFileSignature;  // header Message of a 2.01/3.0 file
  std::string eventFileFilter;   // file-dialog filter for event files
};

constexpr std::int16_t kMarkerShift = 5;
constexpr std::int16_t kSignatureShift = 11;

const FixedTexts& Texts();

}  // namespace memro
