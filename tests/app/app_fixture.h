#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "support/fixture_db.h"

namespace radevore::testing {

// Points the system-scope settings (XDG_CONFIG_DIRS) at a folder of the test for as long as it
// lives, restoring the earlier value afterwards.
class SettingsScope {
 public:
  SettingsScope() : saved_(qgetenv("XDG_CONFIG_DIRS")) {
    qputenv("XDG_CONFIG_DIRS", dir_.path().toLocal8Bit());
  }
  ~SettingsScope() {
    if (saved_.isNull()) {
      qunsetenv("XDG_CONFIG_DIRS");
    } else {
      qputenv("XDG_CONFIG_DIRS", saved_);
    }
  }
  SettingsScope(const SettingsScope&) = delete;
  SettingsScope& operator=(const SettingsScope&) = delete;

  QString path() const { return dir_.path(); }
  // Writes the installation key with its value Directorio.
  void setDirectory(const QString& directory) {
    QDir(dir_.path()).mkpath(QStringLiteral("Orvane"));
    QFile file(dir_.file(QStringLiteral("Orvane/NexoraERP2021.ini")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      file.write("[General]\nDirectorio=" + directory.toUtf8() + "\n");
    }
  }

 private:
  TempDir dir_;
  QByteArray saved_;
};

inline void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

}  // namespace radevore::testing
