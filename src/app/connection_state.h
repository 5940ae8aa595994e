#pragma once

namespace radevore::app {

// State of a connection as the unattended start reads it.
enum class ConnectionState { Closed, Connecting, Open };

}  // namespace radevore::app
