// The drawing floor for the end-to-end benchmark: a bare Qt program that draws the pages the
// benchmark's print runs produce, with QPainter straight onto a QPdfWriter at 1200 dpi, from
// article data made up in memory by the same rules as the benchmark's catalogue. No database, no
// label format, no report layer.
//
//   bare_qt_labels demo|sheet N OUTPUT.pdf
#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kArticles = 10000;

// The benchmark's article of catalogue position i (bench/end_to_end_bench.cpp builds the same).
struct Article {
  QString code, description, shortDescription, barcode;
  int price = 0;
};

Article article(int i) {
  const QString n = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
  Article a;
  a.code = QStringLiteral("B") + n;
  a.description = QStringLiteral("PRODUCTO DE PRUEBA %1 PRESENTACION X 500 G").arg(i);
  a.shortDescription = QStringLiteral("PRODUCTO %1").arg(i);
  a.barcode = QStringLiteral("770%1").arg(i, 10, 10, QLatin1Char('0'));
  a.price = 1000 + (i * 37) % 9000;
  return a;
}

// The queued label k names article (k * 7919) mod 10000.
int articleOfLabel(long k) {
  return static_cast<int>((k * 7919) % kArticles);
}

QFont font(const char* face, int points) {
  QFont f(QString::fromLatin1(face));
  f.setPointSize(points);
  return f;
}

struct Page {
  QPainter& painter;
  double dpi;
  double sx, sy;  // inches per format unit
  QPointF at(double x, double y) const { return {x * dpi, y * dpi}; }
  // Format units at label origin (ox, oy) in inches.
  QPointF unit(double ox, double oy, int ux, int uy) const {
    return at(ox + ux * sx, oy + uy * sy);
  }
  void text(double ox, double oy, int ux, int uy, const QFont& f, const QString& s) const {
    painter.setFont(f);
    painter.drawText(unit(ox, oy, ux, uy), s);
  }
  void rightText(double ox, double oy, int ux, int uy, const QFont& f, const QString& s) const {
    painter.setFont(f);
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(unit(ox, oy, ux, uy) - QPointF(metrics.horizontalAdvance(s), 0), s);
  }
};

QString money(const QLocale& locale, int price) {
  return QStringLiteral("$ ") + locale.toString(price);
}

// One label a 4 x 2.5 in page (the demo's RT01 format).
void demoLabel(const Page& p, const Article& a, const QString& date, const QLocale& locale) {
  const double ox = 0, oy = 0;
  p.painter.drawRect(QRectF(p.unit(ox, oy, 30, 50), p.unit(ox, oy, 30 + 1440, 50 + 1900)));
  p.text(ox, oy, 90, 270, font("DejaVu Sans", 12), QStringLiteral("SUPERMERCADO LA ESPIGA"));
  p.painter.drawLine(p.unit(ox, oy, 90, 340), p.unit(ox, oy, 90 + 1320, 340));
  p.text(ox, oy, 90, 1180, font("DejaVu Sans", 10), QStringLiteral("Precio"));
  p.painter.drawLine(p.unit(ox, oy, 90, 1420), p.unit(ox, oy, 90 + 1320, 1420));
  p.text(ox, oy, 1000, 1880, font("DejaVu Sans", 7), QStringLiteral("¡Gracias por su compra!"));
  p.text(ox, oy, 90, 560, font("DejaVu Sans", 12), a.description.left(34));
  p.text(ox, oy, 90, 760, font("DejaVu Sans", 9), a.code);
  p.text(ox, oy, 500, 760, font("DejaVu Sans", 9), QStringLiteral("UND"));
  p.text(ox, oy, 90, 940, font("DejaVu Sans", 8), QStringLiteral("PRECIO PÚBLICO"));
  p.rightText(ox, oy, 1400, 1330, font("DejaVu Sans Bold", 34), money(locale, a.price));
  p.text(ox, oy, 90, 1760, font("Libre Barcode 39", 30), u'*' + a.code + u'*');
  p.text(ox, oy, 90, 1880, font("DejaVu Sans Mono", 7), a.barcode);
  p.text(ox, oy, 1150, 940, font("DejaVu Sans", 8), date);
}

// Thirty labels a Letter sheet, three a row (the benchmark's RT03 format).
void sheetLabel(const Page& p, const Article& a, int column, int row, const QLocale& locale) {
  const double ox = 500 * column * p.sx, oy = 200 * row * p.sy;
  p.painter.drawRect(QRectF(p.unit(ox, oy, 20, 10), p.unit(ox, oy, 20 + 460, 10 + 180)));
  p.text(ox, oy, 40, 40, font("DejaVu Sans", 6), QStringLiteral("LA ESPIGA"));
  p.text(ox, oy, 40, 75, font("DejaVu Sans", 8), a.shortDescription.left(30));
  p.text(ox, oy, 350, 40, font("DejaVu Sans", 6), QStringLiteral("UND"));
  p.rightText(ox, oy, 450, 120, font("DejaVu Sans Bold", 16), money(locale, a.price));
  p.text(ox, oy, 40, 160, font("Libre Barcode 39", 18), u'*' + a.code + u'*');
  p.text(ox, oy, 40, 185, font("DejaVu Sans", 6), a.code);
  p.text(ox, oy, 250, 185, font("DejaVu Sans Mono", 6), a.barcode);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "demo") != 0 && std::strcmp(argv[1], "sheet") != 0)) {
    std::fprintf(stderr, "usage: bare_qt_labels demo|sheet N OUTPUT.pdf\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const bool demo = std::strcmp(argv[1], "demo") == 0;
  const long labels = std::strtol(argv[2], nullptr, 10);
  const QLocale locale(QStringLiteral("es_CO"));
  const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);

  QPdfWriter writer(QString::fromLocal8Bit(argv[3]));
  writer.setResolution(1200);
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  const QSizeF inches = demo ? QSizeF(4.0, 2.5) : QSizeF(8.5, 11.0);
  writer.setPageSize(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch));
  QPainter painter(&writer);
  QPen pen(Qt::black);
  pen.setWidth(2);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  // Inches per format unit, rounded to 4 places as the label formats' scale is.
  const Page page{painter, 1200.0, demo ? 0.0027 : 0.0057, demo ? 0.0012 : 0.0055};
  for (long k = 0; k < labels; ++k) {
    const Article a = article(articleOfLabel(k));
    if (demo) {
      if (k > 0) writer.newPage();
      demoLabel(page, a, date, locale);
    } else {
      if (k > 0 && k % 30 == 0) writer.newPage();
      sheetLabel(page, a, static_cast<int>(k % 3), static_cast<int>((k % 30) / 3), locale);
    }
  }
  return painter.end() ? 0 : 1;
}
