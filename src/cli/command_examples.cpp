#include "cli/command_examples.h"

#include <CLI/CLI.hpp>
#include <map>

namespace vextune::cli {
namespace {

using Examples = std::map<std::string, std::vector<CommandExample>>;

const Examples& AllExamples() {
  static const Examples examples = {
      {"show",
       {{"vextune-cli show my.vxg --long", "every parameter with its unit or what its value means"},
        {"vextune-cli show - --json < old.vxn", "a file from standard input, as JSON"}}},
      {"defaults",
       {{"vextune-cli defaults my.vxg", "a new file with the default configuration"},
        {"vextune-cli defaults - | vextune-cli show -", "the defaults, without a file"}}},
      {"convert",
       {{"vextune-cli convert old.vxr new.vxg", "an old file in the current format"},
        {"vextune-cli convert old.vxn - > new.vxg", "the same through standard output"}}},
      {"set",
       {{"vextune-cli set my.vxg TxDelay=30 Callsign=DL1ABC-7", "by the parameters' names"},
        {"vextune-cli set my.vxg T=30 %AT=600 'AprsSymbol=/>'",
         "by the device's commands; the car as APRS symbol"}}},
      {"params",
       {{"vextune-cli params TxDelay", "what TxDelay may be, its unit and default"},
        {"vextune-cli params --json", "every parameter, for programs"}}},
      {"diff",
       {{"vextune-cli diff old.vxg new.vxg", "the parameters that differ, side by side"},
        {"vextune-cli diff --json - new.vxg < old.vxg", "as JSON, the first file from stdin"},
        {"vextune-cli diff --port ttyACM0 mine.vxg", "the DAV-OZI against a file"}}},
      {"ports",
       {{"vextune-cli ports", "the serial ports; the DAV-OZI is marked"},
        {"vextune-cli ports --json", "the same for programs"},
        {"vextune-cli ports --wait 30", "waits until a DAV-OZI is plugged in"}}},
      {"check",
       {{"vextune-cli check", "the one DAV-OZI found: firmware version and link channels"},
        {"vextune-cli check --port ttyUSB0 --json", "a given port, the result as JSON"}}},
      {"read",
       {{"vextune-cli read --port ttyACM0 -o mine.vxg", "the device's configuration into a file"},
        {"vextune-cli read -o - | vextune-cli show -", "shown without a file"}}},
      {"send",
       {{"vextune-cli send --port ttyACM0 mine.vxg",
         "send what differs, store and verify by reading back"},
        {"vextune-cli send --dry-run mine.vxg", "what would change and the lines; nothing written"},
        {"vextune-cli send --full mine.vxg", "every parameter, as the whole script"},
        {"vextune-cli send --no-store --json mine.vxg", "not kept after power-off; JSON result"},
        {"vextune-cli send --no-backup mine.vxg", "without reading a backup first"}}},
      {"backups",
       {{"vextune-cli backups",
         "the backups kept, newest first; vextune-cli send FILE restores one"}}},
      {"update",
       {{"vextune-cli update --port ttyACM0 firmware.amb",
         "new firmware, from the normal firmware: backup, BIOS switch on and off when told"},
        {"vextune-cli update --yes --quiet firmware.amb",
         "also when the firmware is not newer; sends the backup back when it changed"},
        {"vextune-cli update --no-wait firmware.amb",
         "the update alone; switch BIOS on and restart the device first"}}},
      {"doctor",
       {{"vextune-cli doctor", "why the DAV-OZI cannot be used, and the fix"},
        {"vextune-cli doctor --port ttyUSB0", "the same for a given port"}}},
  };
  return examples;
}

std::string Footer(const std::vector<CommandExample>& examples) {
  std::string text = "Examples:\n";
  for (const CommandExample& e : examples) text += "  " + e.line + "\n      " + e.what + "\n";
  text.pop_back();  // the help puts its own line end after the footer
  return text;
}

}  // namespace

const std::vector<CommandExample>& ExamplesOf(const std::string& command) {
  static const std::vector<CommandExample> none;
  const auto found = AllExamples().find(command);
  return found == AllExamples().end() ? none : found->second;
}

void AddExamples(CLI::App& app) {
  for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
    const std::vector<CommandExample>& examples = ExamplesOf(sub->get_name());
    if (!examples.empty()) sub->footer(Footer(examples));
  }
}

}  // namespace vextune::cli
