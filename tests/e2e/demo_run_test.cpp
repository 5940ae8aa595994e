// Starts the built program on the demo company (a 4 x 2.5 in shelf label, 36 queued labels) with
// --once and --pdf, its printer alias pointing at a label queue, and reads the PDF it wrote.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>

#include "db/attachment.h"
#include "support/cups_server.h"
#include "support/fixture_db.h"
#include "support/pdf_probe.h"

namespace radevore::testing {
namespace {

const QString kQueue = QStringLiteral("Zebra-Demo");

// Some demo labels as they must read on a Colombian workstation: the description cut to its
// first 34 characters, the price of list 1 in pesos without decimals and the bar code of the
// article's unit.
struct DemoLabel {
  QString code;
  QString description;
  QString price;
  QString barcode;
};
const DemoLabel kSome[] = {
    {"10001", "ARROZ DIANA PREMIUM X 500 G", "$2.350", "7701000100000"},
    {"10002", "AZÚCAR MANUELITA BLANCA X 1 KG", "$4.290", "7701000200010"},
    {"10003", "CAFÉ SELLO ROJO TRADICIONAL X 250", "$9.850", "7701000300020"},
    {"10007", "ATÚN EN ACEITE VAN CAMP'S X 160 G", "$6.750", "7701000700060"},
    {"30005", "PAÑALES WINNY ETAPA 3 X 30", "$38.500", "7703000500190"},
    {"50002", "PIÑA ORO MIEL UNIDAD", "$6.900", "7705000200240"},
};

class DemoRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString root = root_.path();
    ASSERT_TRUE(QDir().mkpath(root + "/datos/001"));
    createDatabase(root + "/datos/general.fdb", {fixturePath("general.sql")});
    companyDb_ = root + "/datos/001/nexora.fdb";
    createDatabase(companyDb_, {fixturePath("company.sql"), fixturePath("demo_data.sql")});

    QFile aliases(root + "/impresoras.cfg");
    ASSERT_TRUE(aliases.open(QIODevice::WriteOnly));
    aliases.write("ETIQUETAS," + kQueue.toLatin1() + "\r\n");
    aliases.close();

    QDir(config_.path()).mkpath("Orvane");
    QFile settings(config_.file("Orvane/NexoraERP2021.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\nDirectorio=" + root.toUtf8() + "\n");
    settings.close();
    QDir().mkpath(out_.file("pdf"));
  }

  // The article codes waiting in the queue, with how often each is queued.
  QMap<QString, int> queuedCodes() {
    db::ConnectionParams params;
    params.database = companyDb_;
    params.user = QStringLiteral("SYSDBA");
    params.password = QStringLiteral("masterkey");
    db::Attachment company = db::Attachment::open(params);
    QMap<QString, int> codes;
    const db::RowSet rows =
        company.query("SELECT ARTI_COD FROM ROTULOS_PENDIENTES WHERE PREF_PRE = 'RT01'");
    for (const db::Row& row : rows.rows) ++codes[row.text(u"ARTI_COD")];
    return codes;
  }

  // Runs the program once; returns the PDF it wrote, "" when none.
  QString runOnce() {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_DIRS", config_.path());
    // The workstation's regional settings decide the currency format of the prices.
    env.insert("LC_ALL", "es_CO.UTF-8");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(RADEVORE_BINARY_DIR "/radevore"),
                  {"--once", "--pdf", out_.file("pdf"), root_.path(), "SYSDBA", "masterkey", "001",
                   "RT01", "1"});
    if (!process.waitForFinished(120000)) process.kill();
    process.waitForFinished();
    errors_ = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << errors_.toStdString();
    const QStringList pdfs = QDir(out_.file("pdf")).entryList({"*.pdf"}, QDir::Files);
    return pdfs.size() == 1 ? QDir(out_.file("pdf")).filePath(pdfs.first()) : QString();
  }

