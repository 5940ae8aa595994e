#pragma once

#include <QString>
#include <optional>

namespace radevore::print {

// What the print run reads from and does to the main window, always at the moment of use.
class PrintRunWindow {
 public:
  virtual ~PrintRunWindow() = default;
  virtual QString prefix() const = 0;                      // shown text of Prefijo (PREF_PRE)
  virtual QString priceListText() const = 0;               // shown text of ListaPrecio (LIPR_NOM)
  virtual std::optional<qint64> priceListKey() const = 0;  // key of ListaPrecio (LIPR_COD)
  virtual QString userName() const = 0;                    // text of Tusua
  virtual QString fixedText() const = 0;                   // text of Texto
  virtual void showPanel(const QString& text) = 0;         // Panel5 with its text, painted
  virtual void hidePanel() = 0;
  virtual void processEvents() = 0;  // handle pending window messages
};

// The company's configuration table (configuracion): the value, or "" after the "not found"
// dialog.
class SettingsLookup {
 public:
  virtual ~SettingsLookup() = default;
  virtual QString configuracion(const QString& module, const QString& category,
                                const QString& property) = 0;
};

// The printer alias file (nombre_impresora): the printer name of an alias, "" when none.
class PrinterAliases {
 public:
  virtual ~PrinterAliases() = default;
  virtual QString nombre_impresora(const QString& alias) = 0;
};

// What a print run that reached its labels (or failed) tells the job journal when it ends.
struct FinishedRun {
  QString prefix;
  QString priceList;
  int labels = 0;   // labels drawn
  QString outcome;  // "printed", "cancelled" or "failed"
  QString error;    // the error text of a failed run
};

// Where finished runs are recorded. Recording never fails a run.
class JobRecorder {
 public:
  virtual ~JobRecorder() = default;
  virtual void recordRun(const FinishedRun& run) = 0;
};

}  // namespace radevore::print
