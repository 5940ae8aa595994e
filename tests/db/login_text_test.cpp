// User names and passwords are texts of the ERP's code page like every other text: accented
// ones reach the server as typed, whatever the locale of the process (this test program runs in
// the C locale: it never sets one).

#include <gtest/gtest.h>

#include "db/db_error.h"
#include "db_test_support.h"
#include "support/firebird_server.h"

namespace radevore::db {
namespace {

QString currentUser(Attachment& att) {
  return att.query(QStringLiteral("SELECT CURRENT_USER AS U FROM RDB$DATABASE"))
      .rows.at(0)
      .text(u"U")
      .trimmed();
}

// The embedded engine checks no password; the user name it is given is CURRENT_USER.
TEST(LoginText, AccentedUserNamesReachTheEngineAsTyped) {
  testing::ScratchDb scratch;
  struct Case {
    QString typed;
    QString seen;
  };
  const Case cases[] = {
      {QStringLiteral("JOSÉ"), QStringLiteral("JOSÉ")},
      {QStringLiteral("MUÑOZ"), QStringLiteral("MUÑOZ")},
      {QStringLiteral("CAJA€"), QStringLiteral("CAJA€")},
      // Not in the code page: sent as '?', as the ERP's workstation would.
      {QStringLiteral("ŁUKASZ"), QStringLiteral("?UKASZ")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    ConnectionParams p = scratch.params();
    p.user = c.typed;
    Attachment att = Attachment::open(p);
    EXPECT_EQ(currentUser(att), c.seen);
  }
}

// Users made the way the ERP makes them, over a Windows-1252 connection, log in with the
// password as typed; a different accent is a different password.
TEST(LoginText, AccentedPasswordsMatchOnTheServer) {
  testing::FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  const QString db = server.databasePath(QStringLiteral("login.fdb"));
  { Attachment::create(server.params(db)); }
  {
    ConnectionParams admin = server.params(db);
    admin.charset = QStringLiteral("WIN1252");
    Attachment att = Attachment::open(admin);
    att.execute(QStringLiteral("CREATE USER CAJERO1 PASSWORD 'Señor€1'"));
    att.execute(QStringLiteral("CREATE USER \"JOSÉ\" PASSWORD 'Año2024'"));
    att.execute(QStringLiteral("CREATE USER CAJERO2 PASSWORD 'a?b'"));
  }

  struct Case {
    QString user;
    QString password;
    bool accepted;
  };
  const Case cases[] = {
      {QStringLiteral("CAJERO1"), QStringLiteral("Señor€1"), true},
      {QStringLiteral("CAJERO1"), QStringLiteral("Senor€1"), false},
      {QStringLiteral("CAJERO1"), QStringLiteral("SEÑOR€1"), false},
      {QStringLiteral("JOSÉ"), QStringLiteral("Año2024"), true},
      {QStringLiteral("JOSE"), QStringLiteral("Año2024"), false},
      // Outside the code page the character is '?', like every text the ERP sends.
      {QStringLiteral("CAJERO2"), QStringLiteral("ałb"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.user + u' ' + c.password).toStdString());
    ConnectionParams p = server.params(db, c.password);
    p.user = c.user;
    if (c.accepted) {
      Attachment att = Attachment::open(p);
      EXPECT_EQ(currentUser(att), c.user);
    } else {
      try {
        Attachment::open(p);
        ADD_FAILURE() << "accepted";
      } catch (const DbError& e) {
        EXPECT_TRUE(
            e.text().startsWith(QStringLiteral("Your user name and password are not defined")))
            << e.text().toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace radevore::db
