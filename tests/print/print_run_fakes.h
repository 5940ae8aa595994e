#pragma once

#include <QMap>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "print/print_seams.h"
#include "print/user_messages.h"
#include "report/print_service.h"
#include "report/recording_canvas.h"
#include "report/report_system.h"

namespace radevore::testing {

// The main window as the print run sees it, with what the run did to its status panel.
struct FakePrintWindow : print::PrintRunWindow {
  QString prefixText;
  QString priceText;
  std::optional<qint64> priceKey;
  QString user = QStringLiteral("CAJERO1");
  QString fixed;
  std::vector<QString> panelLog;  // "show:<text>" and "hide" in order
  bool panelVisible = false;

  QString prefix() const override { return prefixText; }
  QString priceListText() const override { return priceText; }
  std::optional<qint64> priceListKey() const override { return priceKey; }
  QString userName() const override { return user; }
  QString fixedText() const override { return fixed; }
  void showPanel(const QString& text) override {
    panelLog.push_back(QStringLiteral("show:") + text);
    panelVisible = true;
  }
  void hidePanel() override {
    panelLog.push_back(QStringLiteral("hide"));
    panelVisible = false;
  }
  void processEvents() override {}
};

// The company's configuration table: a value is found by module, category and property together,
// as in CONFIGURACION; an absent one records the dialog and yields "". Starts with the fixture
// company's settings: price list 4, documents not previewed.
struct FakeSettings : print::SettingsLookup {
  using Key = std::tuple<QString, QString, QString>;  // module, category, property
  static Key priceListKey() {
    return {QStringLiteral("FACTURACION"), QStringLiteral("FACTURAS"),
            QStringLiteral("CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS")};
  }
  static Key previewKey() {
    return {QStringLiteral("INVENTARIO"), QStringLiteral("GENERAL"),
            QStringLiteral("PREVISUALIZAR IMPRESION DE DOCUMENTOS")};
  }
  std::map<Key, QString> values{{priceListKey(), QStringLiteral("4")},
                                {previewKey(), QStringLiteral("NO")}};
  std::vector<QString> dialogs;
  QString configuracion(const QString& module, const QString& category,
                        const QString& property) override {
    const auto found = values.find({module, category, property});
    if (found == values.end()) {
      dialogs.push_back(QStringLiteral("No se encontró la configuración ") + property);
      return {};
    }
    return found->second;
  }
};

struct FakeAliases : print::PrinterAliases {
  QMap<QString, QString> names;
  QString nombre_impresora(const QString& alias) override { return names.value(alias); }
};

struct NoPrinters : report::PrintService {
  QStringList printerNames() const override { return {}; }
  QString defaultPrinterName() const override { return {}; }
  std::optional<report::PrinterDetails> printer(const QString&) const override {
    return std::nullopt;
  }
};

// A report system that runs each job on a RecordingCanvas and keeps the canvases.
struct RecordingReportSystem : report::ReportSystem {
  std::vector<std::unique_ptr<report::RecordingCanvas>> jobs;
  std::function<void(report::RecordingCanvas&)> duringPrint;  // runs inside the print callback
  bool cancel = false;

  report::ReportOutcome RunReport(const Callback& beforePrint, const Callback& print) override {
    auto canvas = std::make_unique<report::RecordingCanvas>();
    report::RecordingCanvas& c = *canvas;
    jobs.push_back(std::move(canvas));
    beforePrint(c);
    print(c);
    if (duringPrint) duringPrint(c);
    return cancel ? report::ReportOutcome::Cancelled : report::ReportOutcome::Printed;
  }
};

}  // namespace radevore::testing
