#include "report/status_window.h"

namespace radevore::report {

StatusWindow::StatusWindow() {
  dialog_.setWindowTitle(QStringLiteral("Estado"));
  layout_.addWidget(&label_);
  layout_.addWidget(&cancel_);
  QObject::connect(&cancel_, &QPushButton::clicked, [this] { cancelled_ = true; });
  // Closing the window (Esc, the close box) cancels as the button does.
  QObject::connect(&dialog_, &QDialog::rejected, [this] { cancelled_ = true; });
  showPage(1);
  dialog_.show();
}

// The children are members declared after the dialog, so each leaves it before it goes.
StatusWindow::~StatusWindow() {
  dialog_.hide();
}

void StatusWindow::showPage(int page) {
  label_.setText(
      QStringLiteral("Generating page %p").replace(QStringLiteral("%p"), QString::number(page)));
}

}  // namespace radevore::report
