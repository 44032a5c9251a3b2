#pragma once

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace vextune::testing {

/// A fresh, empty folder of the test's own under the system's temporary
/// folder, removed with everything in it when the object goes. Built on
/// std::filesystem alone, so that the Windows build has it too.
class TempDir {
 public:
  /// The folder is named `<prefix>-<random hex>`; throws std::runtime_error
  /// when no folder can be made (a full or read-only disk).
  explicit TempDir(std::string_view prefix = "vextune") {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::error_code ec;
    // create_directory makes the folder or fails, atomically: a name another
    // process took first is passed over, also where random_device repeats.
    for (int attempt = 0; attempt < 100; ++attempt) {
      char name[17];
      std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(random()));
      fs::path candidate = base / (std::string(prefix) + "-" + name);
      if (fs::create_directory(candidate, ec)) {
        path_ = std::move(candidate);
        return;
      }
      if (ec) break;
    }
    throw std::runtime_error("cannot make a temporary folder in " + base.string() +
                             (ec ? ": " + ec.message() : std::string()));
  }
  ~TempDir() {
    std::error_code ec;  // a folder the test left busy is not a failure of the next one
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The path of `name` inside the folder, as a string.
  std::string Path(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace vextune::testing
