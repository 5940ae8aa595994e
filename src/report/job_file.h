#pragma once

#include <QIODevice>
#include <QString>

namespace radevore::report {

// The file a job's pages are written into while they are drawn. It has no name in its folder
// until it is published (an unnamed file where the file system allows it, otherwise the hidden
// name ".radevore-XXXXXX.part", never a *.pdf), and it is removed unless published: a job that
// fails, is cancelled or is cut short by a crash leaves nothing that looks like finished output.
class JobFile : public QIODevice {
 public:
  // A new file in `directory`, open for writing. Throws ReportError ("Cannot create file ...")
  // with the system's text.
  explicit JobFile(const QString& directory);
  ~JobFile() override;

  // Throws ReportError ("Cannot write file ...: <system's text>") once a write has failed.
  void checkWritten();
  // Writes everything to the disk (fsync); throws ReportError on failure.
  void finish();
  // A path the finished file can be read at until this object goes: its final name once
  // published, otherwise a name of the open file.
  QString readablePath() const;
  // Gives the finished file its final name, "<stamp>-<sequence>.pdf" in its folder, never
  // replacing an existing file (the sequence goes up instead), and makes the name durable.
  // Returns the final path. Throws ReportError on failure.
  QString publish(const QString& stamp, int& sequence);

  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 size) override;

 private:
  [[noreturn]] void fail(const QString& action, int error);
  QString displayName() const;

  QString directory_;
  QString tempPath_;  // "" for an unnamed file
  QString finalPath_;
  int fd_ = -1;
  int writeError_ = 0;
};

}  // namespace radevore::report
