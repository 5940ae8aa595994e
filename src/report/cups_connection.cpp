#include "report/cups_connection.h"

#include <cerrno>

namespace radevore::report {

namespace {

// The library calls the timeout callback after each interval without progress; short intervals
// let the total wait be counted against the timeout.
constexpr std::chrono::milliseconds kWaitInterval{1000};

}  // namespace

CupsConnection::CupsConnection(std::chrono::milliseconds timeout)
    : server_(QString::fromUtf8(cupsServer())), timeout_(timeout) {
  const QByteArray host = server_.toUtf8();
  http_ = httpConnect2(host.constData(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                       static_cast<int>(timeout_.count()), nullptr);
  if (!http_) {
    // A connect that ran out of time means a scheduler that accepts nothing; refused or absent
    // means there is none.
    timedOut_ = errno == ETIMEDOUT;
    return;
  }
  const std::chrono::milliseconds interval = std::min(kWaitInterval, timeout_);
  httpSetTimeout(http_, static_cast<double>(interval.count()) / 1000.0,
                 &CupsConnection::keepWaiting, this);
}

CupsConnection::~CupsConnection() {
  if (http_) httpClose(http_);
}

int CupsConnection::keepWaiting(http_t* /*http*/, void* self) {
  auto* connection = static_cast<CupsConnection*>(self);
  connection->waitedMs_ += std::min(kWaitInterval, connection->timeout_).count();
  if (connection->waitedMs_ < connection->timeout_.count()) return 1;
  connection->timedOut_ = true;
  return 0;
}

QString CupsConnection::timeoutText() const {
  return QStringLiteral("Print server %1 did not answer within %2 seconds")
      .arg(server_)
      .arg(static_cast<double>(timeout_.count()) / 1000.0);
}

}  // namespace radevore::report
