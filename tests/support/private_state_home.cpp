#include "private_state_home.h"

#include <QDir>
#include <QTemporaryDir>

namespace radevore::testing {

void usePrivateStateHome() {
  static QTemporaryDir state(QDir::tempPath() + QStringLiteral("/radevore-state-XXXXXX"));
  qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
}

}  // namespace radevore::testing
