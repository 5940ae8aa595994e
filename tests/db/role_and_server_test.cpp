#include <gtest/gtest.h>

#include "db/db_error.h"
#include "db_test_support.h"
#include "support/firebird_server.h"

namespace radevore::db {
namespace {

// The fixed role parameter "RoleName" is not granted to anybody; it must not stop the login.
TEST(Login, RoleParameterDoesNotBreakTheLogin) {
  testing::ScratchDb scratch;
  ConnectionParams p = scratch.params();
  ASSERT_EQ(p.role, "RoleName");
  Attachment att = Attachment::open(p);
  const Row r =
      att.query("SELECT CURRENT_USER AS U, CURRENT_ROLE AS R FROM RDB$DATABASE").rows.at(0);
  EXPECT_EQ(r.text(u"U"), "SYSDBA");
  EXPECT_EQ(r.text(u"R").trimmed(), "NONE");
}

TEST(Login, LoopbackServerChecksThePassword) {
  testing::FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  const QString db = server.databasePath("served.fdb");
  {
    Attachment created = Attachment::create(server.params(db));
    created.execute("CREATE TABLE T (S VARCHAR(10))");
    created.execute("INSERT INTO T VALUES (?)", {Value::text(QString::fromUtf8("Año"))});
  }
  Attachment att = Attachment::open(server.params(db));
  EXPECT_EQ(att.query("SELECT S FROM T").rows.at(0).text(u"S"), QString::fromUtf8("Año"));
  EXPECT_EQ(att.query("SELECT MON$REMOTE_PROTOCOL FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = "
                      "CURRENT_CONNECTION")
                .rows.at(0)
                .text(u"MON$REMOTE_PROTOCOL")
                .trimmed(),
            "TCPv4");
  const Row tx = att.query(
                        "SELECT MON$ISOLATION_MODE, MON$LOCK_TIMEOUT FROM MON$TRANSACTIONS "
                        "WHERE MON$TRANSACTION_ID = CURRENT_TRANSACTION")
                     .rows.at(0);
  EXPECT_EQ(tx.at(0), Value::integer(2)) << "read committed, record version";
  EXPECT_EQ(tx.at(1), Value::integer(-1)) << "waits on locks";

  try {
    Attachment::open(server.params(db, "wrong"));
    FAIL() << "a wrong password was accepted";
  } catch (const DbError& e) {
    EXPECT_EQ(e.text(),
              "Your user name and password are not defined. Ask your database administrator to "
              "set up a Firebird login.");
  }
}

}  // namespace
}  // namespace radevore::db
