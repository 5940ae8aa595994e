#include "support/qt_application.h"

#include <QApplication>
#include <memory>

namespace radevore::testing {

void ensureQtApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "radevore-tests";
  static char* argv[] = {name, nullptr};
  static const std::unique_ptr<QApplication> app = std::make_unique<QApplication>(argc, argv);
}

}  // namespace radevore::testing
