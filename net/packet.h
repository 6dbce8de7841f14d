// One protocol line, without its line end, with a kind taken from its first
// character.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace talvix {

enum PacketKind : int {
  kPacketUnhandled = 0,
  kPacketHash = 1,    // "#" commands: "#TM", "#AP", ...
  kPacketDollar = 2,  // "$" commands: "$PI", "$CQ", ...
  kPacketPilot = 3,   // "@" pilot position
  kPacketAtc = 4,     // "%" controller position
};

class Packet {
 public:
  static constexpr std::size_t kTextSize = 1024;  // at most 1023 characters

  Packet();                           // empty, kind 0
  explicit Packet(const char* text);  // copied (cut to 1023), kind from text
  virtual ~Packet();
  Packet(const Packet&) = delete;
  Packet& operator=(const Packet&) = delete;

  // Replaces the text; outgoing lines start with their prefix ("#AP", "@").
  void setText(const char* text);
  // Appends without a separator; null is ignored; cut at 1023 characters.
  void appendText(const char* text);
  // Appends a field: directly after a three-character text, else after ":".
  void appendField(const char* field);
  // The first three characters; valid until the next call.
  const char* getPrefix();
  // The fields: after three characters for kinds 1 and 2, else after one.
  const char* payload() const;

  int kind() const { return kind_; }
  const char* text() const { return text_.c_str(); }

  // The history line that tells the user this line went out ("PONG Sent",
  // a chat echo). The sender posts it once the whole line is written to the
  // socket, and never for a line that was not.
  void setSentNote(std::string note) { sentNote_ = std::move(note); }
  std::string takeSentNote() { return std::move(sentNote_); }

 private:
  int kind_ = 0;
  // Only as long as the line: a queue of short lines stays small (a crowd
  // coming into range queues two requests a pilot).
  std::string text_;
  char prefix_[4] = {};
  std::string sentNote_;
};

// Kind of a line by its first character.
int PacketKindOf(const char* text);

// The alert shown when a packet cannot be allocated.
void reportFatalMemoryError();
extern const char kFatalMemoryErrorText[];

}  // namespace talvix
