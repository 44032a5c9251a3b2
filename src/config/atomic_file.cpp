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

bool Refuse(std::string* error, const fs::path& path, const std::string& why) {
  if (error != nullptr) *error = "Cannot write " + path.string() + ": " + why + ".";
  return false;
}

bool Fail(std::string* error, const fs::path& path, const char* what, int err) {
  return Refuse(error, path, std::string(what) + ": " + std::strerror(err));
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

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "a special file";
}

// The file that `path` names: a symbolic link is followed to the file it
// finally points to, which is what gets replaced; the link stays. A link
// that leads nowhere is refused rather than replaced by a file.
bool ResolveTarget(const fs::path& path, fs::path* target, std::string* error) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
    *target = path;
    return true;
  }
  std::error_code ec;
  *target = fs::canonical(path, ec);
  if (!ec) return true;
  if (ec == std::errc::too_many_symbolic_link_levels) {
    return Refuse(error, path, "its symbolic links form a loop");
  }
  if (ec == std::errc::no_such_file_or_directory) {
    std::error_code ignored;
    const fs::path to = fs::read_symlink(path, ignored);
    return Refuse(error, path,
                  "it is a symbolic link to " + to.string() + ", which does not exist");
  }
  return Fail(error, path, "cannot follow its symbolic link", ec.value());
}

// What may be replaced: nothing yet, or a regular file the user may write
// (the same test as an editor's, so a read-only file stays read-only even in
// a folder where anyone may create files).
bool CheckReplaceable(const fs::path& path, const fs::path& target, struct stat* old, bool* exists,
                      std::string* error) {
  if (path.empty()) {
    if (error != nullptr) *error = "Cannot write a file without a name.";
    return false;
  }
  *exists = ::stat(target.c_str(), old) == 0;
  if (!*exists) {
    if (errno != ENOENT) return Fail(error, path, "cannot examine it", errno);
    if (!target.has_filename()) return Refuse(error, path, "it names no file");
    return true;
  }
  if (!S_ISREG(old->st_mode)) {
    return Refuse(error, path,
                  std::string("it is ") + KindOf(old->st_mode) + ", not a regular file");
  }
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return Fail(error, path, "it is not writable for you", errno);
  }
  return true;
}

// The new file takes the old one's owner (which only root may give away;
// anyone may keep the group if they belong to it) and then its permission
// bits, in this order because a change of owner clears set-id bits.
bool KeepOwnerAndMode(int fd, const struct stat& old, const char** what) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) {
    *what = "cannot examine the new file";
    return false;
  }
  if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
      if (::geteuid() == 0) {
        *what = "cannot keep its owner";
        return false;
      }
      (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
  }
  if (::fchmod(fd, old.st_mode & 07777) != 0) {
    *what = "cannot keep its permissions";
    return false;
  }
  return true;
}

fs::path FolderOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// A hidden sibling of `target` with a random suffix, created exclusively.
// The open file, or -1 with the error reported.
int CreateSibling(const fs::path& path, const fs::path& target, fs::path* temp,
                  std::string* error) {
  const fs::path folder = FolderOf(target);
  std::random_device entropy;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    *temp = folder / ("." + target.filename().string() + ".tmp-" + std::to_string(entropy()));
    fd = ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd >= 0) return fd;
  const int err = errno;
  std::error_code ec;
  if (err == ENOENT && !fs::is_directory(folder, ec)) {
    Refuse(error, path, "there is no folder " + fs::absolute(folder, ec).string());
  } else {
    Fail(error, path, "cannot create a file in its folder", err);
  }
  return -1;
}

}  // namespace

bool CheckFileWritable(const fs::path& path, size_t size, std::string* error) {
  fs::path target;
  if (!ResolveTarget(path, &target, error)) return false;
  struct stat old {};
  bool exists = false;
  if (!CheckReplaceable(path, target, &old, &exists, error)) return false;
  fs::path temp;
  const int fd = CreateSibling(path, target, &temp, error);
  if (fd < 0) return false;
  // Real bytes, so that a full disk shows now and not only after the work.
  const bool written = WriteAll(fd, std::string(size, '\0')) && ::fsync(fd) == 0;
  const int err = errno;
  const bool closed = ::close(fd) == 0;
  const int closeErr = errno;
  ::unlink(temp.c_str());
  if (!written) return Fail(error, path, "there is no room for it", err);
  if (!closed) return Fail(error, path, "there is no room for it", closeErr);
  return true;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
  fs::path target;
  if (!ResolveTarget(path, &target, error)) return false;
  struct stat old {};
  bool exists = false;
  if (!CheckReplaceable(path, target, &old, &exists, error)) return false;
  const fs::path folder = FolderOf(target);
  fs::path temp;
  const int fd = CreateSibling(path, target, &temp, error);
  if (fd < 0) return false;

  auto abandon = [&](const char* what) {
    const int err = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail(error, path, what, err);
  };

  const char* what = nullptr;
  if (exists && !KeepOwnerAndMode(fd, old, &what)) return abandon(what);
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
