#include "app/server_list.h"

#include "app/local_file.h"
#include "db/code_page.h"

namespace radevore::app {

namespace {

QString entryOf(const QByteArray& line) {
  return db::decodeWindows1252(
      QByteArrayView(line).first(std::min<qsizetype>(line.size(), kServerLineLimit)));
}

}  // namespace

QStringList parseServerList(QByteArrayView bytes) {
  QStringList entries;
  QByteArray line;
  bool pending = false;  // bytes (or nothing) collected since the last line end
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n' || c == '\r') {
      entries.append(entryOf(line));
      line.clear();
      pending = false;
      if (c == '\r') ++i;  // the byte after a CR is read and dropped
      continue;
    }
    line.append(c);
    pending = true;
  }
  if (pending) entries.append(entryOf(line));
  return entries;
}

QStringList readServerList(const QString& path) {
  const LocalFile file = readLocalFile(path);
  if (file.status != LocalFile::Status::Read) return {};
  return parseServerList(file.bytes);
}

}  // namespace radevore::app
