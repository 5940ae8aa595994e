#include "app/data_module.h"

#include "app/install_directory.h"

namespace radevore::app {

Fdm::Fdm(print::UserMessages& messages)
    : configuration_(messages),
      aliases_(messages, [&messages] { return diraplicacion(messages); }) {}

ConnectionState Fdm::nexoraState() const {
  if (connecting_) return ConnectionState::Connecting;
  return Nexora.isOpen() ? ConnectionState::Open : ConnectionState::Closed;
}

void Fdm::openGeneral(const db::ConnectionParams& params) {
  ConGeneral.close();
  ConGeneral = db::Attachment::open(params);
}

void Fdm::openNexora(const db::ConnectionParams& params) {
  Nexora.close();
  connecting_ = true;
  try {
    Nexora = db::Attachment::open(params);
  } catch (...) {
    connecting_ = false;
    throw;
  }
  connecting_ = false;
}

}  // namespace radevore::app
