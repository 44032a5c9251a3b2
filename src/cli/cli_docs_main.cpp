// vextune-cli-docs OUTDIR: writes the manual page and the bash and zsh
// completions of vextune-cli into OUTDIR, from the program's command table.
// Run by the build; not installed.
#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>

#include "cli/cli_docs.h"
#include "cli/command_table.h"
#include "common/program_version.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (out) return true;
  std::cerr << "vextune-cli-docs: cannot write " << path << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vextune-cli-docs OUTDIR\n";
    return 2;
  }
  using namespace vextune::cli;
  CLI::App app{"", "vextune-cli"};
  CommandAction action;
  BuildCommandLine(app, action);
  const std::string dir = argv[1];
  const bool written = Write(dir + "/vextune-cli.1", ManualPage(app, vextune::ProgramVersion())) &&
                       Write(dir + "/vextune-cli", BashCompletion(app)) &&
                       Write(dir + "/_vextune-cli", ZshCompletion(app));
  return written ? 0 : 1;
}
