#include "config/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace vextune {
namespace {

namespace fs = std::filesystem;

bool Fail(std::string* error, const fs::path& path, const char* what, int err) {
  if (error != nullptr) {
    *error = "Cannot write " + path.string() + ": " + what + ": " + std::strerror(err) + ".";
  }
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The folder entry of the rename reaches the disk only with the folder synced.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

fs::path ResolveTarget(const fs::path& path) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path resolved = fs::canonical(path, ec);
    if (!ec) return resolved;
  }
  return path;
}

}  // namespace

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
  const fs::path target = ResolveTarget(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

  // A hidden sibling with a random suffix, created exclusively.
  std::random_device entropy;
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = folder / ("." + target.filename().string() + ".tmp-" + std::to_string(entropy()));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Fail(error, path, "cannot create a file in its folder", errno);

  auto abandon = [&](const char* what) {
    const int err = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail(error, path, what, err);
  };

  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) return abandon("cannot keep its permissions");
  }
  if (!WriteAll(fd, bytes)) return abandon("writing failed");
  if (::fsync(fd) != 0) return abandon("syncing failed");
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Fail(error, path, "closing failed", err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Fail(error, path, "cannot replace it", err);
  }
  SyncFolder(folder);
  return true;
}

}  // namespace vextune
