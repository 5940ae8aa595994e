// impresoras.cfg fails while it is being read: the printer look-up ends with the system's
// error, the job never starts and every fetched label stays queued for the next run.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QRegularExpression>
#include <iostream>

#include "app/printer_aliases.h"
#include "db/attachment.h"
#include "print/print_run.h"
#include "print/print_run_fakes.h"
#include "support/fixture_db.h"
#include "support/recording_messages.h"

namespace radevore {
namespace {

using print::PrintRunResult;
using testing::RecordingMessages;

constexpr int kQueued = 6;

class PrinterAliasReadFault : public ::testing::Test {
 protected:
  void SetUp() override {
    QString sql;
    const char* articles[] = {"00123", "00200", "00300"};
    for (int i = 0; i < kQueued; ++i) {
      sql += QStringLiteral(
                 "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '%1');\n")
                 .arg(QString::fromLatin1(articles[i % 3]));
    }
    installation_ = testing::makeInstallation(data_.path(), QStringLiteral("001"), sql);
    company_ = db::Attachment::open(testing::companyParams(installation_));
    window_.prefixText = QStringLiteral("RT01");
  }

  int queued() {
    return static_cast<int>(
        company_.query(QStringLiteral("SELECT ROPE_ID FROM ROTULOS_PENDIENTES")).size());
  }
  // Labels drawn in the jobs handed over so far: one article code each.
  int printed() const {
    int labels = 0;
    for (const auto& job : reports_.jobs) {
      for (const auto& call : job->calls()) {
        if (call.op == u"PrintAt" &&
            QRegularExpression(QStringLiteral("^00[0-9]{3}$")).match(call.text).hasMatch())
          ++labels;
      }
    }
    return labels;
  }
  PrintRunResult runOnce() {
    app::PrinterAliasFile aliases(messages_, [this] { return install_.path(); });
    print::PrintRun run(window_, messages_, reports_, settings_, aliases, printers_);
    return run.SpeedButton3Click(&company_);
  }
  QString aliasFile() const { return install_.file(QStringLiteral("impresoras.cfg")); }

  testing::TempDir data_;
  testing::TempDir install_;
  testing::Installation installation_;
  db::Attachment company_;
  testing::FakePrintWindow window_;
  RecordingMessages messages_;
  testing::FakeSettings settings_;
  testing::NoPrinters printers_;
  testing::RecordingReportSystem reports_;
};

TEST_F(PrinterAliasReadFault, ReadErrorEndsTheRunWithEveryLabelKept) {
  // Opens as a regular file; the first read fails with an input/output error.
  ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), aliasFile()));
  ASSERT_EQ(queued(), kQueued);

  EXPECT_EQ(runOnce(), PrintRunResult::Failed);
  EXPECT_EQ(messages_.entries,
            (std::vector<RecordingMessages::Entry>{
                {RecordingMessages::Kind::Error, aliasFile() + ": Input/output error"}}));
  EXPECT_EQ(printed(), 0);
  for (const auto& job : reports_.jobs) EXPECT_TRUE(job->callsOf("SetTitle").empty());
  EXPECT_EQ(queued(), kQueued);  // printed 0 + queued 6 = 6
  EXPECT_FALSE(window_.panelVisible);
  std::cout << "[ figures ] read error: queued " << kQueued << ", printed " << printed()
            << ", still queued " << queued() << "\n";

  // Once the file reads again, the next run prints each label exactly once.
  ASSERT_TRUE(QFile::remove(aliasFile()));
  QFile file(aliasFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("ROTULOS,Zebra\r\n");
  file.close();
  messages_.entries.clear();
  EXPECT_EQ(runOnce(), PrintRunResult::Printed);
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_EQ(printed(), kQueued);
  EXPECT_EQ(queued(), 0);
  std::cout << "[ figures ] after repair: queued " << kQueued << ", printed " << printed()
            << ", still queued " << queued() << "\n";
}

// A FIFO cannot hang the run: it counts as a file that cannot be opened, which the user is
// told about, and the run prints on the printer it has (the labels leave the queue once each).
TEST_F(PrinterAliasReadFault, FifoIsAFileThatCannotBeOpened) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(aliasFile()).constData(), 0600), 0);

  EXPECT_EQ(runOnce(), PrintRunResult::Printed);
  EXPECT_EQ(messages_.entries,
            (std::vector<RecordingMessages::Entry>{
                {RecordingMessages::Kind::Message, "Error abriendo el archivo" + aliasFile()}}));
  EXPECT_EQ(printed(), kQueued);
  EXPECT_EQ(queued(), 0);
  std::cout << "[ figures ] FIFO: queued " << kQueued << ", printed " << printed()
            << ", still queued " << queued() << "\n";
}

}  // namespace
}  // namespace radevore
