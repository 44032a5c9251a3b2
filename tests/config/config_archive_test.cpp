#include "config/config_archive.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>

#include "config/config_file.h"
#include "config_file_layout.h"

// GCC cannot see that the replaced operator new below allocates with malloc.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// The largest single allocation since the probe was last reset, to show that
// a length prefix alone never makes the reader allocate.
namespace {
std::atomic<size_t> largestAllocation{0};
}

void* operator new(size_t size) {
  size_t seen = largestAllocation.load();
  while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) {
  return operator new(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
  std::free(p);
}

namespace vextune {
namespace {

TEST(ArchiveString, LengthPrefixChangesFormAt255And65534) {
  for (size_t length : {0u, 1u, 254u, 255u, 256u, 65533u, 65534u, 70000u}) {
    const std::string text(length, 'x');
    std::ostringstream out;
    ArchiveWriter writer(out);
    writer.WriteString(text);
    const std::string bytes = out.str();
    EXPECT_EQ(bytes, testing::EncodeString(text)) << length;
    const size_t prefix = length < 255 ? 1 : length <= 65533 ? 3 : 7;
    EXPECT_EQ(bytes.size(), prefix + length) << length;

    std::istringstream in(bytes + "tail");
    ArchiveReader reader(in);
    std::string back;
    ASSERT_TRUE(reader.ReadString(back)) << length;
    EXPECT_EQ(back, text);
    EXPECT_EQ(reader.Peek(4), "tail");
  }
}

TEST(ArchiveString, HugeLengthPrefixesFailAsEndOfFileWithoutAllocating) {
  const std::string prefixes[] = {
      std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7),  // 4 GiB - 1
      std::string("\xFF\xFF\xFF\x00\x00\x00\x80", 7),  // 2 GiB
      std::string("\xFF\xFE\xFF", 3),                  // 65534 in the 2-byte form
  };
  for (const std::string& prefix : prefixes) {
    std::istringstream in(prefix + std::string(100, 'a'));
    ArchiveReader reader(in);
    std::string text;
    largestAllocation = 0;
    EXPECT_FALSE(reader.ReadString(text));
    EXPECT_LT(largestAllocation.load(), 1u << 20);
    EXPECT_EQ(reader.status(), ArchiveReader::Status::EndOfFile);
  }

  // Inside a file: the callsign claims 4 GiB.
  std::string file = testing::BuildConfigFile(kConfigFormatVersion, CConfigData{});
  file.replace(11, 7, prefixes[0] + "DAVOZI");
  CConfigData d;
  std::istringstream in(file);
  largestAllocation = 0;
  const ConfigReadResult r = ReadConfigFile(d, in);
  EXPECT_LT(largestAllocation.load(), 1u << 20);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Unexpected end of file in the configuration file.");
}

// Hands out `good` bytes, then fails like a disk that cannot be read.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string good) : good_(std::move(good)) {
    setg(good_.data(), good_.data(), good_.data() + good_.size());
  }

 protected:
  int_type underflow() override { throw std::ios_base::failure("read error"); }

 private:
  std::string good_;
};

TEST(ConfigFileRead, ReadErrorsAreReportedApartFromEndOfFile) {
  const std::string file = testing::BuildConfigFile(kConfigFormatVersion, CConfigData{});
  FailingBuffer buffer(file.substr(0, 40));
  std::istream in(&buffer);
  CConfigData d;
  const ConfigReadResult r = ReadConfigFile(d, in, "x.vxg");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Cannot read x.vxg.");
}

}  // namespace
}  // namespace vextune
