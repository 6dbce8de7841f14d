// Reads the fields of a received text in order, split at one delimiter with
// empty fields kept and nothing trimmed. The library tokenizer decides how
// many fields there are and is the one that signals a read past the last
// (StringTokenizer::NoSuchElementException); the texts come from our own
// copy, since the tokenizer leaves an empty field's buffer unterminated.
#pragma once

#include <commoncpp/commoncpp.h>

#include <string>
#include <vector>

namespace talvix {

class FieldReader {
 public:
  explicit FieldReader(const char* text, const char* delimiter = ":");
  FieldReader(const FieldReader&) = delete;
  FieldReader& operator=(const FieldReader&) = delete;

  // The next field; throws ost::StringTokenizer::NoSuchElementException
  // past the last.
  std::string next();
  // Skips one field, with the same exception past the last.
  void skip() { next(); }
  // True while another field follows.
  bool hasMore() const;

 private:
  std::string text_;
  std::string delimiter_;
  ost::StringTokenizer tokenizer_;
  ost::StringTokenizer::iterator position_;
  std::vector<std::string> fields_;
  std::size_t index_ = 0;
};

// Splits a whole text at once through the same reader.
std::vector<std::string> SplitFields(const char* text,
                                     const char* delimiter = ":");

}  // namespace talvix
