#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace vextune::cli {

/// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  ///< the operation failed or was refused
inline constexpr int kExitUsage = 2;   ///< wrong usage

/// What runs the chosen subcommand after the arguments were parsed.
using CommandAction = std::function<int()>;

/// Each subcommand adds itself to `app` (its options and --help) and, when it
/// is the one chosen, stores its run function in `action`. One file each.
using CommandRegistration = void (*)(CLI::App& app, CommandAction& action);

void RegisterShowCommand(CLI::App& app, CommandAction& action);
void RegisterDefaultsCommand(CLI::App& app, CommandAction& action);
void RegisterConvertCommand(CLI::App& app, CommandAction& action);
void RegisterSetCommand(CLI::App& app, CommandAction& action);
void RegisterDiffCommand(CLI::App& app, CommandAction& action);
void RegisterCheckCommand(CLI::App& app, CommandAction& action);
void RegisterReadCommand(CLI::App& app, CommandAction& action);
void RegisterSendCommand(CLI::App& app, CommandAction& action);
void RegisterPortsCommand(CLI::App& app, CommandAction& action);
void RegisterUpdateCommand(CLI::App& app, CommandAction& action);
void RegisterParamsCommand(CLI::App& app, CommandAction& action);
void RegisterDoctorCommand(CLI::App& app, CommandAction& action);
void RegisterBackupsCommand(CLI::App& app, CommandAction& action);

}  // namespace vextune::cli
