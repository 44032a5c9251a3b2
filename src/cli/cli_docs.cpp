// The manual page and the shell completions, written from the same command
// table the program parses with, so that they cannot fall behind it.
#include "cli/cli_docs.h"

#include <CLI/CLI.hpp>
#include <map>
#include <vector>

#include "cli/command_examples.h"
#include "common/roff_text.h"
#include "config/config_data.h"
#include "config/param_help.h"

namespace vextune::cli {
namespace {

// ---- What the command table holds, in the order help shows it ----

std::vector<const CLI::App*> Commands(const CLI::App& app) {
  return app.get_subcommands([](const CLI::App*) { return true; });
}

bool IsHelp(const CLI::Option* option) {
  const std::string name = option->get_name();
  return name == "--help" || name == "--help-all" || name == "--version";
}

std::vector<const CLI::Option*> Options(const CLI::App& command) {
  std::vector<const CLI::Option*> options;
  for (const CLI::Option* o : command.get_options()) {
    if (o->nonpositional() && !IsHelp(o)) options.push_back(o);
  }
  return options;
}

std::vector<const CLI::Option*> Positionals(const CLI::App& command) {
  std::vector<const CLI::Option*> positionals;
  for (const CLI::Option* o : command.get_options()) {
    if (!o->nonpositional()) positionals.push_back(o);
  }
  return positionals;
}

// Flags expect no items; options with a value at least one.
bool TakesValue(const CLI::Option* option) {
  return option->get_items_expected_max() > 0;
}

/// A value that may be left out ("--wait" alone takes its default).
bool ValueOptional(const CLI::Option* option) {
  return option->get_items_expected_min() == 0;
}

bool Repeats(const CLI::Option* option) {
  return option->get_items_expected_max() > 1;
}

// "FILE", "[NAME...]", "NAME=VALUE..."
std::string PositionalUsage(const CLI::Option* p) {
  std::string text = p->get_name() + (Repeats(p) ? "..." : "");
  return p->get_required() ? text : "[" + text + "]";
}

// "-o, --output FILE"
std::string OptionUsage(const CLI::Option* o) {
  std::string text;
  for (const std::string& s : o->get_snames()) text += (text.empty() ? "-" : ", -") + s;
  for (const std::string& l : o->get_lnames()) text += (text.empty() ? "--" : ", --") + l;
  if (TakesValue(o)) {
    text += ValueOptional(o) ? " [" + o->get_type_name() + "]" : " " + o->get_type_name();
  }
  return text;
}

std::string CommandUsage(const CLI::App& command) {
  std::string text = command.get_name();
  if (!Options(command).empty()) text += " [OPTIONS]";
  for (const CLI::Option* p : Positionals(command)) text += " " + PositionalUsage(p);
  return text;
}

// Which files the file arguments of a command take, for completion.
std::string FilePattern(const std::string& command) {
  static const std::map<std::string, std::string> patterns = {
      {"show", "vxg|vxn|vxr"}, {"convert", "vxg|vxn|vxr"}, {"set", "vxg|vxn|vxr"},
      {"diff", "vxg|vxn|vxr"}, {"send", "vxg|vxn|vxr"},    {"defaults", "vxg"},
      {"read", "vxg"},         {"update", "amb"},
  };
  const auto found = patterns.find(command);
  return found == patterns.end() ? "" : found->second;
}

std::vector<std::string> ParameterNames() {
  std::vector<std::string> names;
  for (const ParamInfo& info : CConfigData::Params()) names.push_back(ShortName(info));
  return names;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

// ---- roff ----

std::string Paragraphs(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    out += RoffText(text.substr(start, end - start)) + "\n";
    start = end + 1;
  }
  return out;
}

std::string CommandSection(const CLI::App& command) {
  std::string out = ".SS \"" + RoffText(CommandUsage(command), true) + "\"\n";
  out += Paragraphs(command.get_description());
  for (const CLI::Option* p : Positionals(command)) {
    out += ".TP\n.I " + RoffText(p->get_name(), true) + "\n" + Paragraphs(p->get_description());
  }
  for (const CLI::Option* o : Options(command)) {
    out += ".TP\n.B " + RoffText(OptionUsage(o), true) + "\n" + Paragraphs(o->get_description());
  }
  const std::vector<CommandExample>& examples = ExamplesOf(command.get_name());
  if (!examples.empty()) {
    out += ".PP\nExamples:\n";
    for (const CommandExample& e : examples) {
      out += ".RS\n.nf\n" + RoffText(e.line, true) + "\n.fi\n.RS\n" + RoffText(e.what) + "\n.RE\n.RE\n";
    }
  }
  return out;
}

// ---- shells ----

// A description short enough for a completion menu: its first clause.
std::string Brief(const std::string& description) {
  size_t end = description.size();
  for (const char* stop : {"; ", ". ", "\n"}) end = std::min(end, description.find(stop));
  std::string text = description.substr(0, end);
  if (text.size() > 70) text = text.substr(0, 67) + "...";
  return text;
}

// Inside zsh's _arguments descriptions "[", "]" and ":" have meanings of their own.
std::string ZshSafe(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '[') {
      out += '(';
    } else if (c == ']') {
      out += ')';
    } else if (c == ':') {
      out += "\\:";
    } else if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string ManualPage(const CLI::App& app, std::string_view version) {
  std::string out;
  out += ".\\\" Written by vextune-cli-docs from the program's command table; do not edit.\n";
  out += ".TH VEXTUNE\\-CLI 1 \"\" \"Vextune " + std::string(version) + "\" \"User Commands\"\n";
  out +=
      ".SH NAME\nvextune\\-cli \\- configure and update a DAV\\-OZI (Ambrel) packet\\-radio TNC "
      "from the command line\n";
  out +=
      ".SH SYNOPSIS\n.B vextune\\-cli\n.I COMMAND\n.RI [ OPTIONS ]\n.RI [ ARGUMENTS ]\n.br\n"
      ".B vextune\\-cli\n.RB [ \\-\\-help | \\-\\-help\\-all | \\-\\-version ]\n";
  out +=
      ".SH DESCRIPTION\n"
      ".B vextune\\-cli\n"
      "reads, checks, changes and converts the configuration files of the DAV-OZI (.vxg, and "
      "the .vxn and .vxr files of older program versions), reads the configuration from the "
      "device and sends it back, verified by reading it back, updates the firmware (guiding "
      "through BIOS mode and back, with a backup of the configuration), and diagnoses the "
      "set-up of the serial port.\n"
      ".PP\n"
      "Messages and progress go to standard error, results to standard output. Where a "
      "command says so, a file name of\n.B \\-\nmeans standard input or standard output. "
      "Every command has\n.BR \\-\\-help ;\n.B \\-\\-help\\-all\nshows the help of all "
      "commands and\n.B \\-\\-version\nthe program's version.\n";
  out += ".SH COMMANDS\n";
  for (const CLI::App* command : Commands(app)) out += CommandSection(*command);
  out +=
      ".SH EXIT STATUS\n"
      ".TP\n.B 0\nSuccess: the operation completed (diff: the files are equal; doctor: the "
      "device can be used).\n"
      ".TP\n.B 1\nThe operation failed or was refused (diff: the files differ or one cannot "
      "be read; doctor: a check failed). A refused change leaves every file as it was.\n"
      ".TP\n.B 2\nWrong usage: an unknown command or option, a missing argument.\n";
  out +=
      ".SH FILES\n"
      ".TP\n.I *.vxg\nConfiguration files: all 77 parameters of the device; .vxn and .vxr "
      "files of older versions are read the same way.\n"
      ".TP\n.I *.amb\nFirmware update files.\n"
      ".TP\n.I /dev/ttyACM*\nThe DAV-OZI's serial port; the user needs read and write access "
      "(usually membership in the group dialout).\n"
      ".TP\n.I /dev/davozi, /dev/davozi\\-N\nStable names given by the udev rule "
      "60\\-davozi.rules, which also gives the port to the group dialout and tells "
      "ModemManager to leave it alone.\n"
      ".TP\n.I $XDG_DATA_HOME/vextune/backups/*.vxg\nBackups of the DAV\\-OZI's configuration "
      "(~/.local/share/vextune/backups when XDG_DATA_HOME is not set): every complete read keeps "
      "one, named by date, time and firmware version; the newest 100 are kept.\n";
  out +=
      ".SH ENVIRONMENT\n"
      ".TP\n.B NO_COLOR\nHonoured: vextune\\-cli prints no colours at all.\n"
      ".TP\n.B XDG_DATA_HOME\nThe folder under which the backups are kept.\n"
      ".TP\n.B VEXTUNE_SYSTEM_ROOT\nLinux: the folder that stands for / when \\fBports\\fR lists "
      "and watches the serial ports (its sys/ and dev/), for a copy of a system's device tree.\n";
  out +=
      ".SH EXAMPLES\n"
      "Try it with the simulator instead of a device:\n"
      ".PP\n.RS\n.nf\n"
      "davozi\\-sim \\-\\-link /tmp/davozi &\n"
      "vextune\\-cli check \\-\\-port /tmp/davozi\n"
      "vextune\\-cli read \\-\\-port /tmp/davozi \\-o mine.vxg\n"
      "vextune\\-cli params TxDelay\n"
      "vextune\\-cli set mine.vxg TxDelay=40\n"
      "vextune\\-cli send \\-\\-port /tmp/davozi mine.vxg\n"
      ".fi\n.RE\n";
  out += ".SH SEE ALSO\n.BR vextune (1),\n.BR davozi\\-sim (1)\n";
  return out;
}

std::string BashCompletion(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* command : Commands(app)) names.push_back(command->get_name());
  std::string out =
      "# bash completion for vextune-cli; written by vextune-cli-docs from the program's\n"
      "# command table, do not edit.\n"
      "_vextune_cli_files() {\n"
      "  local extensions=(${1//|/ })\n"
      "  local IFS=$'\\n' extension\n"
      "  compopt -o filenames 2>/dev/null\n"
      "  COMPREPLY+=($(compgen -d -- \"$cur\"))\n"
      "  for extension in \"${extensions[@]}\"; do\n"
      "    COMPREPLY+=($(compgen -f -X \"!*.$extension\" -- \"$cur\"))\n"
      "  done\n"
      "  [[ $2 == dash && $cur == \"\" ]] && COMPREPLY+=(-)\n"
      "}\n"
      "_vextune_cli() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      "  local command='' i\n"
      "  COMPREPLY=()\n"
      "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
      "    [[ ${COMP_WORDS[i]} != -* ]] && { command=${COMP_WORDS[i]}; break; }\n"
      "  done\n"
      "  if [[ -z $command ]]; then\n"
      "    COMPREPLY=($(compgen -W '" +
      Joined(names) +
      " --help --help-all --version' -- \"$cur\"))\n"
      "    return\n"
      "  fi\n"
      "  case $prev in\n"
      "    --port)\n"
      "      COMPREPLY=($(compgen -W \"$(ls -d /dev/ttyACM* /dev/ttyUSB* /dev/davozi* "
      "2>/dev/null)\" -- \"$cur\"))\n"
      "      return ;;\n"
      "    -o|--output) _vextune_cli_files vxg dash; return ;;\n"
      "  esac\n"
      "  case $command in\n";
  for (const CLI::App* command : Commands(app)) {
    std::vector<std::string> options = {"--help"};
    for (const CLI::Option* o : Options(*command)) {
      for (const std::string& l : o->get_lnames()) options.push_back("--" + l);
      for (const std::string& s : o->get_snames()) options.push_back("-" + s);
    }
    const std::string name = command->get_name();
    out += "    " + name + ")\n";
    out += "      if [[ $cur == -* ]]; then\n        COMPREPLY=($(compgen -W '" + Joined(options) +
           "' -- \"$cur\"))\n";
    if (name == "set") {
      // The file first, then NAME=VALUE.
      out +=
          "      elif [[ $cur != *=* && $COMP_CWORD -gt $((i + 1)) ]]; then\n"
          "        compopt -o nospace 2>/dev/null\n"
          "        COMPREPLY=($(compgen -S = -W '" +
          Joined(ParameterNames()) + "' -- \"$cur\"))\n";
    } else if (name == "params") {
      out += "      else\n        COMPREPLY=($(compgen -W '" + Joined(ParameterNames()) +
             "' -- \"$cur\"))\n";
    }
    const std::string pattern = FilePattern(name);
    if (!pattern.empty() && name != "read") {
      out += "      else\n        _vextune_cli_files '" + pattern + "' dash\n";
    }
    out += "      fi ;;\n";
  }
  out +=
      "  esac\n"
      "}\n"
      "complete -F _vextune_cli vextune-cli\n";
  return out;
}

std::string ZshCompletion(const CLI::App& app) {
  std::string out =
      "#compdef vextune-cli\n"
      "# zsh completion for vextune-cli; written by vextune-cli-docs from the program's\n"
      "# command table, do not edit.\n"
      "_vextune_cli_ports() {\n"
      "  local -a ports\n"
      "  ports=(/dev/ttyACM*(N) /dev/ttyUSB*(N) /dev/davozi*(N))\n"
      "  _describe 'serial port' ports\n"
      "}\n"
      "_vextune_cli_parameters() {\n"
      "  compadd -S = -- " +
      Joined(ParameterNames()) +
      "\n"
      "}\n"
      "_vextune_cli_names() {\n"
      "  compadd -- " +
      Joined(ParameterNames()) +
      "\n"
      "}\n"
      "_vextune-cli() {\n"
      "  local curcontext=$curcontext state line\n"
      "  local -a commands\n"
      "  commands=(\n";
  for (const CLI::App* command : Commands(app)) {
    out += "    '" + command->get_name() + ":" + ZshSafe(Brief(command->get_description())) + "'\n";
  }
  out +=
      "  )\n"
      "  _arguments -C \\\n"
      "    '(- *)--help[Print the help and exit]' \\\n"
      "    '(- *)--help-all[Show the help of every command]' \\\n"
      "    '(- *)--version[Print the version]' \\\n"
      "    '1: :->command' \\\n"
      "    '*:: :->arguments' && return\n"
      "  case $state in\n"
      "    command) _describe -t commands 'vextune-cli command' commands ;;\n"
      "    arguments)\n"
      "      case $words[1] in\n";
  for (const CLI::App* command : Commands(app)) {
    const std::string name = command->get_name();
    const std::string pattern = FilePattern(name);
    out += "        " + name + ")\n          _arguments \\\n";
    out += "            '(- *)--help[Print the help and exit]'";
    for (const CLI::Option* o : Options(*command)) {
      std::string zshArgument;
      std::vector<std::string> forms;
      for (const std::string& s : o->get_snames()) forms.push_back("-" + s);
      for (const std::string& l : o->get_lnames()) forms.push_back("--" + l);
      const std::string brief = "[" + ZshSafe(Brief(o->get_description())) + "]";
      std::string action;
      if (TakesValue(o)) {
        const bool port = o->get_name() == "--port";
        action = port ? ":port:_vextune_cli_ports" : ":file:_files -g '\\''*.vxg'\\''";
        // A number: zsh shows what it wants and offers nothing.
        if (ValueOptional(o)) action = "::" + o->get_type_name() + ": ";
      }
      if (forms.size() == 1) {
        zshArgument = "'" + forms.front() + brief + action + "'";
      } else {
        zshArgument = "'(" + Joined(forms) + ")'{" + forms.front() + "," + forms.back() + "}'" + brief +
               action + "'";
      }
      out += " \\\n            " + zshArgument;
    }
    for (const CLI::Option* p : Positionals(*command)) {
      std::string action = "_files";
      if (name == "set" && Repeats(p)) action = "_vextune_cli_parameters";
      if (name == "params") action = "_vextune_cli_names";
      if (!pattern.empty() && action == "_files") {
        action = "_files -g '\\''*.(" + pattern + ")'\\''";
      }
      const std::string label = ZshSafe(p->get_name());
      out += " \\\n            '" + std::string(Repeats(p) ? "*" : "") + ":" + label + ":" +
             action + "'";
    }
    out += " ;;\n";
  }
  out +=
      "      esac ;;\n"
      "  esac\n"
      "}\n"
      "_vextune-cli \"$@\"\n";
  return out;
}

}  // namespace vextune::cli
