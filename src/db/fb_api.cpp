#include "db/fb_api.h"

#include <QStringDecoder>
#include <vector>

#include "db/code_page.h"
#include "db/db_error.h"

namespace radevore::db::fb {

Firebird::IMaster* master() {
  return Firebird::fb_get_master_interface();
}

Firebird::IUtil* util() {
  return master()->getUtilInterface();
}

QString formatStatus(Firebird::IStatus* status) {
  std::vector<char> buffer(4096);
  util()->formatStatus(buffer.data(), static_cast<unsigned>(buffer.size() - 1), status);
  buffer.back() = '\0';
  const QByteArray bytes(buffer.data());
  // Messages are ASCII; names quoted in them come in the attachment's code page.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = decodeWindows1252(bytes);
  while (text.endsWith(u'\n')) text.chop(1);
  return text;
}

void rethrowAsDbError(const Firebird::FbException& e) {
  throw DbError(formatStatus(e.getStatus()), errorCodes(e.getStatus()));
}

std::vector<long> errorCodes(Firebird::IStatus* status) {
  std::vector<long> codes;
  const intptr_t* v = status->getErrors();
  // Clusters of the status vector: a kind, then one value (a C string: a length and a pointer).
  while (v != nullptr && v[0] != isc_arg_end) {
    if (v[0] == isc_arg_gds) codes.push_back(static_cast<long>(v[1]));
    v += v[0] == isc_arg_cstring ? 3 : 2;
  }
  return codes;
}

}  // namespace radevore::db::fb
