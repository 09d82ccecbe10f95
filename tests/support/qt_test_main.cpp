// Shared main of the window tests: the test environment, then a QApplication on the
// offscreen platform, so the tests run without a display (also when CTest lists them
// at build time).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "test_environment.h"

int main(int argc, char** argv) {
  memro::testing::PrepareTestEnvironment();
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
