#pragma once

namespace radevore::report {

// Marks an operation as in progress for the lifetime of the object. The window's messages are
// handled in the middle of print runs and jobs, so a second trigger can arrive while the first
// is still running; the operation checks its flag and refuses to start inside itself.
class RunningFlag {
 public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace radevore::report
