#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace radevore::app {

// The installation's small text files are read whole, and only when they are what they claim to
// be: a FIFO would block the window forever and a device such as /dev/zero never ends.
inline constexpr qint64 kLocalFileLimit = 1024 * 1024;

struct LocalFile {
  enum class Status {
    Read,        // `bytes` holds the whole file
    CannotOpen,  // absent, not a regular file, not readable, or larger than the limit
    ReadFailed,  // opened, then reading failed; `error` holds the system's text
  };
  Status status = Status::CannotOpen;
  QByteArray bytes;
  QString error;
};

// A read that failed after the file was opened; what() is the system's text, with the path.
class FileReadError : public std::runtime_error {
 public:
  explicit FileReadError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// Reads the regular file at `path` (symbolic links followed) if it holds at most
// kLocalFileLimit bytes. Opening never blocks.
LocalFile readLocalFile(const QString& path);

}  // namespace radevore::app
