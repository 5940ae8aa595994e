#include "report/termination.h"

#include <atomic>

namespace radevore::report {

namespace {

// The one process-wide signal flag: set by the signal watcher's thread, read by the job loop.
std::atomic<bool> requested{false};

}  // namespace

bool terminationRequested() {
  return requested.load(std::memory_order_acquire);
}

void requestTermination() {
  requested.store(true, std::memory_order_release);
}

void clearTerminationRequest() {
  requested.store(false, std::memory_order_release);
}

}  // namespace radevore::report
