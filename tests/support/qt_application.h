#pragma once

namespace radevore::testing {

// Makes sure a QApplication exists (fonts, the status window and window messages need one);
// creates it once for the whole test process when the test program's main did not.
void ensureQtApplication();

}  // namespace radevore::testing
