#include "app/message_box_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace radevore::app {

void MessageBoxMessages::showMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                  QMessageBox::Ok, parent_);
  box.exec();
}

void MessageBoxMessages::showErrorDialog(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::NoButton,
                  parent_);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

void MessageBoxMessages::showError(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                  QMessageBox::Ok, parent_);
  box.exec();
}

}  // namespace radevore::app
