#include "server/event_log.h"

#include <cstdio>
#include <utility>

namespace netserver {

EventLog::EventLog()
    : sink_([](const std::string& line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
      }) {}

EventLog::EventLog(Sink sink) : sink_(std::move(sink)) {}

void EventLog::event(const std::string& line) const { sink_(line); }

}  // namespace netserver
