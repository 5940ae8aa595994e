#include "app/local_file.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace radevore::app {

#ifdef Q_OS_WIN

LocalFile readLocalFile(const QString& path) {
  LocalFile result;
  const QFileInfo info(path);
  if (!info.isFile() || info.size() > kLocalFileLimit) return result;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return result;
  result.bytes = file.read(kLocalFileLimit + 1);
  if (file.error() != QFileDevice::NoError) {
    result.status = LocalFile::Status::ReadFailed;
    result.error = file.errorString();
    result.bytes.clear();
  } else if (result.bytes.size() > kLocalFileLimit) {
    result.bytes.clear();
  } else {
    result.status = LocalFile::Status::Read;
  }
  return result;
}

#else

namespace {

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

QString systemError(const QString& path, int error) {
  return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

LocalFile readLocalFile(const QString& path) {
  LocalFile result;
  // O_NONBLOCK: opening a FIFO without a writer returns at once instead of waiting for one.
  const Descriptor fd(
      ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return result;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLocalFileLimit)
    return result;

  // The size from fstat is only a hint (files under /proc say 0): read to the end, stopping one
  // chunk past the limit at most.
  QByteArray bytes;
  char chunk[16384];
  while (bytes.size() <= kLocalFileLimit) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.status = LocalFile::Status::ReadFailed;
      result.error = systemError(path, errno);
      return result;
    }
    if (n == 0) {
      result.status = LocalFile::Status::Read;
      result.bytes = std::move(bytes);
      return result;
    }
    bytes.append(chunk, n);
  }
  return result;  // grew past the limit while being read
}

#endif

}  // namespace radevore::app
