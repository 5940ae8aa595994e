#include "print/held_messages.h"

namespace radevore::print {

void HeldMessages::showMessage(const QString& text) {
  show(Kind::Message, text);
}

void HeldMessages::showErrorDialog(const QString& text) {
  show(Kind::ErrorDialog, text);
}

void HeldMessages::showError(const QString& text) {
  show(Kind::Error, text);
}

void HeldMessages::show(Kind kind, const QString& text) {
  if (held_) {
    waiting_.push_back({kind, text});
    return;
  }
  switch (kind) {
    case Kind::Message:
      target_.showMessage(text);
      break;
    case Kind::ErrorDialog:
      target_.showErrorDialog(text);
      break;
    case Kind::Error:
      target_.showError(text);
      break;
  }
}

void HeldMessages::release() {
  held_ = false;
  // Taken out first: a box shown here handles window messages, which may add to the list.
  std::vector<Waiting> waiting;
  waiting.swap(waiting_);
  for (const Waiting& w : waiting) show(w.kind, w.text);
}

}  // namespace radevore::print
