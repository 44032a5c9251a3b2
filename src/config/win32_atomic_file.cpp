#include <windows.h>

#include <random>

#include "common/system_error_text.h"
#include "config/atomic_file.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

std::string Shown(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool Refuse(std::string* error, const fs::path& path, const std::string& why) {
  if (error != nullptr) *error = "Cannot write " + Shown(path) + ": " + why + ".";
  return false;
}

bool Fail(std::string* error, const fs::path& path, const char* what, DWORD err) {
  return Refuse(error, path, std::string(what) + ": " + SystemErrorText(err));
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// A symbolic link is followed to the file it finally names, which is what
// gets replaced; a link that leads nowhere is refused.
bool ResolveTarget(const fs::path& path, fs::path* target, std::string* error) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) {
    *target = path;
    return true;
  }
  *target = fs::canonical(path, ec);
  if (!ec) return true;
  return Refuse(error, path, "its symbolic link leads to no file");
}

// Nothing yet, or a regular file that is not read-only.
bool CheckReplaceable(const fs::path& path, const fs::path& target, bool* exists,
                      std::string* error) {
  if (path.empty()) {
    if (error != nullptr) *error = "Cannot write a file without a name.";
    return false;
  }
  const DWORD attributes = GetFileAttributesW(target.c_str());
  *exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!*exists) {
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND) {
      return Fail(error, path, "cannot examine it", err);
    }
    if (!target.has_filename()) return Refuse(error, path, "it names no file");
    return true;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return Refuse(error, path, "it is a folder, not a regular file");
  }
  if (attributes & FILE_ATTRIBUTE_DEVICE) {
    return Refuse(error, path, "it is a device, not a regular file");
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    return Refuse(error, path, "it is read-only");
  }
  return true;
}

fs::path FolderOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// A sibling of `target` with a random suffix, created exclusively.
HANDLE CreateSibling(const fs::path& path, const fs::path& target, fs::path* temp,
                     std::string* error) {
  const fs::path folder = FolderOf(target);
  std::random_device entropy;
  HANDLE file = INVALID_HANDLE_VALUE;
  DWORD err = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
    *temp = folder / (target.filename().wstring() + L".tmp-" + std::to_wstring(entropy()));
    file = CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    err = GetLastError();
    if (file == INVALID_HANDLE_VALUE && err != ERROR_FILE_EXISTS) break;
  }
  if (file != INVALID_HANDLE_VALUE) return file;
  std::error_code ec;
  if (err == ERROR_PATH_NOT_FOUND && !fs::is_directory(folder, ec)) {
    Refuse(error, path, "there is no folder " + Shown(fs::absolute(folder, ec)));
  } else {
    Fail(error, path, "cannot create a file in its folder", err);
  }
  return INVALID_HANDLE_VALUE;
}

// The file that will replace `path`: created beside its final target once
// the target may be replaced.
struct Replacement {
  fs::path target;
  bool exists = false;
  fs::path temp;
  HANDLE file = INVALID_HANDLE_VALUE;
};

bool StartReplacement(const fs::path& path, Replacement* replacement, std::string* error) {
  if (!ResolveTarget(path, &replacement->target, error)) return false;
  if (!CheckReplaceable(path, replacement->target, &replacement->exists, error)) return false;
  replacement->file = CreateSibling(path, replacement->target, &replacement->temp, error);
  return replacement->file != INVALID_HANDLE_VALUE;
}

}  // namespace

bool CheckFileWritable(const fs::path& path, size_t size, std::string* error) {
  Replacement probe;
  if (!StartReplacement(path, &probe, error)) return false;
  // Real bytes, so that a full disk shows now and not only after the work.
  const bool written =
      WriteAll(probe.file, std::string(size, '\0')) && FlushFileBuffers(probe.file);
  const DWORD err = GetLastError();
  CloseHandle(probe.file);
  DeleteFileW(probe.temp.c_str());
  if (!written) return Fail(error, path, "there is no room for it", err);
  return true;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
  Replacement replacement;
  if (!StartReplacement(path, &replacement, error)) return false;
  const fs::path& target = replacement.target;
  const fs::path& temp = replacement.temp;
  const HANDLE file = replacement.file;

  auto abandon = [&](const char* what, DWORD err) {
    DeleteFileW(temp.c_str());
    return Fail(error, path, what, err);
  };
  if (!WriteAll(file, bytes) || !FlushFileBuffers(file)) {
    const DWORD err = GetLastError();
    CloseHandle(file);
    return abandon("writing failed", err);
  }
  if (!CloseHandle(file)) return abandon("closing failed", GetLastError());
  // The new file was hidden while it was incomplete; the replaced one keeps
  // its own attributes through ReplaceFileW.
  SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (replacement.exists) {
    // ReplaceFileW keeps the old file's attributes, security and creation time.
    if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      return true;
    }
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return abandon("cannot replace it", GetLastError());
  }
  return true;
}

}  // namespace vextune
