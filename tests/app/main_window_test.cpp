#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "app/data_module.h"
#include "app_fixture.h"
#include "support/case_printing.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

using testing::RecordingMessages;

// Counts the key presses that reach a widget.
class KeyRecorder : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) keys.append(static_cast<QKeyEvent*>(event)->key());
    return false;
  }
  QList<int> keys;
};

// The window with the panel's state recorded whenever the login shows it.
class ObservedWindow : public Tflabrions {
 public:
  using Tflabrions::Tflabrions;
  void showPanel(const QString& text) override {
    Tflabrions::showPanel(text);
    shown.append(text);
    visibleWhenShown = panelVisible();
  }
  QStringList shown;
  bool visibleWhenShown = false;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.setDirectory(install_.path());
    testing::writeFile(install_.file("SERVIDORES.cfg"), "srv1\r\nsrv2\r\n");
    window_ = std::make_unique<ObservedWindow>(fdm_, messages_);
    window_->setPrintCommand([this] {
      ++runs_;
      return print::PrintRunResult::NothingToPrint;
    });
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  template <typename W>
  W* child(const char* name) {
    W* w = window_->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QString focusName() const {
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
  }

  testing::SettingsScope settings_;
  testing::TempDir install_;
  RecordingMessages messages_;
  Fdm fdm_{messages_};
  std::unique_ptr<ObservedWindow> window_;
  int runs_ = 0;
};

TEST_F(MainWindowTest, ControlsCarryTheirNamesAndTexts) {
  EXPECT_EQ(window_->objectName(), "flabrions");
  EXPECT_EQ(window_->windowTitle(), "Impresión rótulos artículos");
  EXPECT_EQ(child<QLabel>("Label2")->text(),
            "Este programa envia a la impresora los rótulos de los productos escaneados con la "
            "app de impresión, usando el formato especificado al ingresar a la aplicación");
  EXPECT_EQ(child<QGroupBox>("GroupBox1")->title(), "Origen:");
  EXPECT_EQ(child<QGroupBox>("GroupBox2")->title(), "Parámetros ");
  EXPECT_FALSE(child<QComboBox>("Servidor")->isEditable());
  EXPECT_EQ(child<QLineEdit>("TClave")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(child<QToolButton>("SpeedButton3")->text(), "F2: Imprimir");
  EXPECT_FALSE(child<QToolButton>("SpeedButton3")->isEnabled());
  EXPECT_EQ(child<QToolButton>("SpeedButton2")->text(), "Esc: Cancelar");
  EXPECT_TRUE(child<QLabel>("Panel5")->isHidden());
  for (const char* name : {"Tusua", "Cia", "Texto"}) child<QLineEdit>(name);
  for (const char* name : {"Prefijo", "ListaPrecio"}) child<QComboBox>(name);
  QStringList captions;
  for (QLabel* label : window_->findChildren<QLabel*>()) captions.append(label->text());
  for (const char* caption : {"Servidor : ", "Usuario : ", "Clave : ", "Compañía:", "Texto fijo:",
                              "Prefijo:", "Lista 1:"}) {
    EXPECT_TRUE(captions.contains(QString::fromUtf8(caption))) << caption;
  }
}

// The password shows one "*" per character, as typed or as set from the command line.
TEST_F(MainWindowTest, PasswordShowsAnAsteriskPerCharacter) {
  QLineEdit* clave = child<QLineEdit>("TClave");
  window_->setPassword(QStringLiteral("señor1"));
  EXPECT_EQ(clave->displayText(), "******");
  EXPECT_EQ(window_->password(), QStringLiteral("señor1"));
  clave->clear();
  clave->setFocus();
  QTest::keyClicks(clave, "abc");
  EXPECT_EQ(clave->displayText(), "***");
  EXPECT_EQ(window_->password(), "abc");
}

TEST_F(MainWindowTest, FormCreateFillsTheServersAndSelectsTheFirst) {
  EXPECT_EQ(window_->servers(), (QStringList{"srv1", "srv2"}));
  EXPECT_EQ(window_->server(), "srv1");
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(MainWindowTest, TimerRepeatsEveryNinetySecondsFromCreation) {
  auto* timer = child<QTimer>("Timer1");
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 90000);
  EXPECT_FALSE(timer->isSingleShot());
  const int before = timer->remainingTime();
  window_->SpeedButton3Click();
  EXPECT_LE(timer->remainingTime(), before);  // a run does not restart the countdown
  timer->setInterval(5);
  QTest::qWait(60);
  EXPECT_GE(runs_, 2);
}

TEST_F(MainWindowTest, TabOrderRunsThroughTheFields) {
  child<QComboBox>("Servidor")->setFocus();
  QStringList order{focusName()};
  for (int i = 0; i < 7; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order.append(focusName());
  }
  EXPECT_EQ(order, (QStringList{"Servidor", "Tusua", "TClave", "Cia", "Texto", "Prefijo",
                                "ListaPrecio", "Servidor"}));
}

struct EnterCase {
  const char* from;
  const char* to;  // the same field when Enter does not move
};

void PrintTo(const EnterCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << printable(c.from) << " -> " << printable(c.to);
}

class EnterMoves : public MainWindowTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(EnterMoves, EnterMovesOnInTheFiveFieldsOnly) {
  QWidget* from = child<QWidget>(GetParam().from);
  from->setFocus();
  ASSERT_EQ(focusName(), GetParam().from);
  QTest::keyClick(from, Qt::Key_Return);
  EXPECT_EQ(focusName(), GetParam().to);
  EXPECT_EQ(runs_, 0);
}

INSTANTIATE_TEST_SUITE_P(Fields, EnterMoves,
                         ::testing::Values(EnterCase{"Servidor", "Tusua"},
                                           EnterCase{"Tusua", "TClave"}, EnterCase{"TClave", "Cia"},
                                           EnterCase{"Cia", "Texto"}, EnterCase{"Texto", "Prefijo"},
                                           EnterCase{"Prefijo", "Prefijo"},
                                           EnterCase{"ListaPrecio", "ListaPrecio"}),
                         [](const auto& info) { return std::string(info.param.from); });

TEST_F(MainWindowTest, EnterIsSwallowedByTheField) {
  auto* user = child<QLineEdit>("Tusua");
  QSignalSpy returned(user, &QLineEdit::returnPressed);
  user->setFocus();
  QTest::keyClick(user, Qt::Key_Return);
  EXPECT_EQ(returned.count(), 0);
}

struct KeyCase {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  int runs;
  bool closes;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << c.name << " key " << int(c.key) << " modifiers " << int(c.modifiers) << " runs " << c.runs
      << (c.closes ? " closes" : " stays");
}

class WindowKeys : public MainWindowTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(WindowKeys, ActOnlyWithoutModifiersAndReachTheFocusedControl) {
  const KeyCase& c = GetParam();
  auto* text = child<QLineEdit>("Texto");
  KeyRecorder recorder;
  text->installEventFilter(&recorder);
  text->setFocus();
  QTest::keyClick(text, c.key, c.modifiers);
  EXPECT_EQ(runs_, c.runs);
  EXPECT_EQ(window_->isVisible(), !c.closes);
  EXPECT_EQ(recorder.keys.count(c.key), 1);  // modifier keys arrive as well
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WindowKeys,
    ::testing::Values(KeyCase{"F2", Qt::Key_F2, Qt::NoModifier, 1, false},
                      KeyCase{"CtrlF2", Qt::Key_F2, Qt::ControlModifier, 0, false},
                      KeyCase{"ShiftF2", Qt::Key_F2, Qt::ShiftModifier, 0, false},
                      KeyCase{"AltF2", Qt::Key_F2, Qt::AltModifier, 0, false},
                      KeyCase{"Esc", Qt::Key_Escape, Qt::NoModifier, 0, true},
                      KeyCase{"ShiftEsc", Qt::Key_Escape, Qt::ShiftModifier, 0, false},
                      KeyCase{"CtrlEsc", Qt::Key_Escape, Qt::ControlModifier, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, F2RunsWhileThePrintButtonIsDisabled) {
  ASSERT_FALSE(window_->printEnabled());
  child<QComboBox>("Servidor")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  EXPECT_EQ(runs_, 1);
}

TEST_F(MainWindowTest, CancelButtonClosesTheWindow) {
  child<QToolButton>("SpeedButton2")->click();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(MainWindowTest, EscInAFilledCompanyFieldClosesWithoutALogin) {
  window_->setUserName("SYSDBA");
  window_->setPassword("masterkey");
  auto* cia = child<QLineEdit>("Cia");
  cia->setFocus();
  QTest::keyClicks(cia, "001");
  QTest::keyClick(cia, Qt::Key_Escape);
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(window_->shown.isEmpty());
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(MainWindowTest, LeavingAnIncompleteCompanyFieldDoesNothing) {
  auto* cia = child<QLineEdit>("Cia");
  cia->setFocus();
  QTest::keyClicks(cia, "001");
  QTest::keyClick(cia, Qt::Key_Tab);
  EXPECT_TRUE(window_->shown.isEmpty());
  EXPECT_TRUE(messages_.entries.empty());
}

// A window over a real installation for the login through the keyboard.
class MainWindowLoginTest : public MainWindowTest {
 protected:
  static void SetUpTestSuite() {
    suite_ = std::make_unique<testing::SuiteInstallation>();
    installation_ = &suite_->installation;
  }
  static void TearDownTestSuite() {
    installation_ = nullptr;
    suite_.reset();
  }
  void typeLogin() {
    window_->setServers({installation_->root});
    child<QLineEdit>("Tusua")->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "SYSDBA");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), "masterkey");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), "001");
  }
  static inline std::unique_ptr<testing::SuiteInstallation> suite_;
  static inline const testing::Installation* installation_ = nullptr;
};

TEST_F(MainWindowLoginTest, EnterInCompanyLogsInWithThePanelShownMeanwhile) {
  typeLogin();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_EQ(window_->shown, QStringList{"Conectando a la base de datos 001 ..."});
  EXPECT_TRUE(window_->visibleWhenShown);
  EXPECT_FALSE(window_->panelVisible());
  EXPECT_TRUE(window_->printEnabled());
  EXPECT_EQ(window_->prefix(), "RT01");
  EXPECT_EQ(window_->prefixEntries(), (QStringList{"RT01", "RT02"}));
  EXPECT_EQ(window_->priceListText(), "");
  EXPECT_EQ(window_->priceListKey(), std::nullopt);
  EXPECT_EQ(focusName(), "Texto");

  // Enter in the fixed text moves to the prefix and logs in a second time.
  QTest::keyClicks(QApplication::focusWidget(), "OFERTA");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(window_->shown.size(), 2);
  EXPECT_EQ(focusName(), "Prefijo");
  EXPECT_EQ(window_->fixedText(), "OFERTA");
}

TEST_F(MainWindowLoginTest, PriceListChoiceReadsKeyAndNameAndSurvivesALogin) {
  typeLogin();
  window_->CiaExit();
  window_->selectPriceListByKey("12");
  EXPECT_EQ(window_->priceListText(), "MAYORISTAS");
  EXPECT_EQ(window_->priceListKey(), 12);
  window_->CiaExit();
  EXPECT_EQ(window_->priceListKey(), 12);
  window_->selectPriceListByKey("77");
  EXPECT_EQ(window_->priceListText(), "");
  EXPECT_EQ(window_->priceListKey(), std::nullopt);
  window_->selectPrefixByKey("RT02");
  EXPECT_EQ(window_->prefix(), "RT02");
  window_->selectPrefixByKey("rt02");
  EXPECT_EQ(window_->prefix(), "");
}

TEST(MainWindowNoKey, AbsentKeyShowsTheMessageAndLeavesTheServersEmpty) {
  testing::SettingsScope settings;
  RecordingMessages messages;
  Fdm fdm(messages);
  Tflabrions window(fdm, messages);
  EXPECT_EQ(messages.entries,
            (std::vector<RecordingMessages::Entry>{
                {RecordingMessages::Kind::Message,
                 "No se encontró la Clave "
                 "HKEY_LOCAL_MACHINE\\Software\\Orvane\\NexoraERP2021\\Directorio"}}));
  EXPECT_TRUE(window.servers().isEmpty());
  EXPECT_EQ(window.server(), "");
}

}  // namespace
}  // namespace radevore::app
