#include <gtest/gtest.h>

#include <functional>

#include "db/db_error.h"
#include "db/statement.h"
#include "db/transaction.h"
#include "db_test_support.h"

namespace radevore::db {
namespace {

QString errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const DbError& e) {
    return e.text();
  }
  return QStringLiteral("<no error>");
}

TEST(Errors, BadStatementGivesFirebirdsText) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment att = scratch.open();
  EXPECT_EQ(errorOf([&] { att.query("SELEC * FROM T"); }),
            "Dynamic SQL Error\n-SQL error code = -104\n-Token unknown - line 1, column 1\n-SELEC");
  EXPECT_EQ(
      errorOf([&] { att.query("SELECT * FROM NO_SUCH_TABLE"); }),
      "Dynamic SQL Error\n-SQL error code = -204\n-Table unknown\n-NO_SUCH_TABLE\n-At line 1, "
      "column 15");
}

TEST(Errors, AbsentDatabaseNamesTheFile) {
  testing::TempDir dir;
  ConnectionParams p;
  p.database = dir.file("datos/001/nexora.fdb");
  p.user = "SYSDBA";
  p.password = "masterkey";
  const QString text = errorOf([&] { Attachment::open(p); });
  EXPECT_EQ(text,
            QStringLiteral("I/O error during \"open\" operation for file \"%1\"\n-Error while "
                           "trying to open file\n-No such file or directory")
                .arg(p.database));
}

TEST(Errors, UsingAClosedAttachmentOrEndedTransactionIsAnError) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment att = scratch.open();
  Transaction tr = att.startTransaction();
  tr.commit();
  EXPECT_FALSE(tr.isActive());
  EXPECT_THROW(att.prepare(tr, "SELECT * FROM T"), DbError);
  EXPECT_THROW(tr.commit(), DbError);
  EXPECT_NO_THROW(tr.rollback());
  att.close();
  EXPECT_FALSE(att.isOpen());
  EXPECT_THROW(att.query("SELECT * FROM T"), DbError);
}

TEST(Errors, StatementOutlivingItsAttachmentFailsCleanly) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment att = scratch.open();
  Transaction tr = att.startTransaction();
  Statement stmt = att.prepare(tr, "SELECT * FROM T");
  tr.rollback();
  att.close();
  EXPECT_THROW(stmt.execute(tr), DbError);
}

// An exception raised in the database carries its text in the database's single-byte code page
// (WIN1252), not UTF-8: the error's text still reads as the characters that were written.
TEST(Errors, TextInTheDatabasesCodePageReadsAsWritten) {
  testing::ScratchDb scratch;
  Attachment att = scratch.open();
  att.execute(QString::fromUtf8("CREATE EXCEPTION SIN_PRECIO 'Artículo sin precio: Ñandú €™'"));
  const QString text =
      errorOf([&] { att.execute("EXECUTE BLOCK AS BEGIN EXCEPTION SIN_PRECIO; END"); });
  EXPECT_TRUE(text.contains(QString::fromUtf8("Artículo sin precio: Ñandú €™")))
      << text.toStdString();
  EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
}

}  // namespace
}  // namespace radevore::db
