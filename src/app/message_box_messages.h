#pragma once

#include <QPointer>
#include <QWidget>

#include "print/user_messages.h"

namespace radevore::app {

// The user messages as modal message boxes that wait for their OK.
class MessageBoxMessages : public print::UserMessages {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }

  void showMessage(const QString& text) override;
  void showErrorDialog(const QString& text) override;
  void showError(const QString& text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace radevore::app
