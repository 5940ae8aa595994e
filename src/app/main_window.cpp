#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "app/data_module.h"
#include "app/install_directory.h"
#include "app/server_list.h"

namespace radevore::app {

namespace {

constexpr int kRepeatInterval = 90000;  // ms between print runs of the timer
constexpr int kExposeWait = 5000;       // ms a freshly shown window may take to appear

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

bool isLoginFocusChange(Qt::FocusReason reason) {
  // Leaving the field for another control of the window; not the window losing activation to a
  // message box or a pop-up.
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
         reason != Qt::MenuBarFocusReason;
}

}  // namespace

Tflabrions::Tflabrions(Fdm& fdm, print::UserMessages& messages, QWidget* parent)
    : QWidget(parent), fdm_(fdm), messages_(messages), login_(*this, fdm, messages) {
  setObjectName(QStringLiteral("flabrions"));
  setWindowTitle(QStringLiteral("Impresión rótulos artículos"));
  buildControls();

  Timer1 = named(new QTimer(this), "Timer1");
  Timer1->setInterval(kRepeatInterval);
  connect(Timer1, &QTimer::timeout, this, [this] { SpeedButton3Click(); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
  connect(SpeedButton2, &QToolButton::clicked, this, &QWidget::close);
  qApp->installEventFilter(this);

  FormCreate();
  Timer1->start();
}

Tflabrions::~Tflabrions() {
  qApp->removeEventFilter(this);
}

void Tflabrions::buildControls() {
  resize(430, 371);

  Panel2 = named(new QFrame(this), "Panel2");
  Label2 = named(
      new QLabel(QStringLiteral("Este programa envia a la impresora los rótulos de los productos "
                                "escaneados con la app de impresión, usando el formato "
                                "especificado al ingresar a la aplicación"),
                 Panel2),
      "Label2");
  Label2->setWordWrap(true);
  auto* top = new QVBoxLayout(Panel2);
  top->addWidget(Label2);

  GroupBox1 = named(new QGroupBox(QStringLiteral("Origen:"), this), "GroupBox1");
  Servidor = named(new QComboBox(GroupBox1), "Servidor");
  Servidor->setEditable(false);
  Tusua = named(new QLineEdit(GroupBox1), "Tusua");
  TClave = named(new QLineEdit(GroupBox1), "TClave");
  TClave->setEchoMode(QLineEdit::Password);
  // Every character of the password shows as "*", whatever the style would draw.
  TClave->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
  Cia = named(new QLineEdit(GroupBox1), "Cia");
  auto* origin = new QFormLayout(GroupBox1);
  origin->addRow(QStringLiteral("Servidor : "), Servidor);
  origin->addRow(QStringLiteral("Usuario : "), Tusua);
  origin->addRow(QStringLiteral("Clave : "), TClave);
  origin->addRow(QStringLiteral("Compañía:"), Cia);

  GroupBox2 = named(new QGroupBox(QStringLiteral("Parámetros "), this), "GroupBox2");
  Texto = named(new QLineEdit(GroupBox2), "Texto");
  Prefijo = named(new QComboBox(GroupBox2), "Prefijo");
  ListaPrecio = named(new QComboBox(GroupBox2), "ListaPrecio");
  auto* parameters = new QFormLayout(GroupBox2);
  parameters->addRow(QStringLiteral("Texto fijo:"), Texto);
  parameters->addRow(QStringLiteral("Prefijo:"), Prefijo);
  parameters->addRow(QStringLiteral("Lista 1:"), ListaPrecio);

  Panel1 = named(new QFrame(this), "Panel1");
  SpeedButton3 = named(new QToolButton(Panel1), "SpeedButton3");
  SpeedButton3->setText(QStringLiteral("F2: Imprimir"));
  SpeedButton2 = named(new QToolButton(Panel1), "SpeedButton2");
  SpeedButton2->setText(QStringLiteral("Esc: Cancelar"));
  for (QToolButton* button : {SpeedButton3, SpeedButton2}) {
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::NoFocus);
  }
  SpeedButton3->setEnabled(false);
  auto* bottom = new QHBoxLayout(Panel1);
  bottom->addStretch();
  bottom->addWidget(SpeedButton3);
  bottom->addWidget(SpeedButton2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel2);
  layout->addWidget(GroupBox1);
  layout->addWidget(GroupBox2);
  layout->addWidget(Panel1);

  // The status panel lies over the middle of the window, outside the layout.
  Panel5 =
      named(new QLabel(QStringLiteral("Generando informe. espere un momento..."), this), "Panel5");
  Panel5->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel5->setAlignment(Qt::AlignCenter);
  Panel5->setAutoFillBackground(true);
  Panel5->setStyleSheet(QStringLiteral("color: navy;"));
  Panel5->setGeometry(8, 100, 337, 41);
  Panel5->hide();

  setTabOrder(Servidor, Tusua);
  setTabOrder(Tusua, TClave);
  setTabOrder(TClave, Cia);
  setTabOrder(Cia, Texto);
  setTabOrder(Texto, Prefijo);
  setTabOrder(Prefijo, ListaPrecio);
}

void Tflabrions::setRepeatInterval(int milliseconds) {
  Timer1->start(milliseconds);
}

void Tflabrions::FormCreate() {
  const QString directory = diraplicacion(messages_);
  setServers(readServerList(installationFile(directory, QStringLiteral("SERVIDORES.cfg"))));
}

print::PrintRunResult Tflabrions::SpeedButton3Click() {
  if (!printCommand_) return print::PrintRunResult::NothingToPrint;
  ++runDepth_;
  const print::PrintRunResult result = printCommand_();
  if (--runDepth_ > 0) return result;

  if (closedDuringRun_) {
    // The window went while the run held the program; the run has rolled back or committed, so
    // the program may end now. Queued behind whatever the run's caller posts on its return.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  } else if (loginDeferred_) {
    loginDeferred_ = false;
    login_.CiaExit();
  }
  return result;
}

void Tflabrions::CiaExit() {
  // A login closes and reopens the company connection that a run is reading and holding its
  // labels on; it waits for the end of the run instead.
  if (runInProgress()) {
    loginDeferred_ = true;
    return;
  }
  login_.CiaExit();
}

void Tflabrions::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (!event->isAccepted() || !runInProgress()) return;
  // The run's job and status window would otherwise keep the program alive, printing on every
  // tick with no window: stop the job (its labels stay queued) and end once the run returns.
  closedDuringRun_ = true;
  loginDeferred_ = false;
  Timer1->stop();
  if (cancelCommand_) cancelCommand_();
}

void Tflabrions::setServers(const QStringList& servers) {
  Servidor->clear();
  Servidor->addItems(servers);
  Servidor->setCurrentIndex(servers.isEmpty() ? -1 : 0);
}

QStringList Tflabrions::servers() const {
  QStringList out;
  for (int i = 0; i < Servidor->count(); ++i) out.append(Servidor->itemText(i));
  return out;
}

void Tflabrions::setUserName(const QString& text) {
  Tusua->setText(text);
}
void Tflabrions::setPassword(const QString& text) {
  TClave->setText(text);
}
void Tflabrions::setCompany(const QString& text) {
  Cia->setText(text);
}
void Tflabrions::setFixedText(const QString& text) {
  Texto->setText(text);
}

void Tflabrions::selectPrefixByKey(const QString& key) {
  Prefijo->setCurrentIndex(Prefijo->findData(key));
}

void Tflabrions::selectPriceListByKey(const QString& key) {
  bool ok = false;
  const qint64 code = key.toLongLong(&ok);
  ListaPrecio->setCurrentIndex(ok ? ListaPrecio->findData(code) : -1);
}

QStringList Tflabrions::prefixEntries() const {
  QStringList out;
  for (int i = 0; i < Prefijo->count(); ++i) out.append(Prefijo->itemText(i));
  return out;
}

bool Tflabrions::printEnabled() const {
  return SpeedButton3->isEnabled();
}
bool Tflabrions::panelVisible() const {
  return !Panel5->isHidden();
}
QString Tflabrions::panelText() const {
  return Panel5->text();
}

QString Tflabrions::prefix() const {
  return Prefijo->currentText();
}
QString Tflabrions::priceListText() const {
  return ListaPrecio->currentText();
}

std::optional<qint64> Tflabrions::priceListKey() const {
  const QVariant key = ListaPrecio->currentData();
  if (!key.isValid()) return std::nullopt;
  return key.toLongLong();
}

QString Tflabrions::userName() const {
  return Tusua->text();
}
QString Tflabrions::fixedText() const {
  return Texto->text();
}
QString Tflabrions::server() const {
  return Servidor->currentText();
}
QString Tflabrions::password() const {
  return TClave->text();
}
QString Tflabrions::company() const {
  return Cia->text();
}

void Tflabrions::showPanel(const QString& text) {
  Panel5->setText(text);
  Panel5->show();
  Panel5->raise();
  paintNow();
}

void Tflabrions::paintNow() {
  // A window the platform has not exposed yet cannot be painted: right after show() the
  // unattended start would otherwise log in behind a window that stays black until the end.
  // Wait for the exposure, without handling the user's input meanwhile, then paint it all.
  // Only a window that has not appeared yet is waited for: a minimised one, or one that was on
  // the screen before, is not coming back by itself.
  QWindow* handle = windowHandle();
  if (handle != nullptr && handle->isExposed()) appeared_ = true;
  if (!appeared_ && isVisible() && handle != nullptr && !isMinimized()) {
    const QDeadlineTimer limit(kExposeWait);
    QTimer wake;  // ends each wait for events in time to look at the clock
    wake.start(20);
    while (!handle->isExposed() && !limit.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                      QEventLoop::WaitForMoreEvents);
    }
    appeared_ = true;  // waited once; never again
  }
  repaint();
}

