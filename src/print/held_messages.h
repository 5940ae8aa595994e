#pragma once

#include <QString>
#include <vector>

#include "print/user_messages.h"

namespace radevore::print {

// The user messages of the program, able to hold them back: while held, each message waits in
// order instead of being shown, and release() shows them all. A print run holds them while its
// fetch transaction keeps the queued labels locked, so that no modal box keeps another station
// waiting on those locks.
class HeldMessages : public UserMessages {
 public:
  explicit HeldMessages(UserMessages& target) : target_(target) {}

  void showMessage(const QString& text) override;
  void showErrorDialog(const QString& text) override;
  void showError(const QString& text) override;

  void hold() { held_ = true; }
  bool held() const { return held_; }
  // Stops holding and shows the waiting messages in the order they came.
  void release();

 private:
  enum class Kind { Message, ErrorDialog, Error };
  struct Waiting {
    Kind kind;
    QString text;
  };
  void show(Kind kind, const QString& text);

  UserMessages& target_;
  bool held_ = false;
  std::vector<Waiting> waiting_;
};

}  // namespace radevore::print
