#include "print/report_setup.h"

namespace radevore::print {

namespace {

// Position of the first printer named `name`, letter case ignored, whole name; -1 when none.
int printerIndex(const QStringList& names, const QString& name) {
  for (int i = 0; i < names.size(); ++i) {
    if (names.at(i).compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

}  // namespace

QString jobTitle(const QString& article) {
  return QStringLiteral("Rótulo articulo ") + article;
}

void RvSystem1BeforePrint(report::ReportCanvas& canvas, const labels::LabelFormat& format,
                          const QString& article, SettingsLookup& settings, PrinterAliases& aliases,
                          const report::PrintService& printers) {
  const db::Row& header = format.header;
  const QStringList names = printers.printerNames();

  const QString alias = header.text(u"FORM_IMPRE");
  if (!alias.isEmpty()) {
    const QString preview =
        settings.configuracion(QStringLiteral("INVENTARIO"), QStringLiteral("GENERAL"),
                               QStringLiteral("PREVISUALIZAR IMPRESION DE DOCUMENTOS"));
    if (preview != QLatin1String("SI")) {
      const QString name = aliases.nombre_impresora(alias);
      if (!name.isEmpty()) canvas.SelectPrinter(printerIndex(names, name));
    }
  }

  const db::Value& width = header[u"FORM_PAPELAN"];
  const db::Value& height = header[u"FORM_PAPELAL"];
  if (width.isGiven() && height.isGiven())
    canvas.SetPaperSize(0, width.asDouble(), height.asDouble());

  if (header.text(u"FORM_HORIZONTAL") == QLatin1String("S"))
    canvas.SetOrientation(report::Orientation::Landscape);

  canvas.SetTitle(jobTitle(article));
}

}  // namespace radevore::print
