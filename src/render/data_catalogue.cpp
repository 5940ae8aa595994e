#include "render/data_catalogue.h"

#include <QHash>

#include "render/text_output.h"

namespace radevore::render {

namespace {

// What a data name prints.
enum class Source {
  Column,         // a column of the label record, text output
  Wrapped,        // a column between two delimiters, text output
  ShortDate,      // FECHA in the short date format
  DateInWords,    // FECHA as "dddd, mmmm d, yyyy"
  Amount,         // a numeric column, number output
  Total,          // TotPrecio1..4, number output
  PlainNumber,    // a numeric column in its plain text form, text output
  PoundPrice,     // half of PRECIO when arti_pesoauto is "S"
  UserName,       // Tusua
  FixedText,      // Texto
  ArticleLookup,  // arti_unidad / arti_invima, printed when not empty
  Unidad,         // the record's UNIDAD
  Barras,         // the record's BARRAS, possibly between delimiters
  AuditLookup,    // the three audit names
};

struct Entry {
  const char* name;
  Source source;
  const char* column = nullptr;  // record column, or the lookup's tag
  bool currency = false;         // number output: currency (true) or number format
  char delimiter = 0;            // Wrapped / Barras: '*' or '#', 0 for none
  int index = 0;                 // Total: 0..3; lookups: which one
};

constexpr int kPesoAuto = 0, kUnidad = 1, kInvima = 2, kAuditFecha = 3, kAuditHora = 4,
              kAuditUsuario = 5;

const Entry kCatalogue[] = {
    {"CODIGO", Source::Column, "ARTICULO"},
    {"CODIGO BARRAS", Source::Wrapped, "ARTICULO", false, '*'},
    {"CODIGO BARRAS 128", Source::Wrapped, "ARTICULO", false, '#'},
    {"DESCRIPCION", Source::Column, "DESCRIPCION"},
    {"DESCRIPCION CORTA", Source::Column, "DESCCORTA"},
    {"FECHA", Source::ShortDate, "FECHA"},
    {"FECHA LETRAS", Source::DateInWords, "FECHA"},
    {"FAMILIA", Source::Column, "NOMFAMI"},
    {"NOMBRE FAMILIA", Source::Column, "NOMFAMI"},
    {"GRUPO", Source::Column, "CODGRUPO"},
    {"NOMBRE GRUPO", Source::Column, "NOMGRUPO"},
    {"SUBGRUPO", Source::Column, "CODSUBG"},
    {"NOMBRE SUBGRUPO", Source::Column, "NOMSUBG"},
    {"FABRICANTE", Source::Column, "CODMARC"},
    {"NOMBRE FABRICANTE", Source::Column, "NOMMARC"},
    {"MARCA", Source::Column, "CODSUBM"},
    {"NOMBRE MARCA", Source::Column, "NOMSUBM"},
    {"LISTA", Source::Column, "LISTAP"},
    {"NOMBRE LISTA", Source::Column, "NOMLISTA"},
    {"PRECIO", Source::Amount, "PRECIO", true},
    {"PRECIO1", Source::Amount, "PRECIO1", true},
    {"AHORRO1", Source::Amount, "AHORRO1", true},
    {"PRECIO2", Source::Amount, "PRECIO2", true},
    {"AHORRO2", Source::Amount, "AHORRO2", true},
    {"PRECIO3", Source::Amount, "PRECIO3", true},
    {"AHORRO3", Source::Amount, "AHORRO3", true},
    {"PRECIO4", Source::Amount, "PRECIO4", true},
    {"AHORRO4", Source::Amount, "AHORRO4", true},
    {"NOMBRE1", Source::Column, "NOMBRE1"},
    {"NOMBRE2", Source::Column, "NOMBRE2"},
    {"NOMBRE3", Source::Column, "NOMBRE3"},
    {"NOMBRE4", Source::Column, "NOMBRE4"},
    {"TOTAL PRECIO1", Source::Total, nullptr, true, 0, 0},
    {"TOTAL PRECIO2", Source::Total, nullptr, true, 0, 1},
    {"TOTAL PRECIO3", Source::Total, nullptr, true, 0, 2},
    {"TOTAL PRECIO4", Source::Total, nullptr, true, 0, 3},
    {"CANTIDAD MINIMA 1", Source::Amount, "CANTMIN1", false},
    {"CANTIDAD MINIMA 2", Source::Amount, "CANTMIN2", false},
    {"CANTIDAD MINIMA 3", Source::Amount, "CANTMIN3", false},
    {"CANTIDAD MINIMA 4", Source::Amount, "CANTMIN4", false},
    {"PRECIO SIN FORMATO", Source::PlainNumber, "PRECIO"},
    {"PORCENTAJE IVA", Source::PlainNumber, "PORIVA"},
    {"COSTO PROMEDIO", Source::PlainNumber, "COSTOP"},
    {"ULTIMO COSTO", Source::PlainNumber, "UCOSTO"},
    {"COSTO PROMEDIO MAS IVA", Source::PlainNumber, "COSTOPMASIVA"},
    {"ULTIMO COSTO MAS IVA", Source::PlainNumber, "UCOSTOMASIVA"},
    {"PRECIO LIBRA", Source::PoundPrice, "PRECIO", true, 0, kPesoAuto},
    {"PESO", Source::Amount, "PESO", false},
    {"P.U.M.", Source::Amount, "PUM", true},
    {"NOMBRE USUARIO", Source::UserName},
    {"CODIGO USUARIO", Source::UserName},
    {"UNIDAD", Source::ArticleLookup, nullptr, false, 0, kUnidad},
    {"CODIGO INVIMA", Source::ArticleLookup, nullptr, false, 0, kInvima},
    {"UNIDAD BARRAS", Source::Unidad},
    {"BARRAS", Source::Barras, nullptr, false, '*'},
    {"BARRAS 128", Source::Barras, nullptr, false, '#'},
    {"BARRAS EAN", Source::Barras, nullptr, false, 0},
    {"TEXTO FIJO", Source::FixedText},
    {"FECHA REGISTRO", Source::AuditLookup, nullptr, false, 0, kAuditFecha},
    {"HORA REGISTRO", Source::AuditLookup, nullptr, false, 0, kAuditHora},
    {"USUARIO REGISTRO", Source::AuditLookup, nullptr, false, 0, kAuditUsuario},
};

// The column each article lookup reads from articulo for the article code.
const char* const kArticleColumn[] = {"a.arti_pesoauto", "a.arti_unidad", "a.arti_invima"};

const char* const kAuditSql[] = {
    "select audi_fecha from auditoria where tido_cod = 101 and audi_oper = 'I' and "
    "audi_iddoc = ? order by audi_id desc",
    "select substring(audi_hora from 1 for 8) from auditoria where tido_cod = 101 and "
    "audi_oper = 'I' and audi_iddoc = ? order by audi_id desc",
    "select audi_usuario from auditoria where tido_cod = 101 and audi_oper = 'I' and "
    "audi_iddoc = ? order by audi_id desc",
};

const QHash<QString, const Entry*>& entriesByName() {
  static const QHash<QString, const Entry*> map = [] {
    QHash<QString, const Entry*> m;
    for (const Entry& e : kCatalogue) m.insert(QString::fromLatin1(e.name), &e);
    return m;
  }();
  return map;
}

// The audited document as a number: digits only, within 64 bits.
std::optional<std::int64_t> auditedDocumentNumber(const QString& text) {
  if (text.isEmpty()) return std::nullopt;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
  }
  bool ok = false;
  const qlonglong n = text.toLongLong(&ok);
  if (!ok) return std::nullopt;
  return n;
}

QString wrapped(const QString& text, char delimiter) {
  if (delimiter == 0) return text;
  const QChar d = QLatin1Char(delimiter);
  return d + text + d;
}

QString callOrEmpty(const std::function<QString()>& f) {
  return f ? f() : QString();
}

}  // namespace

