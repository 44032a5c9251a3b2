#include "update/update_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <istream>
#include <iterator>

namespace vextune {

namespace {

// Owns the stream that StreamUpdateSource reads.
class FileUpdateSource final : public UpdateSource {
 public:
  explicit FileUpdateSource(std::unique_ptr<std::ifstream> file)
      : file_(std::move(file)), source_(*file_) {}
  std::optional<uint64_t> Size() override { return source_.Size(); }
  bool Seek(uint64_t offset) override { return source_.Seek(offset); }
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override { return source_.Read(buffer, n); }

 private:
  std::unique_ptr<std::ifstream> file_;
  StreamUpdateSource source_;
};

}  // namespace

std::optional<uint64_t> StreamUpdateSource::Size() {
  stream_.clear();
  const std::streampos here = stream_.tellg();
  stream_.seekg(0, std::ios::end);
  const std::streampos end = stream_.tellg();
  stream_.seekg(here);
  if (!stream_ || here < 0 || end < 0) return std::nullopt;
  return static_cast<uint64_t>(static_cast<std::streamoff>(end));
}

bool StreamUpdateSource::Seek(uint64_t offset) {
  stream_.clear();
  stream_.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
  return static_cast<bool>(stream_);
}

std::optional<size_t> StreamUpdateSource::Read(uint8_t* buffer, size_t n) {
  stream_.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(n));
  const auto count = static_cast<size_t>(stream_.gcount());
  // Hitting the end sets eof and fail together; fail alone or bad is an error.
  if (stream_.bad() || (stream_.fail() && !stream_.eof())) return std::nullopt;
  stream_.clear();
  return count;
}

std::unique_ptr<UpdateSource> OpenUpdateFile(const std::string& path, std::string* error) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    if (error) *error = std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    if (error) *error = "not a regular file";
    return nullptr;
  }
  auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!file->is_open()) {
    if (error) *error = std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<FileUpdateSource>(std::move(file));
}

UpdateFileCheck CheckUpdateFile(UpdateSource& file) {
  UpdateFileCheck check;
  const std::optional<uint64_t> size = file.Size();
  if (!size) {
    check.error = kUpdateFileReadError;
    return check;
  }
  if (*size == 0) {
    check.error = kUpdateFileEmpty;
    return check;
  }
  if (*size < kMinUpdateFileSize) {
    check.error = kUpdateFileTooShort;
    return check;
  }
  uint8_t stamp[4] = {};
  std::optional<size_t> got;
  if (file.Seek(kUpdateTimestampOffset)) got = file.Read(stamp, sizeof stamp);
  if (!got || *got != sizeof stamp) {
    check.error = kUpdateFileReadError;
    return check;
  }
  check.info = UpdateFileInfo{
      static_cast<PackedTime>(stamp[0]) | static_cast<PackedTime>(stamp[1]) << 8 |
          static_cast<PackedTime>(stamp[2]) << 16 | static_cast<PackedTime>(stamp[3]) << 24,
      *size};
  return check;
}

bool ReadUpdateImage(UpdateSource& file, uint64_t size, std::vector<uint8_t>* image) {
  image->assign(static_cast<size_t>(size), 0);
  if (!file.Seek(0)) return false;
  size_t got = 0;
  while (got < image->size()) {
    const std::optional<size_t> n = file.Read(image->data() + got, image->size() - got);
    if (!n) return false;
    if (*n == 0) return false;  // shorter than its size said: cut while it was read
    got += *n;
  }
  uint8_t beyond = 0;
  const std::optional<size_t> more = file.Read(&beyond, 1);
  return more && *more == 0;  // longer: it grew while it was read
}

PackedTime ImageTimestamp(const std::vector<uint8_t>& image) {
  PackedTime stamp = 0;
  for (size_t i = 0; i < 4 && kUpdateTimestampOffset + i < image.size(); ++i) {
    stamp |= static_cast<PackedTime>(image[kUpdateTimestampOffset + i]) << (8 * i);
  }
  return stamp;
}

std::string ImageDoubt(const std::vector<uint8_t>& image) {
  // A configuration file starts with its marker string "VER ".
  static constexpr uint8_t kConfigMarker[] = {'V', 'E', 'R', ' '};
  if (image.size() >= 5 &&
      std::equal(std::begin(kConfigMarker), std::end(kConfigMarker), image.begin() + 1)) {
    return "It is a configuration file, not firmware.";
  }
  // Firmware is machine code and data: it always holds control bytes that no
  // text (ASCII, UTF-8 or an 8-bit code page) uses.
  const bool textOnly = std::all_of(image.begin(), image.end(), [](uint8_t byte) {
    return byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r';
  });
  if (textOnly) return "It holds only text, as no firmware does.";
  const PackedTime stamp = ImageTimestamp(image);
  if (!IsPlausibleFileTimestamp(stamp)) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(stamp));
    return std::string("Its time stamp (bytes 12 to 15: ") + hex + ") is no plausible date.";
  }
  return "";
}

std::string NotAnUpdateImageMessage(std::string_view file, std::string_view reason) {
  return std::string(file) + " does not look like a DAV-OZI update image\n" + std::string(reason);
}

}  // namespace vextune
