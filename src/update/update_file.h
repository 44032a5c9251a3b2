#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/packed_time.h"

namespace vextune {

/// An update file (".amb") as the update reads it: its size, the time stamp at
/// a fixed offset, then the image from the start. The whole file is the image.
class UpdateSource {
 public:
  virtual ~UpdateSource() = default;
  /// The length in bytes; nothing when it cannot be found out.
  virtual std::optional<uint64_t> Size() = 0;
  /// Moves the next Read to byte `offset`; false on failure.
  virtual bool Seek(uint64_t offset) = 0;
  /// Reads up to `n` bytes at the current position: the count read (0 at the
  /// end of the file), or nothing on a read error.
  virtual std::optional<size_t> Read(uint8_t* buffer, size_t n) = 0;
};

/// An UpdateSource over a binary std::istream it does not own.
class StreamUpdateSource final : public UpdateSource {
 public:
  explicit StreamUpdateSource(std::istream& stream) : stream_(stream) {}
  std::optional<uint64_t> Size() override;
  bool Seek(uint64_t offset) override;
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override;

 private:
  std::istream& stream_;
};

/// Opens `path` for binary reading. Null with `*error` set (the system's
/// reason) when it cannot be opened or is not a regular file.
std::unique_ptr<UpdateSource> OpenUpdateFile(const std::string& path, std::string* error);

/// Where the time stamp lies: bytes 12 to 15, least significant first.
inline constexpr uint64_t kUpdateTimestampOffset = 12;
/// A file must reach past its time stamp.
inline constexpr uint64_t kMinUpdateFileSize = kUpdateTimestampOffset + 4;

struct UpdateFileInfo {
  PackedTime timestamp = 0;
  uint64_t size = 0;  ///< bytes
};

struct UpdateFileCheck {
  std::optional<UpdateFileInfo> info;  ///< set when the file can be sent
  std::string error;                   ///< the user's message otherwise
};

inline constexpr const char* kUpdateFileEmpty = "ERROR: Update file is empty!";
inline constexpr const char* kUpdateFileTooShort =
    "ERROR: Update file too short!\nIt has no time stamp.";
inline constexpr const char* kUpdateFileReadError = "ERROR reading update file!";

/// Reads the size and the time stamp and refuses a file that cannot be sent:
/// empty (no image), shorter than 16 bytes (no time stamp), or unreadable.
UpdateFileCheck CheckUpdateFile(UpdateSource& file);

/// Reads the whole image, `size` bytes from the start, into `*image`, so that
/// what goes out cannot change while it is sent. False (kUpdateFileReadError)
/// when the file cannot be read or no longer holds exactly `size` bytes.
bool ReadUpdateImage(UpdateSource& file, uint64_t size, std::vector<uint8_t>* image);

/// Why an image does not look like a DAV-OZI update image: its time stamp is
/// no plausible date, it is a configuration file, or it holds only text (no
/// firmware does). Empty when it looks like one.
std::string ImageDoubt(const std::vector<uint8_t>& image);

/// "FILE does not look like a DAV-OZI update image", then the reason on a
/// line of its own.
std::string NotAnUpdateImageMessage(std::string_view file, std::string_view reason);

/// The time stamp at bytes 12 to 15 of an image of at least 16 bytes.
PackedTime ImageTimestamp(const std::vector<uint8_t>& image);

}  // namespace vextune