DataCatalogue::DataCatalogue(db::Attachment& attachment, db::Transaction& transaction,
                             RegionalSettings regional, WindowTexts window)
    : attachment_(attachment),
      transaction_(transaction),
      regional_(std::move(regional)),
      window_(std::move(window)) {}

DataCatalogue::~DataCatalogue() = default;

const QStringList& DataCatalogue::names() {
  static const QStringList list = [] {
    QStringList l;
    for (const Entry& e : kCatalogue) l << QString::fromLatin1(e.name);
    return l;
  }();
  return list;
}

std::vector<RecordColumnUse> DataCatalogue::recordColumnsOf(const QString& dataName) {
  const auto found = entriesByName().constFind(dataName);
  if (found == entriesByName().constEnd()) return {};
  const Entry& e = **found;
  switch (e.source) {
    case Source::Column:
    case Source::Wrapped:
    case Source::ShortDate:
    case Source::DateInWords:
      return {{QString::fromLatin1(e.column), false}};
    case Source::Amount:
    case Source::PlainNumber:
    case Source::PoundPrice:
      return {{QString::fromLatin1(e.column), true}};
    case Source::Total:
      return {{QStringLiteral("PRECIO%1").arg(e.index + 1), true},
              {QStringLiteral("CANTMIN%1").arg(e.index + 1), true}};
    default:
      return {};
  }
}

void DataCatalogue::expectArticles(const QStringList& codes) {
  expected_ = codes;
  for (auto& lookup : articles_) {
    if (lookup) lookup->expect(codes);
  }
}

int DataCatalogue::lookupQueries() const {
  int queries = auditQueries_;
  for (const auto& lookup : articles_) queries += lookup ? lookup->queries() : 0;
  return queries;
}

