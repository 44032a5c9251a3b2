#include "config/config_archive.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace vextune {

void ArchiveWriter::WriteByte(uint8_t byte) {
  out_.put(static_cast<char>(byte));
}

void ArchiveWriter::WriteLong(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) WriteByte(static_cast<uint8_t>(u >> shift));
}

void ArchiveWriter::WriteString(std::string_view text) {
  const size_t n = text.size();
  if (n > kMaxArchiveString) {
    out_.setstate(std::ios::failbit);
    return;
  }
  if (n < 0xFF) {
    WriteByte(static_cast<uint8_t>(n));
  } else if (n <= 0xFFFD) {
    WriteByte(0xFF);
    WriteByte(static_cast<uint8_t>(n));
    WriteByte(static_cast<uint8_t>(n >> 8));
  } else {
    WriteByte(0xFF);
    WriteByte(0xFF);
    WriteByte(0xFF);
    WriteLong(static_cast<int32_t>(static_cast<uint32_t>(n)));
  }
  out_.write(text.data(), static_cast<std::streamsize>(n));
}

bool ArchiveWriter::Good() const {
  return out_.good();
}

std::string ArchiveReader::Peek(size_t count) {
  if (pending_.size() < count && status_ == Status::Ok) {
    std::string more;
    const Status before = status_;
    ReadBytes(more, count - pending_.size());
    status_ = before;  // a short peek is not yet a failure
    pending_ += more;
  }
  return pending_.substr(0, std::min(count, pending_.size()));
}

bool ArchiveReader::AtEnd() {
  if (!Peek(1).empty()) return false;
  if (in_.bad()) {
    status_ = Status::ReadError;
    return false;
  }
  return true;
}

bool ArchiveReader::ReadBytes(std::string& out, uint64_t count, bool keep) {
  // Peeked bytes first.
  const size_t fromPending = static_cast<size_t>(std::min<uint64_t>(count, pending_.size()));
  if (keep) out.append(pending_, 0, fromPending);
  pending_.erase(0, fromPending);
  count -= fromPending;

  // Then in bounded chunks, so a huge length prefix costs only what is there.
  constexpr uint64_t kChunk = 64 * 1024;
  std::string chunk;
  while (count > 0) {
    const auto want = static_cast<size_t>(std::min(count, kChunk));
    chunk.resize(want);
    in_.read(chunk.data(), static_cast<std::streamsize>(want));
    const auto got = static_cast<size_t>(in_.gcount());
    if (keep) out.append(chunk, 0, got);
    count -= got;
    if (got < want) {
      status_ = in_.bad() ? Status::ReadError : Status::EndOfFile;
      return false;
    }
  }
  return true;
}

bool ArchiveReader::ReadByte(uint8_t& byte) {
  std::string b;
  if (!ReadBytes(b, 1)) return false;
  byte = static_cast<uint8_t>(b[0]);
  return true;
}

bool ArchiveReader::ReadLong(int32_t& value) {
  std::string b;
  if (!ReadBytes(b, 4)) return false;
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<uint8_t>(b[static_cast<size_t>(i)]);
  value = static_cast<int32_t>(u);
  return true;
}

bool ArchiveReader::ReadLength(uint64_t& length) {
  uint8_t first = 0;
  if (!ReadByte(first)) return false;
  if (first < 0xFF) {
    length = first;
    return true;
  }
  std::string b;
  if (!ReadBytes(b, 2)) return false;
  const uint32_t word = static_cast<uint8_t>(b[0]) | (static_cast<uint8_t>(b[1]) << 8);
  if (word != 0xFFFF) {
    length = word;
    return true;
  }
  int32_t longLength = 0;
  if (!ReadLong(longLength)) return false;
  length = static_cast<uint32_t>(longLength);
  if (length > kMaxArchiveString) {
    status_ = Status::TooLong;
    return false;
  }
  return true;
}

bool ArchiveReader::ReadString(std::string& text) {
  text.clear();
  uint64_t length = 0;
  return ReadLength(length) && ReadBytes(text, length);
}

bool ArchiveReader::SkipString() {
  std::string unused;
  uint64_t length = 0;
  return ReadLength(length) && ReadBytes(unused, length, false);
}

}  // namespace vextune
