#include "render/static_elements.h"

#include <QImage>

#include "db/code_page.h"
#include "render/bitmap_image.h"
#include "render/font_choice.h"

namespace radevore::render {

namespace {

QImage decodePicture(const db::Row& element) {
  const db::Value& picture = element[u"FOLI_IMAGEN"];
  if (picture.isNull()) return {};
  const QByteArray data = picture.kind() == db::Value::Kind::Blob
                              ? picture.asBlob()
                              : db::encodeWindows1252(picture.toText());
  return loadBitmapImage(data);
}

}  // namespace

const QImage& StaticPictures::of(const db::Row& element) {
  const auto found = images_.find(&element);
  if (found != images_.end()) return found->second;
  return images_.emplace(&element, decodePicture(element)).first->second;
}

void drawStaticShape(report::ReportCanvas& canvas, const db::Row& element, const PageScale& scale,
                     double x, double y, StaticPictures* pictures) {
  const QString type = element.text(u"FOLI_TIPO");
  if (type == u"L" || type == u"C") {
    const double w = static_cast<double>(element[u"FOLI_X"].toIntegerOr0()) * scale.x();
    const double h = static_cast<double>(element[u"FOLI_Y"].toIntegerOr0()) * scale.y();
    if (type == u"L") {
      canvas.MoveTo(x, y);
      canvas.LineTo(x + w, y + h);
    } else {
      canvas.Rectangle(x, y, x + w, y + h);
    }
  } else if (type == u"G") {
    const QImage image = pictures ? pictures->of(element) : decodePicture(element);
    if (image.isNull()) return;
    canvas.DrawBitmap(x, y, 1.0, 1.0, image);
  }
}

void drawStaticText(report::ReportCanvas& canvas, const db::Row& element, const db::Row& header,
                    double x, double y) {
  if (element.text(u"FOLI_TIPO") != u"T") return;
  const FontChoice font = chooseFont(element, u"FOLI_FONT", u"FOLI_FSIZE", header);
  canvas.SetFont(font.face, font.size);
  canvas.PrintAt(x, y, element.text(u"FOLI_CADENA"));
}

}  // namespace radevore::render
