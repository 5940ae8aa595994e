#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace radevore::print {
class UserMessages;
}

namespace radevore::app {

class Fdm;

// Paths of the two databases, built from the server text and the company code exactly as they
// stand: nothing trimmed, no separator added or removed.
struct DatabasePaths {
  QString general;  // server + "/datos/general.fdb"
  QString company;  // server + "/datos/" + company + "/nexora.fdb"
};
DatabasePaths databasePaths(const QString& server, const QString& company);

// One entry of the price-list choice: LIPR_COD and LIPR_NOM.
struct PriceListEntry {
  qint64 code = 0;
  QString name;
};

// What the login sequence reads from and does to the main window.
class LoginForm {
 public:
  virtual ~LoginForm() = default;
  virtual QString server() const = 0;
  virtual QString userName() const = 0;
  virtual QString password() const = 0;
  virtual QString company() const = 0;
  virtual void showPanel(const QString& text) = 0;  // Panel5 with the text, painted at once
  virtual void hidePanel() = 0;
  virtual void enablePrintButton() = 0;
  virtual void setPriceLists(const std::vector<PriceListEntry>& lists) = 0;
  // Fills the prefix list and chooses its first entry (none when empty).
  virtual void setPrefixes(const QStringList& prefixes) = 0;
};

// The login sequence (CiaExit): opens the general and then the company database with the
// window's server, user, password and company; enables printing; reloads the configuration and
// re-reads the price lists and the active prefixes of document type 36, choosing the first.
//
// A failure stops the sequence at its step, showing the database's own text once: a failure on
// the general database leaves it closed and everything else as it was; a failure on the company
// database leaves the general one open and the company one closed. The status panel is hidden
// whichever way the sequence ends.
class Login {
 public:
  Login(LoginForm& form, Fdm& fdm, print::UserMessages& messages);

  void CiaExit();

 private:
  LoginForm& form_;
  Fdm& fdm_;
  print::UserMessages& messages_;
  bool running_ = false;
};

}  // namespace radevore::app
