#pragma once

#include <firebird/Interface.h>

#include <QStringList>
#include <vector>

#include "db/fb_api.h"
#include "db/value.h"

namespace radevore::db {

// A message buffer laid out by its metadata; 8-byte aligned so the offsets Firebird computes
// are valid.
class MessageBuffer {
 public:
  explicit MessageBuffer(unsigned length) : words_((length + 7) / 8 + 1, 0) {}
  unsigned char* data() { return reinterpret_cast<unsigned char*>(words_.data()); }

 private:
  std::vector<std::uint64_t> words_;
};

// Column names of an output message: aliases as Firebird reports them.
QStringList columnNames(Firebird::IMessageMetadata* meta);

// Reads one row from an output message; blobs are read whole through the attachment.
std::vector<Value> readRow(Firebird::IMessageMetadata* meta, unsigned char* buffer,
                           Firebird::IAttachment* att, Firebird::ITransaction* tra);

// An input message for `params`, its metadata derived from the statement's input metadata
// with each parameter's type set from the kind of its value, so that the server converts.
struct InputMessage {
  fb::Ref<Firebird::IMessageMetadata> meta;
  MessageBuffer buffer{0};
};
InputMessage writeParams(Firebird::IMessageMetadata* inMeta, const std::vector<Value>& params,
                         unsigned textCharset, Firebird::IAttachment* att,
                         Firebird::ITransaction* tra);

}  // namespace radevore::db
