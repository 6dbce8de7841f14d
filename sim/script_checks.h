// The script's expectations: each one either holds or fails with what the
// host has instead.
#pragma once

#include <string>
#include <vector>

#include "sim/host_model.h"
#include "sim/script_args.h"

namespace sim {

std::string Quoted(const std::string& text);

// A row of the main window's message history ('txMN', 'hist') reads text.
// The rows of the message history, head row first; empty when closed.
std::vector<std::string> HistoryRows(const HostModel& model);
bool HistoryHas(const HostModel& model, const std::string& text);
std::string DescribeHistory(const HostModel& model);

// The screen notices posted so far, oldest first.
std::vector<std::string> NoticeTexts(const HostModel& model);
bool NoticeHas(const HostModel& model, const std::string& text);
std::string DescribeNotices(const HostModel& model);

// How many sounds of this file the host has started so far.
int SoundCount(const HostModel& model, const std::string& file);

// A live AI object has that first name.
bool ObjectExists(const HostModel& model, const std::string& name);
std::string DescribeObjects(const HostModel& model);

// Runs an expect command; false when the line is no expect command, throws
// ScriptError when the expectation does not hold.
bool RunCheck(const HostModel& model, const ScriptArgs& args);

}  // namespace sim
