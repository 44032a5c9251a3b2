#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vextune {

/// Replaces the content of `path` with `bytes` so that the file holds either
/// its old content or the complete new one, never a mixture: the bytes go to
/// a new file in the same folder, which is synced and then renamed over the
/// target. A symbolic link is followed, so the file it names is replaced. An
/// existing file keeps its permission bits. On failure nothing is left behind
/// and `*error` (may be null) says why.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error);

}  // namespace vextune
