// The stand-in host's model serving the plug-in's code linked in, for the
// fuzz targets. Received lines take the dispatcher's road (a packet from the
// text, its copy, the route by kind and prefix, the handler); after each
// input the host's state must still be sound, or the target aborts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace talvix::fuzz {

// Sets up the host (once per process): the user at KSFO, callsign ABC,
// range 40 nm, the main window open.
void StartHost();

// Splits data at LF into lines; a line that does not begin with one of
// prefixes gets the first put in front, so each target stays on its family.
// Every line is then handled as a received one.
void DispatchLines(const std::uint8_t* data, std::size_t size,
                   std::initializer_list<const char*> prefixes);

// Aborts when an AI object stands at a place, attitude or speed that is not
// finite, the weather's altimeter is not finite, or the host saw a call it
// could not honour; then clears what the host keeps piling up and the plug-in's
// lists for the next input.
void CheckAndReset();

}  // namespace talvix::fuzz
