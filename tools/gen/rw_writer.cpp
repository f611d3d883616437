#include "rw_writer.h"

#include <cassert>
#include <cstring>
#include <utility>

namespace zam::gen {

RwWriter& RwWriter::Open(uint32_t type) {
  open_.push_back(bytes_.size());
  RwChunkHeader header{type, 0, stamp_};
  return Bytes(&header, sizeof header);
}

RwWriter& RwWriter::Close() {
  assert(!open_.empty() && "Close without Open");
  if (open_.empty()) return *this;
  size_t at = open_.back();
  open_.pop_back();
  uint32_t size = static_cast<uint32_t>(bytes_.size() - at - sizeof(RwChunkHeader));
  std::memcpy(bytes_.data() + at + 4, &size, sizeof size);
  return *this;
}

RwWriter& RwWriter::Section(uint32_t type, const std::vector<uint8_t>& body) {
  Open(type);
  Bytes(body.data(), body.size());
  return Close();
}

RwWriter& RwWriter::Bytes(const void* data, size_t n) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + n);
  return *this;
}

RwWriter& RwWriter::Text(const std::string& text, size_t width) {
  for (size_t i = 0; i < width; ++i) U8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
  return *this;
}

RwWriter& RwWriter::String(const std::string& text) {
  Open(kRwString);
  Text(text, (text.size() + 4) & ~size_t{3});
  return Close();
}

std::vector<uint8_t> RwWriter::Take() {
  assert(open_.empty() && "Take with sections still open");
  return std::move(bytes_);
}

}  // namespace zam::gen
