#include <gtest/gtest.h>

#include <QApplication>

// The print tests run real report jobs (fonts, PDF output, the status window), which need an
// application object.
int main(int argc, char** argv) {
  // Headless unless a display is asked for, also when CTest lists the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
