// The receiver's line reader on a byte stream that arrives in pieces: the
// input's first bytes choose the piece sizes, the rest is the stream. Every
// byte must come out again, in order, in lines of at most 1023 bytes with
// a line end only at their end, and each packet must hold its line up to
// the first CR LF (or NUL).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/line_reader.h"
#include "net/packet.h"

namespace {

using talvix::LineReader;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "line reader: %s\n", what);
  std::abort();
}

// A stand-in for the socket: the bytes that have arrived so far, peeked and
// consumed as the session does.
struct Arrivals {
  const char* bytes;
  std::size_t arrived = 0;
  std::size_t consumed = 0;
  std::size_t available() const { return arrived - consumed; }
};

// Checks one finished line and hands back its raw bytes.
void Deliver(LineReader& reader, std::string& out) {
  const std::string raw(reader.bytes(), reader.length());
  if (raw.size() > LineReader::kBufferSize - 1) Fail("line too long");
  const std::size_t lf = raw.find('\n');
  if (lf != std::string::npos && lf + 1 != raw.size())
    Fail("bytes after a line end");
  const std::string cut = reader.cutLine();
  std::string expected = raw.substr(0, raw.find('\0'));
  const std::size_t crlf = expected.find("\r\n");
  if (crlf != std::string::npos) expected.resize(crlf);
  if (cut != expected) Fail("packet text differs from its line");
  talvix::Packet packet(cut.c_str());
  if (cut != packet.text()) Fail("packet lost bytes of its line");
  out += raw;
  reader.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 1) return 0;
  // Up to 8 piece sizes, each 1 to 2048 bytes, from the first bytes.
  const std::size_t pieces = (data[0] & 7u) + 1;
  if (size < 1 + 2 * pieces) return 0;
  std::size_t sizes[8];
  for (std::size_t i = 0; i < pieces; ++i)
    sizes[i] = ((data[1 + 2 * i] << 8 | data[2 + 2 * i]) & 2047u) + 1;
  const std::size_t header = 1 + 2 * pieces;
  Arrivals socket{reinterpret_cast<const char*>(data) + header};
  const std::size_t total = size - header;

  LineReader reader;
  std::string out;
  std::size_t piece = 0;
  while (socket.consumed < total) {
    socket.arrived = std::min(total, socket.arrived + sizes[piece++ % pieces]);
    // One receiver cycle after each arrival: read until the line is
    // complete or nothing waits.
    for (;;) {
      while (!reader.complete()) {
        const std::size_t peeked = std::min(reader.room(), socket.available());
        if (peeked == 0) break;
        std::memcpy(reader.tail(), socket.bytes + socket.consumed, peeked);
        bool ended = false;
        const std::size_t take =
            LineReader::Take(reader.tail(), peeked, &ended);
        socket.consumed += take;
        reader.append(take, ended);
      }
      if (!reader.complete()) break;
      Deliver(reader, out);
    }
  }
  // What never met a line end is still held; nothing was lost or reordered.
  out.append(reader.bytes(), reader.length());
  if (out != std::string(socket.bytes, total)) Fail("bytes lost or reordered");
  return 0;
}
