// Shared main of the tests without windows: the test environment first, then the tests.
#include <gtest/gtest.h>

#include "test_environment.h"

int main(int argc, char** argv) {
  memro::testing::PrepareTestEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
