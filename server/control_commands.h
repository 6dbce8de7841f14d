// The console commands, one a line: send, sendall, kill, close, list,
// plans, quit. Each answers with event lines.
#pragma once

#include <functional>
#include <string>

#include "server/event_log.h"
#include "server/router.h"

namespace netserver {

class ControlCommands {
 public:
  ControlCommands(Router& router, const EventLog& log,
                  std::function<void()> quit);

  // Runs one command line, on the network thread.
  void execute(const std::string& commandLine);

 private:
  Router& router_;
  const EventLog& log_;
  std::function<void()> quit_;
};

}  // namespace netserver
