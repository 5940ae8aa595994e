#include "app/install_directory.h"

#include <QFileInfo>
#include <QSettings>

#include "print/user_messages.h"

namespace radevore::app {

namespace {

const QString kAbsentKeyMessage = QStringLiteral(
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\Orvane\\NexoraERP2021\\Directorio");
const QString kValueName = QStringLiteral("Directorio");

}  // namespace

#ifdef Q_OS_WIN

QString diraplicacion(print::UserMessages& messages) {
  const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Orvane\\NexoraERP2021");
  // The native settings open the key read only; a group absent from the parent means the key
  // does not exist.
  QSettings parent(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Orvane"), QSettings::NativeFormat);
  if (!parent.childGroups().contains(QStringLiteral("NexoraERP2021"), Qt::CaseInsensitive)) {
    messages.showMessage(kAbsentKeyMessage);
    return {};
  }
  QSettings settings(key, QSettings::NativeFormat);
  return settings.value(kValueName).toString();
}

QString installationFile(const QString& directory, const QString& name) {
  return directory + QLatin1Char('\\') + name;
}

#else

QString diraplicacion(print::UserMessages& messages) {
  QSettings settings(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Orvane"),
                     QStringLiteral("NexoraERP2021"));
  // Only this one file stands for the key: no fall-back to the organisation-wide file.
  settings.setFallbacksEnabled(false);
  const QFileInfo file(settings.fileName());
  if (!file.isFile() || !file.isReadable() || settings.status() != QSettings::NoError) {
    messages.showMessage(kAbsentKeyMessage);
    return {};
  }
  return settings.value(kValueName).toString();
}

QString installationFile(const QString& directory, const QString& name) {
  return directory + QLatin1Char('/') + name;
}

#endif

}  // namespace radevore::app
