#pragma once

// Label format rows built in memory, with every column of FORMATOS, FORMATO_DATOS and
// FORMATO_LINEAS present and null unless set.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "db/row_set.h"
#include "db/value.h"
#include "labels/label_format.h"
#include "labels/label_record.h"

namespace radevore::testing {

using Field = std::pair<QString, db::Value>;

inline db::Value txt(const QString& v) {
  return db::Value::text(v);
}
inline db::Value num(std::int64_t v) {
  return db::Value::integer(v);
}
inline db::Value nul() {
  return db::Value();
}
inline db::Value blob(const QByteArray& v) {
  return db::Value::blob(v);
}

inline db::Row makeRow(const std::shared_ptr<const db::Columns>& columns,
                       std::initializer_list<Field> fields) {
  std::vector<db::Value> values(static_cast<size_t>(columns->size()));
  for (const Field& f : fields) {
    const int i = columns->indexOf(f.first);
    if (i < 0) throw std::logic_error("unknown column " + f.first.toStdString());
    values[static_cast<size_t>(i)] = f.second;
  }
  return db::Row(columns, std::move(values));
}

inline std::shared_ptr<const db::Columns> headerColumns() {
  static const auto columns = std::make_shared<const db::Columns>(QStringList{
      "TIDO_COD", "PREF_PRE", "FORM_IMPRE", "FORM_NROITEMS", "FORM_PAGINAS", "FORM_ENTRELINEA",
      "FORM_FONT", "FORM_FSIZE", "FORM_PAPELAN", "FORM_PAPELAL", "FORM_HORIZONTAL", "FORM_PREFFE"});
  return columns;
}

inline std::shared_ptr<const db::Columns> dataColumns() {
  static const auto columns = std::make_shared<const db::Columns>(
      QStringList{"TIDO_COD", "PREF_PRE", "DAFO_DATO", "DAFO_IMPRIME", "DAFO_POSX", "DAFO_POSY",
                  "DAFO_FORMATO", "DAFO_LONG", "DAFO_REPITE", "DAFO_FONT", "DAFO_FSIZE",
                  "DAFO_LIQUIDA", "DAFO_POSYVAR", "DAFO_ITEM", "DAFO_INI", "DAFO_CORTARPALABRAS",
                  "DAFO_JUSTIFICA", "DAFO_PAGINA", "DAFO_VERTICAL"});
  return columns;
}

inline std::shared_ptr<const db::Columns> staticColumns() {
  static const auto columns = std::make_shared<const db::Columns>(
      QStringList{"TIDO_COD", "PREF_PRE", "FOLI_ITEM", "FOLI_TIPO", "FOLI_X", "FOLI_Y", "FOLI_POSX",
                  "FOLI_POSY", "FOLI_CADENA", "FOLI_FONT", "FOLI_FSIZE", "FOLI_LIQUIDA",
                  "FOLI_IMAGEN", "FOLI_REPITE", "FOLI_PAGINA", "FOLI_VERTICAL"});
  return columns;
}

inline db::Row header(std::initializer_list<Field> fields) {
  return makeRow(headerColumns(), fields);
}
inline db::Row staticElement(std::initializer_list<Field> fields) {
  return makeRow(staticColumns(), fields);
}
// A data element that prints: DAFO_IMPRIME "S", DAFO_REPITE "N" unless the fields say otherwise.
inline db::Row dataElement(std::initializer_list<Field> fields) {
  db::Row row = makeRow(dataColumns(), {{"DAFO_IMPRIME", txt("S")}, {"DAFO_REPITE", txt("N")}});
  for (const Field& f : fields) row.at(row.columns().indexOf(f.first)) = f.second;
  return row;
}

// Records that differ only by their article code.
inline std::vector<labels::LabelRecord> records(int count) {
  static const auto columns = std::make_shared<const db::Columns>(QStringList{"ARTICULO"});
  std::vector<labels::LabelRecord> list;
  for (int i = 0; i < count; ++i) {
    labels::LabelRecord r;
    r.row = db::Row(columns, {txt(QStringLiteral("A%1").arg(i))});
    list.push_back(r);
  }
  return list;
}

}  // namespace radevore::testing
