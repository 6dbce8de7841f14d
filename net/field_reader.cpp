#include "net/field_reader.h"

namespace talvix {

FieldReader::FieldReader(const char* text, const char* delimiter)
    : text_(text ? text : ""),
      delimiter_(delimiter ? delimiter : ":"),
      tokenizer_(text_.c_str(), delimiter_.c_str(), false, false),
      position_(tokenizer_.begin()) {
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text_.find_first_of(delimiter_, start);
    if (end == std::string::npos) {
      fields_.push_back(text_.substr(start));
      break;
    }
    fields_.push_back(text_.substr(start, end - start));
    start = end + 1;
  }
}

bool FieldReader::hasMore() const { return position_ != tokenizer_.end(); }

std::string FieldReader::next() {
  if (position_ == tokenizer_.end())
    throw ost::StringTokenizer::NoSuchElementException();
  ++position_;
  // The two splits agree on the count; guard anyway so a disagreement can
  // never read outside our copy.
  if (index_ >= fields_.size())
    throw ost::StringTokenizer::NoSuchElementException();
  return fields_[index_++];
}

std::vector<std::string> SplitFields(const char* text, const char* delimiter) {
  FieldReader reader(text, delimiter);
  std::vector<std::string> fields;
  while (reader.hasMore()) fields.push_back(reader.next());
  return fields;
}

}  // namespace talvix
