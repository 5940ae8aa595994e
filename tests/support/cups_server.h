#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

namespace radevore::testing {

// One job as the scheduler's page log records it when the job is completed.
struct LoggedJob {
  QString printer;
  int id = 0;
  QString name;   // job-name: the document name
  QString media;  // e.g. Custom.4x2.5in
};

// A private CUPS scheduler in a temporary directory, reached through its own domain socket.
// Creating it sets CUPS_SERVER for this process, which the lp tools and Qt's printing read when
// they first talk to CUPS; so one process uses one scheduler (see sharedCupsServer()).
class CupsServer {
 public:
  CupsServer();
  ~CupsServer();
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  // "" when the scheduler is up, otherwise why not.
  const QString& failure() const { return failure_; }
  QString directory() const { return dir_.path(); }
  QString socketPath() const { return dir_.filePath(QStringLiteral("cups.sock")); }

  // A queue on the Zebra ZPL model writing to a file of its own; it takes custom paper from
  // 0.5 x 0.5 in to 8 x 50 in.
  void addZebraQueue(const QString& name);
  void removeQueue(const QString& name);
  void setDefault(const QString& name);
  // Runs an lp tool with -h <socket> and the arguments; returns its output, fails the test on an
  // error exit.
  QString runTool(const QString& tool, const QStringList& arguments);

  // Every job the queue has accepted, pending, held or completed, by id.
  std::vector<int> acceptedJobs(const QString& printer);
  // The document of a job as the scheduler received it (job files are preserved).
  QString jobDocument(int jobId) const;
  // Stops and resumes the scheduler process: while stopped it accepts connections but answers
  // nothing, as a hung scheduler does.
  void freeze();
  void thaw();

  // The completed jobs of the queue, waiting up to timeoutMs for at least `count` of them.
  std::vector<LoggedJob> completedJobs(const QString& printer, int count, int timeoutMs = 30000);

 private:
  QTemporaryDir dir_;
  qint64 pid_ = 0;
  QString failure_;
};

// The scheduler of this test process, started on first use.
CupsServer& sharedCupsServer();

}  // namespace radevore::testing
