#include "cli/command_table.h"

#include "cli/commands.h"

namespace vextune::cli {

const std::vector<CommandRegistration>& CommandTable() {
  static const std::vector<CommandRegistration> table = {
      RegisterShowCommand,   RegisterDefaultsCommand, RegisterConvertCommand, RegisterSetCommand,
      RegisterParamsCommand, RegisterDiffCommand,     RegisterPortsCommand,   RegisterCheckCommand,
      RegisterReadCommand,   RegisterSendCommand,     RegisterUpdateCommand, RegisterDoctorCommand,
  };
  return table;
}

}  // namespace vextune::cli
