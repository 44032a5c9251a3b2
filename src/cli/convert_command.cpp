#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/standard_streams.h"
#include "config/config_data.h"

namespace vextune::cli {
namespace {

struct ConvertOptions {
  std::string from;
  std::string to;
};

int RunConvert(const ConvertOptions& options) {
  // The old file is never touched, so it cannot also be the new one.
  std::error_code ec;
  const bool streams = IsStandardStream(options.from) || IsStandardStream(options.to);
  if (!streams && std::filesystem::equivalent(options.from, options.to, ec)) {
    std::cerr << options.to << " is the same file as " << options.from
              << "; convert writes a new file and leaves the old one as it is.\n";
    return kExitFailed;
  }
  // A terminal is refused before standard input is read.
  if (const std::string refusal = StandardOutputRefusal(options.to); !refusal.empty()) {
    std::cerr << refusal << '\n';
    return kExitFailed;
  }
  CConfigData record;
  if (!LoadConfiguration(options.from, record, nullptr)) return kExitFailed;
  return SaveConfiguration(options.to, record) ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterConvertCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand(
      "convert",
      "Read a configuration file of any version (.vxg, .vxn, .vxr) and write it anew "
      "in the current format; the old file stays as it is");
  cmd->add_option("OLD", options->from, "Configuration file to read; - reads standard input")
      ->required();
  cmd->add_option("NEW", options->to,
                  "Configuration file to write (replaced if it exists); - writes standard output")
      ->required();
  cmd->callback([options, &action] { action = [options] { return RunConvert(*options); }; });
}

}  // namespace vextune::cli
