#include "report/job_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "report/report_system.h"

namespace radevore::report {

namespace {

QString systemText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

// Finished output is readable as any file the program writes.
constexpr mode_t kFileMode = 0644;

}  // namespace

JobFile::JobFile(const QString& directory) : directory_(directory) {
  const QByteArray dir = QFile::encodeName(directory);
  fd_ = ::open(dir.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kFileMode);
  if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // The file system has no unnamed files: a hidden temporary name instead.
    QByteArray name = QFile::encodeName(QDir(directory).filePath(".radevore-XXXXXX.part"));
    fd_ = ::mkostemps(name.data(), 5, O_CLOEXEC);
    if (fd_ >= 0) {
      ::fchmod(fd_, kFileMode);
      tempPath_ = QFile::decodeName(name);
    }
  }
  if (fd_ < 0) {
    const int error = errno;
    throw ReportError(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(QDir(directory).filePath(".radevore.part")),
                               systemText(error)));
  }
  QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

JobFile::~JobFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!tempPath_.isEmpty() && finalPath_.isEmpty())
    ::unlink(QFile::encodeName(tempPath_).constData());
}

QString JobFile::displayName() const {
  if (!finalPath_.isEmpty()) return QDir::toNativeSeparators(finalPath_);
  if (!tempPath_.isEmpty()) return QDir::toNativeSeparators(tempPath_);
  return QDir::toNativeSeparators(QDir(directory_).filePath(QStringLiteral(".radevore.part")));
}

void JobFile::fail(const QString& action, int error) {
  throw ReportError(QStringLiteral("%1 \"%2\". %3").arg(action, displayName(), systemText(error)));
}

qint64 JobFile::readData(char* /*data*/, qint64 /*maxSize*/) {
  return -1;
}

qint64 JobFile::writeData(const char* data, qint64 size) {
  if (writeError_ != 0) return -1;
  qint64 written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd_, data + written, static_cast<size_t>(size - written));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      writeError_ = errno;
      return -1;
    }
    written += n;
  }
  return written;
}

void JobFile::checkWritten() {
  if (writeError_ != 0) fail(QStringLiteral("Cannot write file"), writeError_);
}

void JobFile::finish() {
  checkWritten();
  if (::fsync(fd_) != 0) fail(QStringLiteral("Cannot write file"), errno);
}

QString JobFile::readablePath() const {
  if (!finalPath_.isEmpty()) return finalPath_;
  if (!tempPath_.isEmpty()) return tempPath_;
  return QStringLiteral("/proc/self/fd/%1").arg(fd_);
}

QString JobFile::publish(const QString& stamp, int& sequence) {
  const QByteArray fdPath = QByteArray("/proc/self/fd/") + QByteArray::number(fd_);
  for (;;) {
    ++sequence;
    const QString target =
        QDir(directory_).filePath(QStringLiteral("%1-%2.pdf").arg(stamp).arg(sequence));
    const QByteArray to = QFile::encodeName(target);
    // Both ways fail with EEXIST rather than replace a file of that name.
    const int result =
        tempPath_.isEmpty()
            ? ::linkat(AT_FDCWD, fdPath.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW)
            : ::renameat2(AT_FDCWD, QFile::encodeName(tempPath_).constData(), AT_FDCWD,
                          to.constData(), RENAME_NOREPLACE);
    if (result != 0 && errno == EEXIST) continue;
    if (result != 0) fail(QStringLiteral("Cannot create file"), errno);
    finalPath_ = target;
    break;
  }
  const int dir = ::open(QFile::encodeName(directory_).constData(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return finalPath_;
}

}  // namespace radevore::report