  TempDir root_;
  TempDir config_;
  TempDir out_;
  QString companyDb_;
  QString errors_;
};

// The words of every page, joined by blanks, page by page.
QStringList pageTexts(const QString& pdf) {
  QStringList pages;
  for (const PdfWord& word : pdfWords(pdf)) {
    while (pages.size() < word.page) pages.append(QString());
    if (!pages[word.page - 1].isEmpty()) pages[word.page - 1] += u' ';
    pages[word.page - 1] += word.text;
  }
  return pages;
}

TEST_F(DemoRunTest, EveryQueuedLabelIsPrintedWithItsTextsPriceAndBarcode) {
  CupsServer& cups = sharedCupsServer();
  ASSERT_TRUE(cups.failure().isEmpty()) << cups.failure().toStdString();
  cups.addZebraQueue(kQueue);

  const QMap<QString, int> queued = queuedCodes();
  ASSERT_EQ(queued.size(), 26);
  int labels = 0;
  for (int n : queued) labels += n;
  ASSERT_EQ(labels, 36);

  const QString pdf = runOnce();
  ASSERT_FALSE(pdf.isEmpty()) << errors_.toStdString();
  const QStringList pages = pageTexts(pdf);
  const QString all = pages.join(u' ');

  // Each label fills one page and the labels print in queue order.
  EXPECT_EQ(pdfInfo(pdf).value("Pages").toInt(), labels);
  ASSERT_EQ(pages.size(), labels);
  for (int i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].count("SUPERMERCADO LA ESPIGA"), 1) << "page " << i + 1;
  }

  // Every queued article prints its code as often as it was queued, and its code between
  // asterisks for the bar-code font.
  for (auto it = queued.begin(); it != queued.end(); ++it) {
    const QStringList words = all.split(u' ');
    EXPECT_EQ(words.count(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(words.count("*" + it.key() + "*"), it.value()) << it.key().toStdString();
  }

  for (const DemoLabel& label : kSome) {
    SCOPED_TRACE(label.code.toStdString());
    const QString& price = label.price;
    const QString* page = nullptr;
    for (const QString& text : pages) {
      if (text.split(u' ').contains(label.code)) {
        page = &text;
        break;
      }
    }
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->contains(label.description)) << page->toStdString();
    EXPECT_TRUE(page->contains(price)) << price.toStdString() << " in " << page->toStdString();
    EXPECT_TRUE(page->split(u' ').contains(label.barcode)) << page->toStdString();
    EXPECT_TRUE(page->split(u' ').contains("*" + label.code + "*")) << page->toStdString();
  }
  // The static texts with their own accents.
  EXPECT_EQ(all.count(QStringLiteral("¡Gracias por su compra!")), labels);

  // The label printer took the format's paper.
  const QSizeF size = pdfPageSizePoints(pdf);
  EXPECT_NEAR(size.width(), 4.0 * 72, 0.5);
  EXPECT_NEAR(size.height(), 2.5 * 72, 0.5);
  // Every word lies inside the label's frame, which spans (30 .. 1470) * 0.0027 in across.
  for (const PdfWord& word : pdfWords(pdf)) {
    EXPECT_GT(word.box.left() / 72.0, 30 * 0.0027) << word.text.toStdString();
    EXPECT_LT(word.box.right() / 72.0, 1470 * 0.0027) << word.text.toStdString();
  }
  // Below the label's frame each page is blank: no part of the next label spills onto it.
  // The frame ends at (50 + 1900) * 0.0012 = 2.34 in.
  for (int page : {1, 2, labels}) {
    const PdfRaster raster = pdfRaster(pdf, page, 100);
    ASSERT_GT(raster.width, 0);
    int dark = 0;
    for (int y = 238; y < raster.height; ++y)
      for (int x = 0; x < raster.width; ++x)
        if (raster.at(x, y) < 128) ++dark;
    EXPECT_EQ(dark, 0) << "page " << page;
  }
}

}  // namespace
}  // namespace radevore::testing
