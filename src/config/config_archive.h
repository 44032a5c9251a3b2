#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace vextune {

/// Longest string of a configuration file, in bytes. No text of the format
/// comes near it; a longer length prefix is refused whatever the input is (a
/// pipe or a terminal has no size to check it against).
inline constexpr uint64_t kMaxArchiveString = 64 * 1024;

/// The primitive encodings of configuration files: 1-byte flags, 4-byte
/// little-endian longs and length-prefixed 8-bit strings.
class ArchiveWriter {
 public:
  explicit ArchiveWriter(std::ostream& out) : out_(out) {}
  void WriteByte(uint8_t byte);
  void WriteLong(int32_t value);
  /// Length below 255: one byte; up to 65533: FF and 2 bytes; longer: FF FF
  /// FF and 4 bytes; then the text without terminator. A text longer than
  /// kMaxArchiveString, which no reader would take, fails the stream instead.
  void WriteString(std::string_view text);
  bool Good() const;

 private:
  std::ostream& out_;
};

/// Reads the primitives back. Never allocates more than kMaxArchiveString
/// for a string, whatever a length prefix claims.
class ArchiveReader {
 public:
  /// TooLong: a length prefix above kMaxArchiveString.
  enum class Status { Ok, EndOfFile, ReadError, TooLong };

  explicit ArchiveReader(std::istream& in) : in_(in) {}
  /// Up to `count` next bytes, left in place for the following reads.
  std::string Peek(size_t count);
  bool ReadByte(uint8_t& byte);
  bool ReadLong(int32_t& value);
  bool ReadString(std::string& text);
  /// Skips a string without keeping it.
  bool SkipString();
  /// True when no byte is left. False with status ReadError when the stream
  /// failed instead.
  bool AtEnd();
  /// Why the last failed read failed.
  Status status() const { return status_; }

 private:
  /// Appends up to `count` bytes to `out`; false (status set) when fewer came.
  bool ReadBytes(std::string& out, uint64_t count, bool keep = true);
  bool ReadLength(uint64_t& length);

  std::istream& in_;
  std::string pending_;  // bytes peeked but not yet consumed
  Status status_ = Status::Ok;
};

}  // namespace vextune
