#include "app/login.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/data_module.h"
#include "app/main_window.h"
#include "app_fixture.h"
#include "support/case_printing.h"
#include "support/firebird_server.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

using testing::Installation;
using testing::RecordingMessages;
using testing::TempDir;

const QString kNoPrefix = QStringLiteral("Debe crear antes un prefijo válido para el documento.");

struct PathCase {
  const char* name;
  QString server, company, general, companyDb;
};

void PrintTo(const PathCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " server " << printable(c.server) << " company " << printable(c.company)
      << " -> " << printable(c.general) << ", " << printable(c.companyDb);
}

class DatabasePathsTable : public ::testing::TestWithParam<PathCase> {};

TEST_P(DatabasePathsTable, ConcatenatesExactly) {
  const PathCase& c = GetParam();
  const DatabasePaths paths = databasePaths(c.server, c.company);
  EXPECT_EQ(paths.general, c.general);
  EXPECT_EQ(paths.company, c.companyDb);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, DatabasePathsTable,
    ::testing::Values(PathCase{"WindowsFolder", "c:\\nexora", "001", "c:\\nexora/datos/general.fdb",
                               "c:\\nexora/datos/001/nexora.fdb"},
                      PathCase{"EmptyServer", "", "001", "/datos/general.fdb",
                               "/datos/001/nexora.fdb"},
                      PathCase{"NothingTrimmed", " srv/ ", " 01 ", " srv/ /datos/general.fdb",
                               " srv/ /datos/ 01 /nexora.fdb"},
                      PathCase{"RemoteServer", "localhost/3050:/erp", "002",
                               "localhost/3050:/erp/datos/general.fdb",
                               "localhost/3050:/erp/datos/002/nexora.fdb"}),
    [](const auto& info) { return std::string(info.param.name); });

// A login form of plain values that records what the sequence does to it.
class FakeForm : public LoginForm {
 public:
  QString server() const override { return serverText; }
  QString userName() const override { return user; }
  QString password() const override { return pass; }
  QString company() const override { return companyCode; }
  void showPanel(const QString& text) override {
    panelTexts.append(text);
    panelVisible = true;
  }
  void hidePanel() override { panelVisible = false; }
  void enablePrintButton() override { printEnabled = true; }
  void setPriceLists(const std::vector<PriceListEntry>& lists) override {
    priceLists.clear();
    for (const auto& l : lists) priceLists.append(QString::number(l.code) + "=" + l.name);
  }
  void setPrefixes(const QStringList& list) override { prefixes = list; }

  QString serverText, user = "SYSDBA", pass = "masterkey", companyCode = "001";
  QStringList panelTexts;
  bool panelVisible = false;
  bool printEnabled = false;
  QStringList priceLists{"untouched"};
  QStringList prefixes{"untouched"};
};

class LoginTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    suite_ = std::make_unique<testing::SuiteInstallation>();
    installation_ = &suite_->installation;
  }
  static void TearDownTestSuite() {
    installation_ = nullptr;
    suite_.reset();
  }
  void SetUp() override { form_.serverText = installation_->root; }

  static inline std::unique_ptr<testing::SuiteInstallation> suite_;
  static inline const testing::Installation* installation_ = nullptr;
  RecordingMessages messages_;
  Fdm fdm_{messages_};
  FakeForm form_;
  Login login_{form_, fdm_, messages_};
};

TEST_F(LoginTest, OpensBothDatabasesAndFillsTheChoices) {
  login_.CiaExit();
  EXPECT_TRUE(messages_.entries.empty()) << messages_.texts().front().toStdString();
  ASSERT_TRUE(fdm_.ConGeneral.isOpen());
  ASSERT_TRUE(fdm_.Nexora.isOpen());
  EXPECT_EQ(fdm_.ConGeneral.params().database, installation_->generalDb);
  EXPECT_EQ(fdm_.Nexora.params().database, installation_->companyDb);
  EXPECT_EQ(fdm_.Nexora.params().user, "SYSDBA");
  EXPECT_EQ(fdm_.Nexora.params().password, "masterkey");
  EXPECT_TRUE(fdm_.Nexora.params().charset.isEmpty());
  EXPECT_EQ(fdm_.nexoraState(), ConnectionState::Open);
  EXPECT_EQ(form_.panelTexts, QStringList{"Conectando a la base de datos 001 ..."});
  EXPECT_FALSE(form_.panelVisible);
  EXPECT_TRUE(form_.printEnabled);
  EXPECT_EQ(form_.prefixes, (QStringList{"RT01", "RT02"}));
  EXPECT_EQ(form_.priceLists.size(), 4);
  EXPECT_TRUE(form_.priceLists.contains("12=MAYORISTAS"));
  EXPECT_EQ(fdm_.configuracion("FACTURACION", "FACTURAS",
                               "CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS"),
            "4");
}

struct GuardCase {
  const char* name;
  QString company, user, password;
};

