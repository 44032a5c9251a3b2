#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/operation.h"
#include "recording_progress.h"
#include "update/packed_time.h"

namespace vextune::testing {

/// Newer than every flash time stamp the tests give the device by default.
inline constexpr PackedTime kNewFile = PackTime(2024, 5, 1, 12, 0, 0);

/// An image of `size` bytes with time stamp `stamp` (when it has room for one)
/// and every byte value, ESC and XON/XOFF included, in it.
inline std::string MakeImage(size_t size, PackedTime stamp = kNewFile) {
  std::string image(size, '\0');
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<char>((i * 37 + 11) & 0xFF);
  for (size_t i = 0; i < 4 && 12 + i < size; ++i) {
    image[12 + i] = static_cast<char>(stamp >> (8 * i));
  }
  return image;
}

/// The image as the flash holds it: padded with zeros to whole sectors.
inline std::string Padded(const std::string& image, size_t sector) {
  std::string padded = image;
  padded.resize((image.size() + sector - 1) / sector * sector, '\0');
  return padded;
}

/// Answers questions with `answer` and keeps every message and question.
class RecordingPrompt final : public UserPrompt {
 public:
  void ShowMessage(const std::string&, const std::string& text, MessageIcon icon) override {
    messages.push_back(text);
    icons.push_back(icon);
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    return Ask(caption, text, false);
  }
  bool AskYesNoDefaultNo(const std::string& caption, const std::string& text) override {
    return Ask(caption, text, true);
  }
  bool answer = true;
  /// Called while a question is open (the user presses Ctrl-C there).
  std::function<void()> onAsk;
  std::vector<std::string> messages;
  std::vector<MessageIcon> icons;
  std::vector<std::string> questions;
  /// Per question: asked with No as the default answer.
  std::vector<bool> defaultNo;

 private:
  bool Ask(const std::string&, const std::string& text, bool noByDefault) {
    questions.push_back(text);
    defaultNo.push_back(noByDefault);
    if (onAsk) onAsk();
    return answer;
  }
};

}  // namespace vextune::testing
