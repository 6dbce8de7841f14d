// The whole server on one network thread: listener, router, world traffic,
// console commands and clean shutdown.
#pragma once

#include <asio.hpp>
#include <memory>
#include <string>

#include "server/control_commands.h"
#include "server/event_log.h"
#include "server/router.h"
#include "server/server_options.h"
#include "server/tcp_server.h"
#include "server/world_traffic.h"

namespace netserver {

class ServerApp {
 public:
  ServerApp(ServerOptions options, EventLog log);

  // Binds the listener and starts the world; throws std::system_error when
  // the address cannot be bound, std::runtime_error when the world file
  // cannot be read. Bad lines of a world file are reported as "world-error"
  // events and left out.
  void start();
  // Runs the network until a stop; on the calling thread.
  void run();
  // SIGINT and SIGTERM stop the server.
  void stopOnSignals();

  // Both may be called from any thread.
  void command(const std::string& line);
  void requestStop();

  unsigned short port() const { return tcp_.port(); }
  const ServerOptions& options() const { return options_; }

 private:
  void stop();

  ServerOptions options_;
  EventLog log_;
  asio::io_context io_;
  Router router_;
  TcpServer tcp_;
  std::unique_ptr<WorldTraffic> world_;
  ControlCommands commands_;
  asio::signal_set signals_;
  bool stopped_ = false;
};

}  // namespace netserver
