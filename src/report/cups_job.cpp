#include "report/cups_job.h"

#include <QFile>
#include <algorithm>

#include "report/report_system.h"

namespace radevore::report {

namespace {

struct Options {
  int count = 0;
  cups_option_t* options = nullptr;
  ~Options() { cupsFreeOptions(count, options); }
};

// Create-Job on the queue, sent on `http` only. The library's own cupsCreateJob looks the
// destination up first and, when the scheduler does not answer, again on its default connection,
// which has no timeout of ours. Returns the job id, 0 on failure (cupsLastErrorString() says why).
int createJob(http_t* http, const QByteArray& queue, const QByteArray& name,
              const Options& options) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.constData());
  ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, name.constData());
  cupsEncodeOptions2(request, options.count, options.options, IPP_TAG_OPERATION);
  cupsEncodeOptions2(request, options.count, options.options, IPP_TAG_JOB);
  const QByteArray resource = "/printers/" + queue;
  ipp_t* response = cupsDoRequest(http, request, resource.constData());
  int job = 0;
  if (response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING) {
    if (ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER))
      job = ippGetInteger(id, 0);
  }
  ippDelete(response);
  return job;
}

}  // namespace

int submitPdfJob(const QString& printer, const QString& title, const QString& pdfPath,
                 const QList<std::pair<QByteArray, QByteArray>>& options,
                 std::chrono::milliseconds timeout) {
  CupsConnection connection(timeout);
  auto failure = [&](const QString& reason) {
    return ReportError(
        QStringLiteral("The printer %1 did not take the job: %2").arg(printer, reason));
  };
  auto cupsText = [&] {
    return connection.timedOut() ? connection.timeoutText()
                                 : QString::fromUtf8(cupsLastErrorString());
  };
  if (!connection.connected()) throw failure(cupsText());

  QFile pdf(pdfPath);
  if (!pdf.open(QIODevice::ReadOnly)) throw failure(pdf.errorString());

  const QByteArray queue = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
  const QByteArray name = title.toUtf8();
  Options jobOptions;
  for (const auto& [key, value] : options)
    jobOptions.count =
        cupsAddOption(key.constData(), value.constData(), jobOptions.count, &jobOptions.options);

  http_t* http = connection.http();
  const int job = createJob(http, queue, name, jobOptions);
  if (job <= 0) throw failure(cupsText());

  QString error;
  if (cupsStartDocument(http, queue.constData(), job, name.constData(), CUPS_FORMAT_PDF, 1) !=
      HTTP_STATUS_CONTINUE) {
    error = cupsText();
  } else {
    QByteArray chunk;
    while (error.isEmpty() && !(chunk = pdf.read(64 * 1024)).isEmpty()) {
      if (cupsWriteRequestData(http, chunk.constData(), static_cast<size_t>(chunk.size())) !=
          HTTP_STATUS_CONTINUE)
        error = cupsText();
    }
    if (error.isEmpty() && pdf.error() != QFileDevice::NoError) error = pdf.errorString();
    // Finishing reads the scheduler's answer; after an error it only closes the request.
    const ipp_status_t finished = cupsFinishDocument(http, queue.constData());
    if (error.isEmpty() && finished > IPP_STATUS_OK_CONFLICTING) error = cupsText();
  }
  if (!error.isEmpty()) {
    // Whatever arrived of the document must not print.
    if (!connection.timedOut()) {
      cupsCancelJob2(http, queue.constData(), job, 0);
    } else {
      // The request was cut off; a fresh connection gets one short chance to withdraw the job.
      CupsConnection again(std::min(timeout, std::chrono::milliseconds(5000)));
      if (again.connected()) cupsCancelJob2(again.http(), queue.constData(), job, 0);
    }
    throw failure(error);
  }
  return job;
}

}  // namespace radevore::report
