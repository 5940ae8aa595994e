#pragma once

#include <QByteArrayView>
#include <QString>

namespace radevore::print {
class UserMessages;
}

namespace radevore::app {

// The ERP's installation directory (diraplicacion), read anew at every call.
//
// Windows: the string value "Directorio" of HKEY_LOCAL_MACHINE\Software\Orvane\NexoraERP2021,
// opened read only and never created, in the 32-bit registry view where the ERP's installer
// writes it.
// Elsewhere: the system settings file Orvane/NexoraERP2021.ini in the first folder of
// XDG_CONFIG_DIRS (default /etc/xdg), INI form, value "Directorio" of its [General] group
// (directorioSetting). The key counts as absent when that file does not exist or cannot be read
// (not a regular file, over the size limit of local files); a file without the value gives the
// empty directory silently.
//
// An absent key shows the message "No se encontró la Clave
// HKEY_LOCAL_MACHINE\Software\Orvane\NexoraERP2021\Directorio" and gives the empty directory.
QString diraplicacion(print::UserMessages& messages);

// The value of Directorio in the [General] group (or before any group) of a settings file in INI
// form: the text after the first "=" of its first line, as written, without the blanks around
// it. Backslashes, commas and quotes are kept: a Windows directory such as c:\nexora or a
// folder named /opt/nexora,2021 reads as it stands. Empty when there is no such line. UTF-8.
QString directorioSetting(QByteArrayView ini);

// The path of a file of the installation: directory + separator + name. The separator is the
// platform's ("\" on Windows, "/" elsewhere); an empty directory gives the separator + name,
// the root of the current drive.
QString installationFile(const QString& directory, const QString& name);

}  // namespace radevore::app
