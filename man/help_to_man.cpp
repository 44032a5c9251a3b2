// help-to-man TEMPLATE OUTPUT PROGRAM: runs "PROGRAM --help" and writes
// TEMPLATE to OUTPUT with @OPTIONS@ replaced by the options it lists, as roff,
// and @VERSION@ by what "PROGRAM --version" prints. So a manual page's option
// list is the program's own. Reads the two-column help of CLI11 and Qt alike:
// an option line starts with blanks and "-"; its description follows after
// two or more blanks and may continue on more indented lines.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/roff_text.h"
#include "common/text_util.h"

using vextune::RoffText;
using vextune::TrimSpace;

namespace {

std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  pclose(pipe);
  return text;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct Entry {
  std::string option;
  std::string description;
};

std::vector<Entry> ParseOptions(const std::string& help) {
  std::vector<Entry> entries;
  std::istringstream in(help);
  bool inEntry = false;
  for (std::string line; std::getline(in, line);) {
    const size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos || indent == 0) {
      inEntry = false;  // a blank line or a heading
      continue;
    }
    if (line[indent] == '-') {
      const size_t gap = line.find("  ", indent);
      Entry e;
      e.option = std::string(TrimSpace(
          line.substr(indent, gap == std::string::npos ? std::string::npos : gap - indent)));
      if (gap != std::string::npos) e.description = std::string(TrimSpace(line.substr(gap)));
      entries.push_back(e);
      inEntry = true;
    } else if (inEntry) {
      std::string& d = entries.back().description;
      d += (d.empty() ? "" : " ") + std::string(TrimSpace(line));
    }
  }
  return entries;
}

std::string OptionsRoff(const std::vector<Entry>& entries) {
  std::string out;
  for (const Entry& e : entries) {
    out += ".TP\n.B " + RoffText(e.option, true) + "\n" + RoffText(e.description, false) + "\n";
  }
  return out;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.replace(at, what.size(), with);
    at += with.size();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: help-to-man TEMPLATE OUTPUT PROGRAM\n";
    return 2;
  }
  std::ifstream templateFile(argv[1], std::ios::binary);
  std::string page{std::istreambuf_iterator<char>(templateFile), {}};
  if (!templateFile && page.empty()) {
    std::cerr << "help-to-man: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string program = Quoted(argv[3]);
  const std::vector<Entry> entries = ParseOptions(Output(program + " --help 2>&1"));
  if (entries.empty()) {
    std::cerr << "help-to-man: " << argv[3] << " --help lists no options\n";
    return 1;
  }
  std::string version = std::string(TrimSpace(Output(program + " --version 2>&1")));
  ReplaceAll(version, "\n", " ");
  ReplaceAll(page, "@OPTIONS@\n", OptionsRoff(entries));
  ReplaceAll(page, "@VERSION@", RoffText(version, false));
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << page;
  out.close();
  if (!out) {
    std::cerr << "help-to-man: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
