#include "data/codepage.h"

#include <gtest/gtest.h>

namespace memro {
namespace {

TEST(Codepage, DecodesWindows1252AndRoundTripsEveryByte) {
  EXPECT_EQ(Cp1252ToUtf8("caf\xE9 \x80 \xD8"), "café € Ø");
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const auto back = Utf8ToCp1252(Cp1252ToUtf8(all));
  EXPECT_TRUE(back.lossless);
  EXPECT_EQ(back.bytes, all);
}

TEST(Codepage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  const auto r = Utf8ToCp1252("Meet 山 at Ω-station \xFF");
  EXPECT_FALSE(r.lossless);
  EXPECT_EQ(r.bytes, "Meet ? at ?-station ?");
  EXPECT_TRUE(Utf8ToCp1252("“quoted” – ½").lossless);
}

}  // namespace
}  // namespace memro
