#include "render/label_renderer.h"

#include <cstdint>

#include "render/font_choice.h"
#include "render/label_layout.h"
#include "render/static_elements.h"

namespace radevore::render {

namespace {

enum class StaticPass { Shapes, Texts };

// The running position on the sheet.
struct SheetPosition {
  std::int64_t columna = 0;
  std::int64_t fila = 0;
};

bool isFlag(const db::Row& row, QStringView column, QStringView flag) {
  return row.text(column) == flag;
}

void runStaticPass(StaticPass pass, report::ReportCanvas& canvas, const labels::LabelFormat& format,
                   const LabelLayout& layout, SheetPosition& at, StaticPictures& pictures) {
  for (const db::Row& element : format.staticElements) {
    const double x = layout.x(element[u"FOLI_POSX"], at.columna);
    double y = layout.y(element[u"FOLI_POSY"], at.fila);
    // The page break looks at every static element, before its filter and type.
    if (y > canvas.PageHeight()) {
      canvas.NewPage();
      at.fila = 0;
      y = layout.y(element[u"FOLI_POSY"], at.fila);
    }
    if (isFlag(element, u"FOLI_LIQUIDA", u"S")) continue;
    if (pass == StaticPass::Shapes) {
      drawStaticShape(canvas, element, layout.scale(), x, y, &pictures);
    } else {
      drawStaticText(canvas, element, format.header, x, y);
    }
  }
}

void runDataPass(report::ReportCanvas& canvas, const labels::LabelFormat& format,
                 const LabelLayout& layout, const SheetPosition& at,
                 const labels::LabelRecord& record, DataElementPrinter& printer) {
  for (const db::Row& element : format.dataElements) {
    if (!isFlag(element, u"DAFO_IMPRIME", u"S")) continue;
    if (!isFlag(element, u"DAFO_REPITE", u"N")) continue;
    if (isFlag(element, u"DAFO_LIQUIDA", u"S")) continue;
    const double x = layout.x(element[u"DAFO_POSX"], at.columna);
    const double y = layout.y(element[u"DAFO_POSY"], at.fila);
    const FontChoice font = chooseFont(element, u"DAFO_FONT", u"DAFO_FSIZE", format.header);
    canvas.SetFont(font.face, font.size);
    printer.print(canvas, element, record, x, y);
  }
}

}  // namespace

LabelRenderer::LabelRenderer(const labels::LabelFormat& format, DataElementPrinter& dataPrinter)
    : format_(format), dataPrinter_(dataPrinter) {}

void LabelRenderer::RvSystem1Print(report::ReportCanvas& canvas,
                                   labels::LabelRecords& records) const {
  imprime_encabezado(canvas, pageScaleFor(canvas.PageWidth(), canvas.PageHeight()), records);
}

void LabelRenderer::RvSystem1Print(report::ReportCanvas& canvas,
                                   const std::vector<labels::LabelRecord>& records) const {
  labels::LabelRecordList list(records);
  RvSystem1Print(canvas, list);
}

void LabelRenderer::imprime_encabezado(report::ReportCanvas& canvas, const PageScale& scale,
                                       const std::vector<labels::LabelRecord>& records) const {
  labels::LabelRecordList list(records);
  imprime_encabezado(canvas, scale, list);
}

void LabelRenderer::imprime_encabezado(report::ReportCanvas& canvas, const PageScale& scale,
                                       labels::LabelRecords& records) const {
  canvas.SetPen(report::PenStyle::Solid, 2);
  const LabelLayout layout(format_.header, scale);
  SheetPosition at;
  StaticPictures pictures;
  while (const labels::LabelRecord* next = records.next()) {
    const labels::LabelRecord& record = *next;
    if (layout.labelsPerRow() == at.columna) {
      at.columna = 0;
      ++at.fila;
    }
    runStaticPass(StaticPass::Shapes, canvas, format_, layout, at, pictures);
    runStaticPass(StaticPass::Texts, canvas, format_, layout, at, pictures);
    runDataPass(canvas, format_, layout, at, record, dataPrinter_);
    ++at.columna;
  }
}

}  // namespace radevore::render
