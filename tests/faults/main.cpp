// Fault tests: each queues labels, provokes one way a print run can end badly (a refused job, a
// signal, a closed window, a second station...) and counts the labels afterwards: printed plus
// still queued must equal what was queued, and none may be both.

#include <gtest/gtest.h>

#include <QApplication>

#include "support/private_state_home.h"

int main(int argc, char** argv) {
  // The programs the tests start keep their job journals out of the real home.
  radevore::testing::usePrivateStateHome();
  // Widgets: the window and the job's status window take part in several of the faults; they
  // run on the offscreen platform.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
