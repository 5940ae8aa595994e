#pragma once

#include "db/cursor.h"
#include "db/fb_api.h"
#include "db/message_codec.h"

namespace radevore::db {

struct Cursor::Impl {
  explicit Impl(unsigned messageLength) : buffer(messageLength) {}
  fb::Ref<Firebird::IAttachment> att;  // kept for blobs
  fb::Ref<Firebird::IStatement> stmt;  // the result lives as long as its statement
  fb::Ref<Firebird::IMessageMetadata> out;
  fb::Ref<Firebird::IResultSet> rs;
  Firebird::ITransaction* tra = nullptr;  // owned by the caller's Transaction
  std::shared_ptr<const Columns> columns;
  MessageBuffer buffer;
};

}  // namespace radevore::db