void Tflabrions::hidePanel() {
  Panel5->hide();
}

void Tflabrions::processEvents() {
  QCoreApplication::processEvents();
}

void Tflabrions::enablePrintButton() {
  SpeedButton3->setEnabled(true);
}

void Tflabrions::setPriceLists(const std::vector<PriceListEntry>& lists) {
  // The choice is kept when the new lists still hold it.
  const std::optional<qint64> chosen = priceListKey();
  ListaPrecio->clear();
  ListaPrecio->addItem(QString());  // the empty entry: no price list chosen
  for (const PriceListEntry& entry : lists) ListaPrecio->addItem(entry.name, entry.code);
  ListaPrecio->setCurrentIndex(chosen ? ListaPrecio->findData(*chosen) : -1);
}

void Tflabrions::setPrefixes(const QStringList& prefixes) {
  Prefijo->clear();
  for (const QString& prefix : prefixes) Prefijo->addItem(prefix, prefix);
  Prefijo->setCurrentIndex(prefixes.isEmpty() ? -1 : 0);
}

bool Tflabrions::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) emit activated();
  return QWidget::event(event);
}

void Tflabrions::FormKeyDown(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return;
  if (key.key() == Qt::Key_F2) {
    SpeedButton3Click();
  } else if (key.key() == Qt::Key_Escape) {
    close();
  }
}

