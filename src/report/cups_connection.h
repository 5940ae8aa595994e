#pragma once

#include <cups/cups.h>

#include <QString>
#include <chrono>

namespace radevore::report {

// How long one request to the print scheduler may go without an answer before it is given up.
inline constexpr std::chrono::milliseconds kCupsTimeout{30000};

// One connection to the CUPS scheduler the client library is configured for (CUPS_SERVER,
// client.conf, the local socket), with every request bounded by a timeout: a scheduler that
// stops answering ends the request with timedOut() instead of blocking the program.
class CupsConnection {
 public:
  explicit CupsConnection(std::chrono::milliseconds timeout = kCupsTimeout);
  ~CupsConnection();
  CupsConnection(const CupsConnection&) = delete;
  CupsConnection& operator=(const CupsConnection&) = delete;

  // Null when the scheduler could not be reached (none running, connection refused, timeout).
  http_t* http() const { return http_; }
  bool connected() const { return http_ != nullptr; }
  // A request or the connection itself ran out of time: the scheduler is there but frozen.
  bool timedOut() const { return timedOut_; }
  // The scheduler's address as the library names it ("/run/cups/cups.sock", "localhost"...).
  QString server() const { return server_; }
  // "Print server <server> did not answer within N seconds".
  QString timeoutText() const;

 private:
  static int keepWaiting(http_t* http, void* self);

  QString server_;
  std::chrono::milliseconds timeout_;
  http_t* http_ = nullptr;
  bool timedOut_ = false;
  qint64 waitedMs_ = 0;
};

}  // namespace radevore::report
