#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/private_state_home.h"

int main(int argc, char** argv) {
  radevore::testing::usePrivateStateHome();
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
