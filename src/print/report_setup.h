#pragma once

#include <QString>

#include "labels/label_format.h"
#include "print/print_seams.h"
#include "report/print_service.h"
#include "report/report_canvas.h"

namespace radevore::print {

// The job title of a run: "Rótulo articulo " followed by the first label's article code.
QString jobTitle(const QString& article);

// The set-up callback of a print job (RvSystem1BeforePrint): the printer of the format's alias
// (FORM_IMPRE through impresoras.cfg, unless documents are previewed), the format's paper size
// (FORM_PAPELAN x FORM_PAPELAL inches) and orientation (FORM_HORIZONTAL "S": landscape), and the
// job title from the first record's ARTICULO.
void RvSystem1BeforePrint(report::ReportCanvas& canvas, const labels::LabelFormat& format,
                          const QString& article, SettingsLookup& settings, PrinterAliases& aliases,
                          const report::PrintService& printers);

}  // namespace radevore::print