bool Tflabrions::Enteratab(QObject* watched, const QKeyEvent& key) {
  const bool field = watched == Servidor || watched == Tusua || watched == TClave ||
                     watched == Cia || watched == Texto;
  if (!field || (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)) return false;
  focusNextChild();
  return true;
}

bool Tflabrions::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (!widget || widget->window() != this) break;
      // Once per key: the event reaches the filter again for every parent it propagates to.
      // The run a key starts may leave the window without a focus widget, so the key handled
      // is followed up its parents rather than told by the focus.
      if (event == handledKey_ && keyReachedParent_ &&
          widget == keyReachedParent_->parentWidget()) {
        keyReachedParent_ = widget;
        if (widget->isWindow()) handledKey_ = nullptr;  // the end of its way
        break;
      }
      QWidget* focus = QApplication::focusWidget();
      if (widget != focus && !(focus == nullptr && widget == this)) break;
      const auto& key = static_cast<const QKeyEvent&>(*event);
      FormKeyDown(key);
      handledKey_ = widget->isWindow() ? nullptr : event;
      keyReachedParent_ = widget;
      return Enteratab(watched, key);
    }
    case QEvent::FocusOut:
      if ((watched == Cia || watched == Texto) &&
          isLoginFocusChange(static_cast<QFocusEvent*>(event)->reason())) {
        CiaExit();
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace radevore::app