void PrintTo(const GuardCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " company " << printable(c.company) << " user " << printable(c.user)
      << " password given: " << !c.password.isEmpty();
}

class LoginGuard : public LoginTest, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(LoginGuard, EmptyFieldDoesNothing) {
  form_.companyCode = GetParam().company;
  form_.user = GetParam().user;
  form_.pass = GetParam().password;
  login_.CiaExit();
  EXPECT_TRUE(form_.panelTexts.isEmpty());
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_FALSE(fdm_.ConGeneral.isOpen());
  EXPECT_FALSE(fdm_.Nexora.isOpen());
  EXPECT_FALSE(form_.printEnabled);
}

INSTANTIATE_TEST_SUITE_P(Fields, LoginGuard,
                         ::testing::Values(GuardCase{"NoCompany", "", "SYSDBA", "k"},
                                           GuardCase{"NoUser", "001", "", "k"},
                                           GuardCase{"NoPassword", "001", "SYSDBA", ""},
                                           GuardCase{"NothingAtAll", "", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginTest, BlankCompanyCountsAsFilled) {
  form_.companyCode = " ";
  login_.CiaExit();
  EXPECT_EQ(form_.panelTexts, QStringList{"Conectando a la base de datos   ..."});
  EXPECT_TRUE(fdm_.ConGeneral.isOpen());
  EXPECT_FALSE(fdm_.Nexora.isOpen());  // there is no company " "
}

TEST_F(LoginTest, FailureAtTheCompanyDatabaseLeavesTheGeneralOneOpen) {
  form_.companyCode = "999";
  login_.CiaExit();
  EXPECT_TRUE(fdm_.ConGeneral.isOpen());
  EXPECT_FALSE(fdm_.Nexora.isOpen());
  EXPECT_EQ(fdm_.nexoraState(), ConnectionState::Closed);
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].kind, RecordingMessages::Kind::Error);
  EXPECT_FALSE(messages_.entries[0].text.isEmpty());
  EXPECT_FALSE(form_.printEnabled);
  EXPECT_FALSE(form_.panelVisible);
  EXPECT_EQ(form_.prefixes, QStringList{"untouched"});
  EXPECT_FALSE(fdm_.configuration().loaded());
}

TEST_F(LoginTest, FailureAtTheGeneralDatabaseKeepsTheEarlierCompany) {
  login_.CiaExit();
  ASSERT_TRUE(fdm_.Nexora.isOpen());
  form_.serverText = installation_->root + "/absent";
  form_.prefixes = {"kept"};
  login_.CiaExit();
  EXPECT_FALSE(fdm_.ConGeneral.isOpen());
  ASSERT_TRUE(fdm_.Nexora.isOpen());
  EXPECT_EQ(fdm_.Nexora.params().database, installation_->companyDb);
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].kind, RecordingMessages::Kind::Error);
  EXPECT_TRUE(form_.printEnabled);
  EXPECT_EQ(form_.prefixes, QStringList{"kept"});
}

TEST_F(LoginTest, LoginToAnotherCompanyRereadsTheLists) {
  TempDir other;
  const Installation second =
      testing::makeInstallation(other.path(), "002",
                                "DELETE FROM PREFIJOS WHERE PREF_PRE = 'RT01';\n"
                                "DELETE FROM CONFIGURACION WHERE CONF_MODULO = 'FACTURACION';\n");
  login_.CiaExit();
  ASSERT_EQ(form_.prefixes, (QStringList{"RT01", "RT02"}));
  form_.serverText = second.root;
  form_.companyCode = "002";
  login_.CiaExit();
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_EQ(fdm_.Nexora.params().database, second.companyDb);
  EXPECT_EQ(form_.prefixes, QStringList{"RT02"});
  EXPECT_EQ(fdm_.configuracion("FACTURACION", "FACTURAS",
                               "CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS"),
            "");
  EXPECT_EQ(messages_.entries.size(), 1u);  // the configuration was reloaded: now absent
}

// The second company's CONFIGURACION cannot be read (a column that fails for every row): the
// reload fails, and the first company's settings are gone rather than still answering.
TEST_F(LoginTest, FailedReloadKeepsNoSettingOfTheEarlierCompany) {
  TempDir other;
  const Installation second = testing::makeInstallation(
      other.path(), "002", "ALTER TABLE CONFIGURACION ADD CONF_ROTA COMPUTED BY (1 / 0);\n");
  login_.CiaExit();
  ASSERT_TRUE(messages_.entries.empty());
  ASSERT_EQ(fdm_.configuracion("FACTURACION", "FACTURAS",
                               "CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS"),
            "4");

  form_.serverText = second.root;
  form_.companyCode = "002";
  login_.CiaExit();
  EXPECT_EQ(fdm_.Nexora.params().database, second.companyDb);
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].kind, RecordingMessages::Kind::Error);
  EXPECT_TRUE(messages_.entries[0].text.contains("divi", Qt::CaseInsensitive))
      << messages_.entries[0].text.toStdString();
  EXPECT_FALSE(fdm_.configuration().loaded());
  EXPECT_TRUE(fdm_.configuration().rows().empty());

  // The print run's look-up of the price list now finds nothing instead of company 001's 4.
  EXPECT_EQ(fdm_.configuracion("FACTURACION", "FACTURAS",
                               "CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS"),
            "");
  ASSERT_EQ(messages_.entries.size(), 2u);
  EXPECT_EQ(messages_.entries[1],
            (RecordingMessages::Entry{RecordingMessages::Kind::ErrorDialog,
                                      "No se encontró la configuración "
                                      "CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS"}));
}

