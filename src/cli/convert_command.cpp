#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/file_command_support.h"
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
  if (std::filesystem::equivalent(options.from, options.to, ec)) {
    std::cerr << options.to << " is the same file as " << options.from
              << "; convert writes a new file and leaves the old one as it is.\n";
    return kExitFailed;
  }
  CConfigData record;
  if (!LoadOrReport(options.from, record, nullptr)) return kExitFailed;
  return SaveOrReport(options.to, record) ? kExitOk : kExitFailed;
}

}  // namespace

void RegisterConvertCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand(
      "convert",
      "Read a configuration file of any version (.vxg, .vxn, .vxr) and write it anew "
      "in the current format; the old file stays as it is");
  cmd->add_option("OLD", options->from, "Configuration file to read")->required();
  cmd->add_option("NEW", options->to, "Configuration file to write (replaced if it exists)")
      ->required();
  cmd->callback([options, &action] { action = [options] { return RunConvert(*options); }; });
}

}  // namespace vextune::cli
