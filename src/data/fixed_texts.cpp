#include "data/fixed_texts.h"

#include <stdexcept>

namespace memro {
namespace {

struct Scrambled {
  const char* text;
  std::int16_t shift;
};

// Kept shifted so the texts do not stand in the binary as plain strings.
constexpr Scrambled kProductTitle{"Tltyv';57", 7};
constexpr Scrambled kLegacyTitle{"Hexi$Fero$52", 4};
constexpr Scrambled kHeaderSeed{"Vnv{xa", 9};
constexpr Scrambled kOldVersionText{"Sksxu&946", 6};
constexpr Scrambled kProtectionFileName{"1phpurorfn", 3};
constexpr Scrambled kReportIntro{"Fwg\x22gxgpvu\x22tgrqtv.\x22", 2};
constexpr Scrambled kReportOrigin{"ljsjwfyji%g~%Rjrwt%935", 5};

std::string Unscramble(const Scrambled& s) {
  return ShiftText(s.text, static_cast<std::int16_t>(-s.shift));
}

FixedTexts Build() {
  FixedTexts t;
  t.productTitle = Unscramble(kProductTitle);
  t.legacyTitle = Unscramble(kLegacyTitle);
  t.headerSeed = Unscramble(kHeaderSeed);
  t.oldVersionText = Unscramble(kOldVersionText);
  t.protectionFileName = Unscramble(kProtectionFileName);
  t.reportIntro = Unscramble(kReportIntro);
  t.reportOrigin = Unscramble(kReportOrigin);
  t.versionTag = t.productTitle.substr(0, 8) + "00";
  t.storeMarker = ShiftText(t.headerSeed, kMarkerShift);
  t.fileSignature =
      ShiftText(t.headerSeed + t.versionTag + t.headerSeed + t.versionTag, kSignatureShift);
  t.oldFileSignature =
      ShiftText(t.headerSeed + t.oldVersionText + t.headerSeed + t.oldVersionText, kSignatureShift);
  t.eventFileFilter = t.productTitle.substr(0, 5) + " Files (*.mmo)|*.mmo|All Files (*.*)|*.*";
  return t;
}

}  // namespace

std::string ShiftText(std::string_view text, std::int16_t shift) {
  std::string out(text);
  for (char& c : out) {
    const int code = static_cast<unsigned char>(c) + shift;
    if (code < 0 || code > 255) throw std::out_of_range("character code outside the code page");
    c = static_cast<char>(code);
  }
  return out;
}

const FixedTexts& Texts() {
  static const FixedTexts texts = Build();
  return texts;
}

}  // namespace memro
