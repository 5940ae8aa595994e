#include "db/message_codec.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstring>

#include "db/db_error.h"
#include "db/text_codec.h"

namespace radevore::db {

namespace {

// Days between Firebird's date origin (1858-11-17) and the Julian day number.
constexpr qint64 kJulianOfDateZero = 2400001;

template <typename T>
T load(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <typename T>
void store(unsigned char* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

QDate toDate(ISC_DATE d) {
  return QDate::fromJulianDay(d + kJulianOfDateZero);
}
QTime toTime(ISC_TIME t) {
  return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10));
}
ISC_DATE fromDate(QDate d) {
  return static_cast<ISC_DATE>(d.toJulianDay() - kJulianOfDateZero);
}
ISC_TIME fromTime(QTime t) {
  return static_cast<ISC_TIME>(t.msecsSinceStartOfDay()) * 10;
}

Value exact(std::int64_t unscaled, int scale) {
  return scale < 0 ? Value::decimal(unscaled, -scale) : Value::integer(unscaled);
}

QByteArray readBlob(Firebird::IAttachment* att, Firebird::ITransaction* tra, ISC_QUAD id) {
  fb::Status st;
  fb::Ref<Firebird::IBlob> blob(att->openBlob(&st, tra, &id, 0, nullptr));
  QByteArray data;
  std::vector<char> chunk(65535);
  for (;;) {
    unsigned got = 0;
    const int rc = blob->getSegment(&st, static_cast<unsigned>(chunk.size()), chunk.data(), &got);
    if (rc == Firebird::IStatus::RESULT_NO_DATA) break;
    data.append(chunk.data(), got);
  }
  blob->close(&st);
  blob.take();
  return data;
}

ISC_QUAD writeBlob(Firebird::IAttachment* att, Firebird::ITransaction* tra,
                   const QByteArray& data) {
  fb::Status st;
  ISC_QUAD id{};
  fb::Ref<Firebird::IBlob> blob(att->createBlob(&st, tra, &id, 0, nullptr));
  for (qsizetype pos = 0; pos < data.size(); pos += 32768) {
    const auto n = static_cast<unsigned>(std::min<qsizetype>(32768, data.size() - pos));
    blob->putSegment(&st, n, data.constData() + pos);
  }
  blob->close(&st);
  blob.take();
  return id;
}

}  // namespace

QStringList columnNames(Firebird::IMessageMetadata* meta) {
  fb::Status st;
  QStringList names;
  const unsigned n = meta->getCount(&st);
  for (unsigned i = 0; i < n; ++i) {
    QString name = QString::fromUtf8(meta->getAlias(&st, i));
    if (name.isEmpty()) name = QString::fromUtf8(meta->getField(&st, i));
    names << name;
  }
  return names;
}

std::vector<Value> readRow(Firebird::IMessageMetadata* meta, unsigned char* buffer,
                           Firebird::IAttachment* att, Firebird::ITransaction* tra) {
  fb::Status st;
  const unsigned n = meta->getCount(&st);
  std::vector<Value> row;
  row.reserve(n);
  for (unsigned i = 0; i < n; ++i) {
    if (load<ISC_SHORT>(buffer + meta->getNullOffset(&st, i)) != 0) {
      row.emplace_back();
      continue;
    }
    const unsigned char* p = buffer + meta->getOffset(&st, i);
    const unsigned type = meta->getType(&st, i) & ~1u;
    const int scale = meta->getScale(&st, i);
    const unsigned charset = meta->getCharSet(&st, i) & 0xFF;
    const unsigned length = meta->getLength(&st, i);
    switch (type) {
      case SQL_TEXT: {
        // Fixed-length values keep their padding; for multi-byte sets the buffer holds the
        // widest form, so cut back to the declared number of characters.
        QString text = decodeText(QByteArray(reinterpret_cast<const char*>(p), length), charset);
        const auto chars = static_cast<qsizetype>(length / maxBytesPerChar(charset));
        if (text.size() > chars) text.truncate(chars);
        row.push_back(Value::text(std::move(text)));
        break;
      }
      case SQL_VARYING: {
        const auto len = load<ISC_USHORT>(p);
        row.push_back(Value::text(
            decodeText(QByteArray(reinterpret_cast<const char*>(p + 2), len), charset)));
        break;
      }
      case SQL_SHORT:
        row.push_back(exact(load<ISC_SHORT>(p), scale));
        break;
      case SQL_LONG:
        row.push_back(exact(load<ISC_LONG>(p), scale));
        break;
      case SQL_INT64:
        row.push_back(exact(load<ISC_INT64>(p), scale));
        break;
      case SQL_FLOAT:
        row.push_back(Value::floating(load<float>(p)));
        break;
      case SQL_DOUBLE:
      case SQL_D_FLOAT:
        row.push_back(Value::floating(load<double>(p)));
        break;
      case SQL_TYPE_DATE:
        row.push_back(Value::date(toDate(load<ISC_DATE>(p))));
        break;
      case SQL_TYPE_TIME:
        row.push_back(Value::time(toTime(load<ISC_TIME>(p))));
        break;
      case SQL_TIMESTAMP: {
        const auto ts = load<ISC_TIMESTAMP>(p);
        row.push_back(
            Value::timestamp(QDateTime(toDate(ts.timestamp_date), toTime(ts.timestamp_time))));
        break;
      }
      case SQL_BOOLEAN:
        row.push_back(Value::integer(*p ? 1 : 0));
        break;
      case SQL_BLOB: {
        QByteArray data = readBlob(att, tra, load<ISC_QUAD>(p));
        if (meta->getSubType(&st, i) == isc_blob_text)
          row.push_back(Value::text(decodeText(data, charset)));
        else
          row.push_back(Value::blob(std::move(data)));
        break;
      }
      case SQL_NULL:
        row.emplace_back();
        break;
      default:
        throw DbError(QStringLiteral("Column %1: unsupported data type %2")
                          .arg(QString::fromUtf8(meta->getAlias(&st, i)))
                          .arg(type));
    }
  }
  return row;
}

InputMessage writeParams(Firebird::IMessageMetadata* inMeta, const std::vector<Value>& params,
                         unsigned textCharset, Firebird::IAttachment* att,
                         Firebird::ITransaction* tra) {
  fb::Status st;
  const unsigned n = inMeta->getCount(&st);
  if (n != params.size()) {
    throw DbError(
        QStringLiteral("The statement has %1 parameters, %2 given").arg(n).arg(params.size()));
  }
  InputMessage msg;
  if (n == 0) {
    inMeta->addRef();
    msg.meta.reset(inMeta);
    msg.buffer = MessageBuffer(inMeta->getMessageLength(&st));
    return msg;
  }

  // Long texts go as text blobs: a VARCHAR parameter holds at most 32765 bytes.
  constexpr qsizetype kMaxVarying = 32765;
  std::vector<QByteArray> bytes(n);
  fb::Ref<Firebird::IMetadataBuilder> builder(inMeta->getBuilder(&st));
  for (unsigned i = 0; i < n; ++i) {
    const Value& v = params[i];
    switch (v.kind()) {
      case Value::Kind::Null:
        break;  // keep the declared type, only the null flag is set
      case Value::Kind::Text:
        bytes[i] = encodeText(v.asString(), textCharset);
        if (bytes[i].size() > kMaxVarying) {
          builder->setType(&st, i, SQL_BLOB + 1);
          builder->setSubType(&st, i, isc_blob_text);
          builder->setLength(&st, i, sizeof(ISC_QUAD));
        } else {
          builder->setType(&st, i, SQL_VARYING + 1);
          builder->setLength(&st, i,
                             static_cast<unsigned>(std::max<qsizetype>(1, bytes[i].size())));
        }
        builder->setCharSet(&st, i, textCharset);
        builder->setScale(&st, i, 0);
        break;
      case Value::Kind::Integer:
      case Value::Kind::Decimal:
        builder->setType(&st, i, SQL_INT64 + 1);
        builder->setLength(&st, i, sizeof(ISC_INT64));
        builder->setScale(&st, i, -v.scale());
        break;
      case Value::Kind::Float:
        builder->setType(&st, i, SQL_DOUBLE + 1);
        builder->setLength(&st, i, sizeof(double));
        builder->setScale(&st, i, 0);
        break;
      case Value::Kind::Date:
        builder->setType(&st, i, SQL_TYPE_DATE + 1);
        builder->setLength(&st, i, sizeof(ISC_DATE));
        builder->setScale(&st, i, 0);
        break;
      case Value::Kind::Time:
        builder->setType(&st, i, SQL_TYPE_TIME + 1);
        builder->setLength(&st, i, sizeof(ISC_TIME));
        builder->setScale(&st, i, 0);
        break;
      case Value::Kind::Timestamp:
        builder->setType(&st, i, SQL_TIMESTAMP + 1);
        builder->setLength(&st, i, sizeof(ISC_TIMESTAMP));
        builder->setScale(&st, i, 0);
        break;
      case Value::Kind::Blob:
        builder->setType(&st, i, SQL_BLOB + 1);
        builder->setSubType(&st, i, isc_blob_untyped);
        builder->setLength(&st, i, sizeof(ISC_QUAD));
        builder->setScale(&st, i, 0);
        break;
    }
  }
  msg.meta.reset(builder->getMetadata(&st));
  Firebird::IMessageMetadata* meta = msg.meta.get();
  msg.buffer = MessageBuffer(meta->getMessageLength(&st));
  unsigned char* buf = msg.buffer.data();

  for (unsigned i = 0; i < n; ++i) {
    const Value& v = params[i];
    store<ISC_SHORT>(buf + meta->getNullOffset(&st, i), v.isNull() ? -1 : 0);
    unsigned char* p = buf + meta->getOffset(&st, i);
    switch (v.kind()) {
      case Value::Kind::Null:
        break;
      case Value::Kind::Text:
        if (bytes[i].size() > kMaxVarying) {
          store<ISC_QUAD>(p, writeBlob(att, tra, bytes[i]));
        } else {
          store<ISC_USHORT>(p, static_cast<ISC_USHORT>(bytes[i].size()));
          std::memcpy(p + 2, bytes[i].constData(), static_cast<size_t>(bytes[i].size()));
        }
        break;
      case Value::Kind::Integer:
      case Value::Kind::Decimal:
        store<ISC_INT64>(p, v.asInteger());
        break;
      case Value::Kind::Float:
        store<double>(p, v.asDouble());
        break;
      case Value::Kind::Date:
        store<ISC_DATE>(p, fromDate(v.asDate()));
        break;
      case Value::Kind::Time:
        store<ISC_TIME>(p, fromTime(v.asTime()));
        break;
      case Value::Kind::Timestamp: {
        ISC_TIMESTAMP ts{fromDate(v.asDate()), fromTime(v.asTime())};
        store<ISC_TIMESTAMP>(p, ts);
        break;
      }
      case Value::Kind::Blob:
        store<ISC_QUAD>(p, writeBlob(att, tra, v.asBlob()));
        break;
    }
  }
  return msg;
}

}  // namespace radevore::db
