#pragma once

#include <QObject>
#include <atomic>
#include <thread>

namespace radevore::app {

// SIGTERM and SIGINT, taken away from the Firebird client (which would otherwise shut the
// connections under a running job) and from their default action. The signals are blocked in
// every thread of the process and picked up by a watcher thread, which marks the termination as
// requested at once (the job loop reads that) and then tells the message loop.
class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  // Blocks both signals in the calling thread and so in every thread it starts afterwards. Call
  // it first thing in main, before Qt or the Firebird client start threads of their own.
  static void blockInThisProcess();

  explicit TerminationSignals(QObject* parent = nullptr);  // starts watching
  ~TerminationSignals() override;                          // stops the watcher thread

  int signalNumber() const { return signal_.load(); }  // 0 until a signal came

 signals:
  // Delivered through the message loop of the thread that made this object.
  void requested(int signal);

 private:
  void watch(std::stop_token stop);

  std::atomic<int> signal_{0};
  std::jthread watcher_;
};

}  // namespace radevore::app
