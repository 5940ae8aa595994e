#include "db/code_page.h"

#include <QList>
#include <array>

namespace radevore::db {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows itself does.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char encodeOne(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < kHighTable.size(); ++i) {
    if (kHighTable[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

QString decodeWindows1252(QByteArrayView bytes) {
  QString out;
  out.resize(bytes.size());
  QChar* d = out.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    d[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kHighTable[b - 0x80]) : QChar(b);
  }
  return out;
}

QByteArray encodeWindows1252(QStringView text) {
  QByteArray out;
  out.reserve(text.size());
  for (char32_t c : text.toUcs4()) out.append(encodeOne(c));
  return out;
}

}  // namespace radevore::db
