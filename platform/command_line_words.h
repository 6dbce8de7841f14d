// The Linux stand-in's reading of a Windows command line.
#pragma once

#include <string>
#include <vector>

namespace talvix::platform {

// The arguments a Windows program finds in its command line, its own name
// first, as its C runtime splits them: blanks and tabs part the words except
// inside double quotes, which are dropped; a backslash escapes a quote only
// when it stands right before one, two backslashes there make one. The
// program's name is read apart: up to the next quote when quoted, else up
// to the first blank, its backslashes as they are.
std::vector<std::string> CommandLineWords(const char* commandLine);

}  // namespace talvix::platform
