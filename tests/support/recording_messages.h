#pragma once

#include <QString>
#include <vector>

#include "print/user_messages.h"

namespace radevore::testing {

// User messages recorded in order instead of shown, each with the way it was shown.
class RecordingMessages : public print::UserMessages {
 public:
  enum class Kind { Message, ErrorDialog, Error };
  struct Entry {
    Kind kind;
    QString text;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  void showMessage(const QString& text) override { entries.push_back({Kind::Message, text}); }
  void showErrorDialog(const QString& text) override {
    entries.push_back({Kind::ErrorDialog, text});
  }
  void showError(const QString& text) override { entries.push_back({Kind::Error, text}); }

  std::vector<QString> texts() const {
    std::vector<QString> out;
    for (const Entry& e : entries) out.push_back(e.text);
    return out;
  }

  std::vector<Entry> entries;
};

}  // namespace radevore::testing
