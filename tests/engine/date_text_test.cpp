#include "engine/date_text.h"

#include <gtest/gtest.h>

#include "engine/due_sort.h"

namespace memro {
namespace {

TEST(DateText, ReadsFullAndShortStoredForms) {
  EXPECT_EQ(DateText("Dec082026", 2026), "Dec 08, 2026");
  EXPECT_EQ(DateText("Dec08", 2031), "Dec 08, 2031");
  EXPECT_EQ(DateText("Dec08    ", 2031), "Dec 08, 2031");
  EXPECT_EQ(DateText("Dec8", 2026), "Dec 08, 2026");
  EXPECT_EQ(DateText("Dec 82026", 2026), "Dec 08, 2026");
  EXPECT_EQ(DateText("dEC082026", 2026), "Dec 08, 2026");
  EXPECT_EQ(DateText("Feb292028", 2026), "Feb 29, 2028");
}

TEST(DateText, GivesNothingForMalformedOrImpossibleDates) {
  for (const char* bad :
       {"         ", "Xyz012026", "Feb292026", "Feb292100", "Dec322026", "Dec002026", "Dec-82026",
        "12082026 ", "De c08202", "Dec 8,202", "Dec08202 ", "Dec082O26", "", "De"}) {
    EXPECT_EQ(DateText(bad, 2026), "") << "'" << bad << "'";
  }
  EXPECT_EQ(DateText(std::string("\0\0\0\0\0\0\0\0\0", 9), 2026), "");
}

TEST(DueSort, KeepsTheExchangeSortsOrderForEqualDates) {
  // A stable sort would keep the two 1s in their order; the gap sort swaps them.
  std::vector<std::int64_t> keys{1, 1, 0, 2};
  EXPECT_EQ(ExchangeSortOrder(keys), (std::vector<std::size_t>{2, 1, 0, 3}));
  EXPECT_EQ(keys, (std::vector<std::int64_t>{0, 1, 1, 2}));

  std::vector<std::int64_t> many;
  for (int i = 0; i < 500; ++i) many.push_back((i * 7919) % 97);
  ExchangeSortOrder(many);
  EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
}

}  // namespace
}  // namespace memro