TEST(LoginWithoutPrefix, CompanyWithoutActivePrefixShowsTheMessage) {
  TempDir dir;
  const Installation installation = testing::makeInstallation(
      dir.path(), "001", "UPDATE PREFIJOS SET PREF_ACTIVO = 'N' WHERE TIDO_COD = 36;\n");
  RecordingMessages messages;
  Fdm fdm(messages);
  FakeForm form;
  form.serverText = installation.root;
  Login login(form, fdm, messages);
  login.CiaExit();
  EXPECT_EQ(messages.entries,
            (std::vector<RecordingMessages::Entry>{{RecordingMessages::Kind::Message, kNoPrefix}}));
  EXPECT_TRUE(fdm.ConGeneral.isOpen());
  EXPECT_TRUE(fdm.Nexora.isOpen());
  EXPECT_TRUE(form.printEnabled);
  EXPECT_TRUE(form.prefixes.isEmpty());
}

TEST(LoginOnServer, WrongPasswordShowsFirebirdsErrorAndPrintingStaysOff) {
  testing::FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  RecordingMessages messages;
  Fdm fdm(messages);
  testing::SettingsScope settings;
  Tflabrions window(fdm, messages);
  messages.entries.clear();
  window.setServers({server.connectionString(server.dataDir())});
  window.setUserName("SYSDBA");
  window.setPassword("wrong");
  window.setCompany("001");
  window.CiaExit();
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].kind, RecordingMessages::Kind::Error);
  EXPECT_TRUE(messages.entries[0].text.contains("password", Qt::CaseInsensitive))
      << messages.entries[0].text.toStdString();
  EXPECT_FALSE(window.printEnabled());
  EXPECT_FALSE(window.panelVisible());
  EXPECT_FALSE(fdm.ConGeneral.isOpen());
  EXPECT_FALSE(fdm.Nexora.isOpen());
}

// A store clerk whose password has accents, made by the ERP over its Windows-1252 connection,
// logs in from the window to an installation served on loopback.
TEST(LoginOnServer, AccentedPasswordLogsIn) {
  testing::FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  const Installation installation =
      testing::makeInstallation(server.databasePath(QStringLiteral("erp")), "001");
  ASSERT_TRUE(server.handOver(installation.root));
  {
    db::ConnectionParams admin = server.params(installation.generalDb);
    admin.charset = QStringLiteral("WIN1252");
    db::Attachment general = db::Attachment::open(admin);
    general.execute(QStringLiteral("CREATE USER CAJERA PASSWORD 'Contraseña€'"));
    admin.database = server.connectionString(installation.companyDb);
    db::Attachment company = db::Attachment::open(admin);
    for (const char* table : {"CONFIGURACION", "LISTA_PRECIOS", "PREFIJOS"})
      company.execute(QStringLiteral("GRANT SELECT ON %1 TO CAJERA").arg(QLatin1String(table)));
  }

  RecordingMessages messages;
  Fdm fdm(messages);
  FakeForm form;
  form.serverText = server.connectionString(installation.root);
  form.user = QStringLiteral("CAJERA");
  form.pass = QStringLiteral("Contraseña€");
  Login login(form, fdm, messages);
  login.CiaExit();
  EXPECT_TRUE(messages.entries.empty()) << messages.texts().front().toStdString();
  ASSERT_TRUE(fdm.ConGeneral.isOpen());
  ASSERT_TRUE(fdm.Nexora.isOpen());
  EXPECT_EQ(fdm.Nexora.query(QStringLiteral("SELECT CURRENT_USER AS U FROM RDB$DATABASE"))
                .rows.at(0)
                .text(u"U")
                .trimmed(),
            "CAJERA");
  EXPECT_TRUE(form.printEnabled);
  EXPECT_EQ(form.prefixes, (QStringList{"RT01", "RT02"}));

  // The same password without its accent is refused with the server's own text.
  RecordingMessages refused;
  Fdm other(refused);
  form.pass = QStringLiteral("Contrasena€");
  Login(form, other, refused).CiaExit();
  ASSERT_EQ(refused.entries.size(), 1u);
  EXPECT_TRUE(refused.entries[0].text.contains("password", Qt::CaseInsensitive));
  EXPECT_FALSE(other.ConGeneral.isOpen());
}

}  // namespace
}  // namespace radevore::app
