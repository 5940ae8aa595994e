#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace radevore::report {

// The small window shown while a job's pages are generated: caption "Estado", the page being
// generated and a "Cancel" button.
class StatusWindow {
 public:
  StatusWindow();
  ~StatusWindow();
  StatusWindow(const StatusWindow&) = delete;
  StatusWindow& operator=(const StatusWindow&) = delete;

  void showPage(int page);
  bool cancelled() const { return cancelled_; }

 private:
  QDialog dialog_;
  QVBoxLayout layout_{&dialog_};
  QLabel label_;
  QPushButton cancel_{QStringLiteral("Cancel")};
  bool cancelled_ = false;
};

}  // namespace radevore::report
