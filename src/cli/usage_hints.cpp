#include "cli/usage_hints.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "common/nearest_names.h"

namespace vextune::cli {
namespace {

std::vector<std::string> OptionNames(const CLI::App& scope) {
  std::vector<std::string> names;
  for (const CLI::Option* option : scope.get_options()) {
    for (const std::string& l : option->get_lnames()) names.push_back("--" + l);
    for (const std::string& s : option->get_snames()) names.push_back("-" + s);
  }
  return names;
}

const CLI::App* FindSubcommand(const CLI::App& app, const std::string& name) {
  for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
    if (sub->check_name(name)) return sub;
  }
  return nullptr;
}

std::string Suggest(const std::string& word, const std::vector<std::string>& candidates) {
  const std::vector<std::string> near = NearestNames(word, candidates);
  return near.empty() ? "" : "Did you mean " + JoinAlternatives(near) + "?";
}

}  // namespace

UsageHint FindUsageHint(const CLI::App& app, const std::vector<std::string>& args) {
  const CLI::App* command = nullptr;
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg.size() > 1 && arg.front() == '-') {
      const std::string name = arg.substr(0, arg.find('='));
      std::vector<std::string> known = OptionNames(command ? *command : app);
      if (command != nullptr) {
        const std::vector<std::string> global = OptionNames(app);
        known.insert(known.end(), global.begin(), global.end());
      }
      if (std::find(known.begin(), known.end(), name) != known.end()) continue;
      // Every letter is one edit from every other: "-x" has no near option.
      const bool shortOption = name.size() == 2;
      return {"", shortOption ? "" : Suggest(name, known)};
    }
    if (command != nullptr) continue;  // a value or a positional argument
    command = FindSubcommand(app, arg);
    if (command == nullptr) {
      std::vector<std::string> names;
      for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        names.push_back(sub->get_name());
      }
      return {arg, Suggest(arg, names)};
    }
  }
  return {};
}

int ReportUsageError(CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
  const UsageHint hint = FindUsageHint(app, std::vector<std::string>(argv + 1, argv + argc));
  if (hint.unknownCommand.empty()) {
    std::cerr << error.what() << '\n';
  } else {
    std::cerr << '"' << hint.unknownCommand << "\" is not a command of " << app.get_name() << ".\n";
  }
  if (!hint.didYouMean.empty()) std::cerr << hint.didYouMean << '\n';
  std::cerr << "Run with --help or --help-all for more information.\n";
  return kExitUsage;
}

}  // namespace vextune::cli
