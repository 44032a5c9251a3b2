#pragma once

#include <functional>
#include <vector>

#include "common/operation.h"

namespace vextune::testing {

/// Keeps every reported position; `onProgress` lets a test act at a step
/// (press Cancel, make the line fail).
class RecordingProgress final : public ProgressListener {
 public:
  void SetProgress(int position) override {
    positions.push_back(position);
    if (onProgress) onProgress(position);
  }
  std::vector<int> positions;
  std::function<void(int)> onProgress;
};

}  // namespace vextune::testing
