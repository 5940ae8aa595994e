#pragma once

#include <memory>

#include "db/fb_api.h"
#include "db/row_set.h"
#include "db/statement.h"

namespace radevore::db {

struct Statement::Impl {
  fb::Ref<Firebird::IAttachment> att;  // kept for blobs
  fb::Ref<Firebird::IStatement> stmt;
  fb::Ref<Firebird::IMessageMetadata> in;
  fb::Ref<Firebird::IMessageMetadata> out;
  std::shared_ptr<const Columns> columns;
  unsigned textCharset = 0;  // code page of text parameters: the attachment's
  bool hasCursor = false;

  RowSet run(Transaction& tr, const std::vector<Value>& params, long maxRows);
};

}  // namespace radevore::db
