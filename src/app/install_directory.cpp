#include "app/install_directory.h"

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>
#endif

#include "app/local_file.h"
#include "print/user_messages.h"

namespace radevore::app {

namespace {

const QString kAbsentKeyMessage = QStringLiteral(
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\Orvane\\NexoraERP2021\\Directorio");

}  // namespace

QString directorioSetting(QByteArrayView ini) {
  bool inGeneral = true;  // lines before any group header belong to [General]
  qsizetype start = 0;
  while (start < ini.size()) {
    qsizetype end = start;
    while (end < ini.size() && ini[end] != '\n') ++end;
    QByteArrayView line = ini.sliced(start, end - start);
    start = end + 1;
    if (line.endsWith('\r')) line.chop(1);
    const QByteArrayView trimmed = line.trimmed();
    if (trimmed.startsWith('[')) {
      inGeneral = trimmed == "[General]";
      continue;
    }
    if (!inGeneral) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || line.first(equals).trimmed() != "Directorio") continue;
    // Everything after the equals sign, as written: no escapes, no quotes, no list splitting.
    return QString::fromUtf8(line.sliced(equals + 1).trimmed());
  }
  return {};
}

#ifdef Q_OS_WIN

QString diraplicacion(print::UserMessages& messages) {
  struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
  };
  HKEY opened = nullptr;
  // Read only, so the key is never created, and in the 32-bit view, where the ERP's 32-bit
  // installer writes it (Wow6432Node on a 64-bit Windows).
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Orvane\\NexoraERP2021", 0,
                    KEY_READ | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS) {
    messages.showMessage(kAbsentKeyMessage);
    return {};
  }
  const std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser> key(opened);

  // A missing value, or one that is not a string, gives the empty directory silently.
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), L"Directorio", nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  // One spare character: a stored string need not end with its terminator.
  std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), L"Directorio", nullptr, &type,
                       reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return QString::fromWCharArray(text.data());
}

QString installationFile(const QString& directory, const QString& name) {
  return directory + QLatin1Char('\\') + name;
}

#else

namespace {

// Orvane/NexoraERP2021.ini in the first folder of XDG_CONFIG_DIRS, /etc/xdg by default. Only
// this one file stands for the key: no fall-back to other folders or an organisation-wide file.
QString settingsFilePath() {
  QString folder = qEnvironmentVariable("XDG_CONFIG_DIRS").section(QLatin1Char(':'), 0, 0);
  if (folder.isEmpty()) folder = QStringLiteral("/etc/xdg");
  return folder + QStringLiteral("/Orvane/NexoraERP2021.ini");
}

}  // namespace

QString diraplicacion(print::UserMessages& messages) {
  const LocalFile file = readLocalFile(settingsFilePath());
  if (file.status != LocalFile::Status::Read) {
    messages.showMessage(kAbsentKeyMessage);
    return {};
  }
  return directorioSetting(file.bytes);
}

QString installationFile(const QString& directory, const QString& name) {
  return directory + QLatin1Char('/') + name;
}

#endif

}  // namespace radevore::app