db::Value DataCatalogue::lookup(Lookup which, const db::Value& key) {
  const int index = static_cast<int>(which);
  if (index < kArticleLookups) {
    auto& batched = articles_[index];
    if (!batched) {
      batched = std::make_unique<labels::BatchedLookup>(
          attachment_, transaction_, QString::fromLatin1(kArticleColumn[index]),
          QStringLiteral("articulo a"), QStringLiteral("a.arti_cod = :code"),
          QStringLiteral("a.rdb$db_key"));
      batched->expect(expected_);
    }
    const std::vector<db::Value>* first = batched->find(key.toText());
    return first ? first->front() : db::Value();
  }

  const int audit = index - kArticleLookups;
  const std::int64_t document = key.asInteger();
  const auto known = auditAnswers_[audit].constFind(document);
  if (known != auditAnswers_[audit].constEnd()) return *known;
  auto& statement = audits_[audit];
  if (!statement) {
    statement = attachment_.prepare(transaction_, QString::fromLatin1(kAuditSql[audit]));
  }
  const db::RowSet answer = statement->executeFirst(transaction_, {key});
  ++auditQueries_;
  const db::Value value = answer.rows.empty() ? db::Value() : answer.rows.front().at(0);
  auditAnswers_[audit].insert(document, value);
  return value;
}

// The text form of a value: decimals exactly in their plain form with the regional separator,
// dates in the short date format.
QString DataCatalogue::valueText(const db::Value& value) const {
  switch (value.kind()) {
    case db::Value::Kind::Decimal:
      if (value.scale() <= 4) {
        return labels::Amount::fromDecimal(value.asInteger(), value.scale())
            .plainText(regional_.decimalSeparator());
      }
      return value.toText(regional_.decimalSeparator());
    case db::Value::Kind::Date:
      return regional_.formatShortDate(value.asDate());
    case db::Value::Kind::Timestamp:
      return regional_.formatTimestamp(value.asTimestamp());
    default:
      return value.toText(regional_.decimalSeparator());
  }
}

void DataCatalogue::print(report::ReportCanvas& canvas, const db::Row& element,
                          const labels::LabelRecord& record, double x, double y) {
  const db::Value& dato = element[u"DAFO_DATO"];
  if (dato.isNull()) return;
  const auto found = entriesByName().constFind(dato.toText());
  if (found == entriesByName().constEnd()) return;
  const Entry& e = **found;

  const QString decimals = element.has(u"DAFO_FORMATO") ? element.text(u"DAFO_FORMATO") : QString();
  auto column = [&]() -> const db::Value& { return record.row[QString::fromLatin1(e.column)]; };
  auto text = [&](const QString& value) { imprima_cadena(canvas, value, x, y, element); };
  auto number = [&](const QString& value) {
    imprima_numero(canvas, value, x, y, e.currency, decimals, regional_);
  };

  switch (e.source) {
    case Source::Column:
      text(valueText(column()));
      break;
    case Source::Wrapped:
      text(wrapped(valueText(column()), e.delimiter));
      break;
    case Source::ShortDate:
    case Source::DateInWords: {
      const db::Value& date = column();
      QString value;
      if (date.kind() == db::Value::Kind::Date || date.kind() == db::Value::Kind::Timestamp) {
        value = e.source == Source::ShortDate ? regional_.formatShortDate(date.asDate())
                                              : regional_.formatDateInWords(date.asDate());
      } else {
        value = valueText(date);
      }
      text(value);
      break;
    }
    case Source::Amount:
      number(valueText(column()));
      break;
    case Source::Total: {
      const auto& total = record.totPrecio[static_cast<size_t>(e.index)];
      number(total ? total->plainText(regional_.decimalSeparator()) : QString());
      break;
    }
    case Source::PlainNumber:
      text(valueText(column()));
      break;
    case Source::PoundPrice: {
      const db::Value flag =
          lookup(Lookup::PesoAuto, db::Value::text(record.row.text(u"ARTICULO")));
      if (flag.toText() != u"S") break;
      const db::Value& price = column();
      if (price.isNull()) break;
      const auto amount =
          price.kind() == db::Value::Kind::Decimal
              ? std::optional(labels::Amount::fromDecimal(price.asInteger(), price.scale()))
              : labels::Amount::parse(valueText(price), regional_.decimalSeparator());
      if (!amount) break;
      number(amount->half().plainText(regional_.decimalSeparator()));
      break;
    }
    case Source::UserName:
      text(callOrEmpty(window_.userName));
      break;
    case Source::FixedText:
      text(callOrEmpty(window_.fixedText));
      break;
    case Source::ArticleLookup: {
      const Lookup which = e.index == kUnidad ? Lookup::Unidad : Lookup::Invima;
      const QString answer =
          valueText(lookup(which, db::Value::text(record.row.text(u"ARTICULO"))));
      if (!answer.isEmpty()) text(answer);
      break;
    }
    case Source::Unidad:
      text(record.unidad.toText());
      break;
    case Source::Barras:
      text(wrapped(record.barras.toText(), e.delimiter));
      break;
    case Source::AuditLookup: {
      const auto document = auditedDocumentNumber(callOrEmpty(window_.auditedDocument));
      if (!document) break;
      const Lookup which = e.index == kAuditFecha  ? Lookup::AuditFecha
                           : e.index == kAuditHora ? Lookup::AuditHora
                                                   : Lookup::AuditUsuario;
      const QString answer = valueText(lookup(which, db::Value::integer(*document)));
      if (!answer.isEmpty()) text(answer);
      break;
    }
  }
}

}  // namespace radevore::render
