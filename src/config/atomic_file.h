#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vextune {

/// Replaces the content of `path` with `bytes` so that the file holds either
/// its old content or the complete new one, never a mixture: the bytes go to
/// a new file in the same folder, which is synced and then renamed over the
/// target. A symbolic link is followed, so the file it finally names is
/// replaced and the link stays; a link to nothing or a loop of links is
/// refused. So is anything but a regular file (a folder, a named pipe, a
/// device) and a file the user may not write. An existing file keeps its
/// permission bits and, where the user may give it away (root), its owner
/// and group. On failure nothing is left behind and `*error` (may be null)
/// says why, naming `path`.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error);

/// Whether WriteFileAtomically could write `size` bytes to `path` now: the
/// same refusals, and a file of `size` bytes fits into the folder (one is
/// written, synced and removed again). For work whose result would be lost
/// if it could not be saved afterwards. On failure `*error` (may be null)
/// says why, naming `path`.
bool CheckFileWritable(const std::filesystem::path& path, size_t size, std::string* error);

}  // namespace vextune
