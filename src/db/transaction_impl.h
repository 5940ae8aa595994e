#pragma once

#include "db/fb_api.h"
#include "db/transaction.h"

namespace radevore::db {

struct Transaction::Impl {
  fb::Ref<Firebird::ITransaction> tra;
};

}  // namespace radevore::db
