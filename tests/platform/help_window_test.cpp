#include "platform/qt/help_window.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <set>

#include "platform/help_topics.h"
#include "platform/qt/qt_platform.h"

namespace memro {
namespace {

const int kTopics[] = {help::kMainWindow, help::kFileMenu, help::kOptionsMenu, help::kProtection,
                       help::kSetupMenu,  help::kViewer,   help::kEditor};

QString HelpText() {
  HelpWindow window;  // registers the resource
  QFile file(":/memro/help/memrx.html");
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

TEST(HelpFile, HasOneAnchorPerTopicAndEveryLinkLeadsToOne) {
  const QString html = HelpText();
  ASSERT_FALSE(html.isEmpty());
  std::set<int> anchors;
  QRegularExpression name(R"re(<a name="(\d+)")re");
  for (auto it = name.globalMatch(html); it.hasNext();) {
    const int topic = it.next().captured(1).toInt();
    EXPECT_TRUE(anchors.insert(topic).second) << "anchor " << topic << " twice";
  }
  for (int topic : kTopics) EXPECT_TRUE(anchors.count(topic)) << "no anchor " << topic;

  QRegularExpression link(R"re(href="#(\d+)")re");
  for (auto it = link.globalMatch(html); it.hasNext();) {
    const int target = it.next().captured(1).toInt();
    EXPECT_TRUE(anchors.count(target)) << "link to missing anchor " << target;
  }
}

TEST(HelpWindow, OpensAtTheTopicAndIsReused) {
  QtPlatform platform;
  EXPECT_EQ(platform.Help(), nullptr);
  platform.ShowHelp(help::kOptionsMenu);
  const HelpWindow* first = platform.Help();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->source().fragment(), "6");
  EXPECT_TRUE(first->toPlainText().contains("AutoLoad"));

  const_cast<HelpWindow*>(first)->hide();
  platform.ShowHelp(help::kEditor);
  EXPECT_EQ(platform.Help(), first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->source().fragment(), "40");
}

}  // namespace
}  // namespace memro
