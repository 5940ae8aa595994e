#include "db/transaction.h"

#include <gtest/gtest.h>

#include "db/db_error.h"
#include "db/statement.h"
#include "db_test_support.h"

namespace radevore::db {
namespace {

std::int64_t countRows(Attachment& att) {
  return att.query("SELECT COUNT(*) FROM T").rows.at(0).at(0).asInteger();
}

TEST(Transactions, CommitIsSeenByAnotherAttachmentRollbackIsNot) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment writer = scratch.open();
  Attachment reader = scratch.open();

  Transaction tr = writer.startTransaction();
  writer.prepare(tr, "INSERT INTO T VALUES (1)").execute(tr);
  EXPECT_EQ(countRows(reader), 0) << "uncommitted rows are not visible";
  tr.rollback();
  EXPECT_EQ(countRows(reader), 0);

  Transaction tr2 = writer.startTransaction();
  writer.prepare(tr2, "INSERT INTO T VALUES (2)").execute(tr2);
  tr2.commit();
  EXPECT_FALSE(tr2.isActive()) << "commit ends the transaction";
  EXPECT_EQ(countRows(reader), 1);
}

TEST(Transactions, DestructionRollsBack) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment writer = scratch.open();
  Attachment reader = scratch.open();
  {
    Transaction tr = writer.startTransaction();
    writer.prepare(tr, "INSERT INTO T VALUES (1)").execute(tr);
  }
  EXPECT_EQ(countRows(reader), 0);
}

TEST(Transactions, ReadCommittedSeesOthersCommitsInsideOneTransaction) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment reader = scratch.open();
  Attachment writer = scratch.open();
  Transaction tr = reader.startTransaction(TransactionMode::ReadOnly);
  Statement count = reader.prepare(tr, "SELECT COUNT(*) FROM T");
  EXPECT_EQ(count.execute(tr).rows.at(0).at(0).asInteger(), 0);
  writer.execute("INSERT INTO T VALUES (1)");
  EXPECT_EQ(count.execute(tr).rows.at(0).at(0).asInteger(), 1);
}

TEST(Transactions, ReadOnlyTransactionRefusesWrites) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment att = scratch.open();
  Transaction tr = att.startTransaction(TransactionMode::ReadOnly);
  Statement insert = att.prepare(tr, "INSERT INTO T VALUES (1)");
  try {
    insert.execute(tr);
    FAIL() << "no error";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.text().contains("read-only transaction")) << e.text().toStdString();
  }
}

// Assigning another transaction over an active one ends the old one with a rollback at once:
// its row never appears, and the attachment holds one transaction afterwards, not two.
TEST(Transactions, MoveAssignmentRollsTheOldOneBack) {
  testing::ScratchDb scratch("CREATE TABLE T (I INTEGER);");
  Attachment writer = scratch.open();
  Attachment monitor = scratch.open();
  const Value writerId =
      writer.query("SELECT CURRENT_CONNECTION FROM RDB$DATABASE").rows.at(0).at(0);
  auto openTransactions = [&] {
    return monitor
        .query("SELECT COUNT(*) FROM MON$TRANSACTIONS WHERE MON$ATTACHMENT_ID = ?", {writerId})
        .rows.at(0)
        .at(0)
        .asInteger();
  };

  Transaction tr = writer.startTransaction();
  writer.prepare(tr, "INSERT INTO T VALUES (1)").execute(tr);
  Transaction other = writer.startTransaction();
  writer.prepare(other, "INSERT INTO T VALUES (2)").execute(other);
  EXPECT_EQ(openTransactions(), 2);

  tr = std::move(other);
  EXPECT_EQ(openTransactions(), 1);
  ASSERT_TRUE(tr.isActive());
  tr.commit();
  EXPECT_EQ(monitor.query("SELECT LIST(I) FROM T").rows.at(0).at(0).toText(), "2");
}

}  // namespace
}  // namespace radevore::db
