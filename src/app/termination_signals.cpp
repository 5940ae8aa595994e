#include "app/termination_signals.h"

#include <signal.h>

#include <ctime>

#include "report/termination.h"

namespace radevore::app {

namespace {

sigset_t terminationSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

void TerminationSignals::blockInThisProcess() {
  const sigset_t set = terminationSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent), watcher_([this](std::stop_token stop) { watch(stop); }) {}

TerminationSignals::~TerminationSignals() {
  watcher_.request_stop();
  watcher_.join();
}

void TerminationSignals::watch(std::stop_token stop) {
  const sigset_t set = terminationSet();
  // Woken a few times a second to notice the stop request.
  const timespec wait{0, 200 * 1000 * 1000};
  while (!stop.stop_requested()) {
    const int signal = sigtimedwait(&set, nullptr, &wait);
    if (signal <= 0) continue;
    signal_.store(signal);  // before the flag, so whoever sees the flag sees the signal
    report::requestTermination();
    QMetaObject::invokeMethod(
        this, [this, signal] { emit requested(signal); }, Qt::QueuedConnection);
  }
}

}  // namespace radevore::app
