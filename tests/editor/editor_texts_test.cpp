// The editor's small text rules.
#include "editor/editor_texts.h"

#include <gtest/gtest.h>

namespace memro {
namespace {

TEST(EditorTexts, CaptionsAndNames) {
  EXPECT_EQ(RecordCaption(5, 12), "Current Record: 5 of 12");
  EXPECT_EQ(RecordCaption(1, 0), "Current Record:");
  EXPECT_EQ(WarnCaption(-2), "&3. Warn in advance:-2 day");
  EXPECT_EQ(NameWithoutDirectory("/home/me/events.mmo"), "events.mmo");
  EXPECT_EQ(OfferedSaveName("/data/old.bnk"), "/data/old.MMO");
  EXPECT_EQ(OfferedSaveName("/data.d/old"), "/data.d/old");
  EXPECT_EQ(OfferedSaveName("/data/old."), "/data/old.MMO");
}

TEST(EditorTexts, MessageBytesInTheFile) {
  EXPECT_EQ(StoredLength("a\nb\xC3\xA9\xF0\x9F\x98\x80"), 6u);  // a CR LF b é and one emoji
  const Cp1252Text bytes = MessageBytes("x\ny \xE2\x82\xAC");
  EXPECT_EQ(bytes.bytes, "x\r\ny \x80");
  EXPECT_TRUE(bytes.lossless);
  EXPECT_EQ(ShownMessage("  x\r\ny \x80   "), "x\ny \xE2\x82\xAC");
  EXPECT_FALSE(MessageBytes("\xE6\x97\xA5").lossless);
}

}  // namespace
}  // namespace memro
