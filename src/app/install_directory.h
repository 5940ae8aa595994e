#pragma once

#include <QString>

namespace radevore::print {
class UserMessages;
}

namespace radevore::app {

// The ERP's installation directory (diraplicacion), read anew at every call.
//
// Windows: the string value "Directorio" of HKEY_LOCAL_MACHINE\Software\Orvane\NexoraERP2021,
// opened read only and never created.
// Elsewhere: the system-scope settings file of organisation "Orvane", application
// "NexoraERP2021" in INI form, value "Directorio" of its [General] group. On Linux that file is
// Orvane/NexoraERP2021.ini in the first folder of XDG_CONFIG_DIRS (default /etc/xdg). The key
// counts as absent when that file does not exist or cannot be read; a file without the value
// gives the empty directory silently.
//
// An absent key shows the message "No se encontró la Clave HKEY_LOCAL_MACHINE\Software\Orvane\NexoraERP2021\Directorio"
// and gives the empty directory.
QString diraplicacion(print::UserMessages& messages);

// The path of a file of the installation: directory + separator + name. The separator is the
// platform's ("\" on Windows, "/" elsewhere); an empty directory gives the separator + name,
// the root of the current drive.
QString installationFile(const QString& directory, const QString& name);

}  // namespace radevore::app
