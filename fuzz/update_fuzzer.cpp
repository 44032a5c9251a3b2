// The firmware update in BIOS mode (the prompt, the flash identity, the
// handshakes and the block acknowledgements) against a simulated boot loader
// whose replies the input reshapes, and the flash chip table on two input
// bytes. Whatever arrives: the port ends closed, every outcome is told, and a
// completed update has sent exactly the image, block by block; with an
// untouched device the device holds the image.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "update/firmware_update.h"
#include "update/flash_chip.h"
#include "update/packed_time.h"
#include "update/update_file.h"

namespace {

using namespace vextune;
using fuzzing::Expect;

class ScriptedPrompt final : public UserPrompt {
 public:
  explicit ScriptedPrompt(bool answer) : answer_(answer) {}
  void ShowMessage(const std::string&, const std::string& text, MessageIcon icon) override {
    last = text;
    lastIcon = icon;
    ++messages;
  }
  bool AskYesNo(const std::string&, const std::string&) override { return answer_; }
  std::string last;
  MessageIcon lastIcon = MessageIcon::Information;
  int messages = 0;

 private:
  bool answer_;
};

void CheckChipTable(uint8_t manufacturer, uint8_t device, uint64_t fileSize) {
  FlashChipRecord chip;
  const int code = IdentifyFlashChip(manufacturer, device, chip);
  Expect(code == kFlashUpdatable || code == kFlashUnknown || code == kFlashTooSmall ||
             code == kFlashUnsupported,
         "unknown chip table code");
  if (code != kFlashUpdatable) return;
  Expect(chip.sectorSize > 0 && chip.chipSize > kFlashReservedBytes + chip.sectorSize,
         "an updatable chip without room for an image");
  const ImageLimitsResult limits = ImageLimits(chip, fileSize);
  Expect(limits.maxImageSize == chip.chipSize - kFlashReservedBytes - chip.sectorSize,
         "image limit");
  Expect(limits.blockCount == (fileSize + chip.sectorSize - 1) / chip.sectorSize, "block count");
  Expect(limits.tooLarge == (fileSize > limits.maxImageSize), "too-large flag");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzing::InputCursor input(data, size);
  const uint8_t manufacturer = input.Byte();
  const uint8_t chipDevice = input.Byte();
  // An image of 1 to about 1 KiB, its time stamp newer or older than the flash's.
  const size_t imageSize = 1 + input.Byte() * 4u + input.Byte() % 4;
  const bool newer = input.Byte() % 2 == 0;
  const bool answerYes = input.Byte() % 2 == 0;
  CheckChipTable(manufacturer, chipDevice, imageSize);

  std::string image(imageSize, '\0');
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + 3);
  const PackedTime stamp = newer ? PackTime(2024, 5, 1, 12, 0, 0) : PackTime(2001, 1, 1, 0, 0, 0);
  if (image.size() >= kMinUpdateFileSize) {
    for (int i = 0; i < 4; ++i)
      image[kUpdateTimestampOffset + i] = static_cast<char>(stamp >> 8 * i);
  }
  std::istringstream stream(image);
  StreamUpdateSource file(stream);

  sim::SimulatorOptions options;
  options.bios = true;
  options.baud = input.Byte() % 2 == 0 ? 38400 : 115200;
  fuzzing::FuzzedLine fuzzed(options, input);
  CancelFlag cancel;
  NoProgress progress;
  ScriptedPrompt prompt(answerYes);
  UpdateRunInfo info;
  const UpdateOutcome outcome =
      RunFirmwareUpdate(fuzzed.link, file, cancel, progress, prompt, &info);

  Expect(fuzzed.ports.openCount() == 0, "port left open");
  Expect(outcome != UpdateOutcome::Cancelled, "cancelled without a cancel");
  if (outcome == UpdateOutcome::Failed) {
    Expect(prompt.lastIcon == MessageIcon::Error, "a failure not told as an error");
  }
  if (outcome == UpdateOutcome::Completed) {
    Expect(prompt.last == update_message::kComplete, "completion not told");
    FlashChipRecord chip;
    Expect(IdentifyFlashChip(info.manufacturerId, info.deviceId, chip) == kFlashUpdatable,
           "completed on a chip that cannot be updated");
    const uint64_t sector = info.chip.sectorSize;
    Expect(info.blocksSent == info.limits.blockCount &&
               info.limits.blockCount == (image.size() + sector - 1) / sector,
           "completed without every block");
    // The last writes are the blocks, each a whole sector; before them the count.
    const auto writes = fuzzed.ports.Writes();
    Expect(writes.size() > info.blocksSent, "fewer writes than blocks");
    std::string sent;
    for (size_t i = writes.size() - info.blocksSent; i < writes.size(); ++i) {
      Expect(writes[i].size() == sector, "a block write of another size than the sector");
      sent += writes[i];
    }
    std::string padded = image;
    padded.resize(info.blocksSent * sector, '\0');
    Expect(sent == padded, "the blocks sent are not the image");
    const std::string& count = writes[writes.size() - info.blocksSent - 1];
    Expect(count.size() == 2 &&
               static_cast<uint8_t>(count[0]) * 256u + static_cast<uint8_t>(count[1]) ==
                   info.blocksSent,
           "the block count sent is not the number of blocks");
  }
  if (!fuzzed.device.altered() && image.size() >= kMinUpdateFileSize && (newer || answerYes)) {
    Expect(outcome == UpdateOutcome::Completed, "an untouched device is not updated");
    std::string flashed(fuzzed.device.core().Bios().Image().begin(),
                        fuzzed.device.core().Bios().Image().end());
    flashed.resize(std::min(flashed.size(), image.size()));
    Expect(flashed == image, "the device holds another image than the file");
  }
  return 0;
}
