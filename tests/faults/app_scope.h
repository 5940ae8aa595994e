#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include "support/fixture_db.h"

namespace radevore::testing {

// An installation in a temporary folder that the program finds through its installation
// directory setting (XDG_CONFIG_DIRS points at a settings folder of its own while this lives),
// with SERVIDORES.cfg naming the installation itself and impresoras.cfg giving the fixture
// format's alias ROTULOS a printer name.
class AppScope {
 public:
  explicit AppScope(const QString& extraSql = {})
      : installation(
            makeInstallation(dir_.file(QStringLiteral("inst")), QStringLiteral("001"), extraSql)),
        saved_(qgetenv("XDG_CONFIG_DIRS")) {
    QDir().mkpath(dir_.file(QStringLiteral("xdg/Orvane")));
    write(dir_.file(QStringLiteral("xdg/Orvane/NexoraERP2021.ini")),
          "[General]\nDirectorio=" + installation.root.toUtf8() + "\n");
    write(installation.root + QStringLiteral("/SERVIDORES.cfg"),
          installation.root.toUtf8() + "\r\n");
    write(installation.root + QStringLiteral("/impresoras.cfg"), "ROTULOS,Zebra etiquetas\r\n");
    qputenv("XDG_CONFIG_DIRS", dir_.file(QStringLiteral("xdg")).toLocal8Bit());
  }
  ~AppScope() {
    if (saved_.isNull()) {
      qunsetenv("XDG_CONFIG_DIRS");
    } else {
      qputenv("XDG_CONFIG_DIRS", saved_);
    }
  }
  AppScope(const AppScope&) = delete;
  AppScope& operator=(const AppScope&) = delete;

  QString file(const QString& name) const { return dir_.file(name); }

 private:
  static void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
  }

  TempDir dir_;

 public:
  Installation installation;

 private:
  QByteArray saved_;
};

}  // namespace radevore::testing
