#pragma once

namespace radevore::testing {

// Points XDG_STATE_HOME of this process, and so of every program it starts, at a temporary
// folder that lives as long as the process: the job journal of a test never reaches the real
// home. Call once at the start of a test program's main.
void usePrivateStateHome();

}  // namespace radevore::testing
