#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/login.h"
#include "print/print_run.h"
#include "print/print_seams.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

namespace radevore::print {
class UserMessages;
}

namespace radevore::app {

class Fdm;

// The main window (flabrions): login fields, print choices, the print and cancel buttons, the
// status panel and the repeat timer. It reads its controls at the moment they are asked for.
class Tflabrions : public QWidget, public print::PrintRunWindow, public LoginForm {
  Q_OBJECT

 public:
  using PrintCommand = std::function<print::PrintRunResult()>;
  using CancelCommand = std::function<void()>;

  // Creates the window and runs FormCreate (reads the server list). The timer starts here.
  Tflabrions(Fdm& fdm, print::UserMessages& messages, QWidget* parent = nullptr);
  ~Tflabrions() override;

  // The print run started by F2, the print button and the timer.
  void setPrintCommand(PrintCommand command) { printCommand_ = std::move(command); }
  // Stops the running print job at its next drawing operation; closing the window during a run
  // calls it.
  void setCancelCommand(CancelCommand command) { cancelCommand_ = std::move(command); }

  // The repeat timer's period (90 s unless the command line says otherwise); the countdown
  // starts again from now.
  void setRepeatInterval(int milliseconds);

  void FormCreate();
  // The login sequence; while a print run is in progress it waits until the run has ended.
  void CiaExit();
  print::PrintRunResult SpeedButton3Click();
  bool runInProgress() const { return runDepth_ > 0; }

  // Replaces the entries of Servidor and selects the first (none when empty).
  void setServers(const QStringList& servers);
  QStringList servers() const;
  void setUserName(const QString& text);
  void setPassword(const QString& text);
  void setCompany(const QString& text);
  void setFixedText(const QString& text);
  // Chooses the prefix whose PREF_PRE equals `key`; none when the list has no such entry.
  void selectPrefixByKey(const QString& key);
  // Chooses the price list whose LIPR_COD equals `key` read as an integer; none otherwise.
  void selectPriceListByKey(const QString& key);
  QStringList prefixEntries() const;
  bool printEnabled() const;
  bool panelVisible() const;
  QString panelText() const;

  // print::PrintRunWindow and LoginForm
  QString prefix() const override;
  QString priceListText() const override;
  std::optional<qint64> priceListKey() const override;
  QString userName() const override;
  QString fixedText() const override;
  void showPanel(const QString& text) override;
  void hidePanel() override;
  void processEvents() override;
  QString server() const override;
  QString password() const override;
  QString company() const override;
  void enablePrintButton() override;
  void setPriceLists(const std::vector<PriceListEntry>& lists) override;
  void setPrefixes(const QStringList& prefixes) override;

 signals:
  // The window became the active window (FormActivate).
  void activated();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  // Paints the whole window at once, first waiting (bounded) for a just-shown window to appear.
  void paintNow();
  void FormKeyDown(const QKeyEvent& key);
  bool Enteratab(QObject* watched, const QKeyEvent& key);

  Fdm& fdm_;
  print::UserMessages& messages_;
  Login login_;
  PrintCommand printCommand_;
  CancelCommand cancelCommand_;
  int runDepth_ = 0;            // print runs in progress (a nested trigger is dropped by the run)
  bool loginDeferred_ = false;  // a login asked for during a run, done when it ends
  bool closedDuringRun_ = false;
  // The key press FormKeyDown has handled, while it propagates up the parents, and the last
  // widget it reached.
  const QEvent* handledKey_ = nullptr;
  QPointer<QWidget> keyReachedParent_;

  QFrame* Panel2 = nullptr;
  QLabel* Label2 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QComboBox* Servidor = nullptr;
  QLineEdit* Tusua = nullptr;
  QLineEdit* TClave = nullptr;
  QLineEdit* Cia = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QLineEdit* Texto = nullptr;
  QComboBox* Prefijo = nullptr;
  QComboBox* ListaPrecio = nullptr;
  QFrame* Panel1 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QLabel* Panel5 = nullptr;
  QTimer* Timer1 = nullptr;
  bool appeared_ = false;  // the window has been on the screen (or was waited for once)
};

}  // namespace radevore::app
