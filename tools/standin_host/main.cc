// standin_host: plays the host's side of a session with the Corvane plug-in
// and prints a transcript of what the plug-in did.
//
//   standin_host [--host-version TEXT] [--plugin PATH] [SCRIPT]
//
// Runs the session script SCRIPT, or standard input without one; the script
// and transcript formats are described in session_script.h. The host
// answers BKA_GetVersion with TEXT (default 2.00.06). A load without a path
// loads PATH, by default the Corvane library beside this program.
//
// Exit status: 0 when every line ran, 1 when a line failed (the session goes
// on, and each failure is reported on standard error), 2 for a bad command
// line.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/standin_host/host_state.h"
#include "tools/standin_host/plugin_library.h"
#include "tools/standin_host/session_script.h"

namespace {

using corvane::standin::SessionScript;

constexpr char kUsage[] =
    "usage: standin_host [--host-version TEXT] [--plugin PATH] [SCRIPT]\n";

struct Options {
  std::string hostVersion = corvane::standin::HostState::kDefaultVersionText;
  std::string plugin;
  std::string script;  // empty: standard input
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if ((argument == "--host-version" || argument == "--plugin") &&
        i + 1 < argc) {
      (argument == "--plugin" ? options->plugin : options->hostVersion) =
          argv[++i];
    } else if (argument.rfind("--", 0) != 0 && options->script.empty()) {
      options->script = argument;
    } else {
      return false;
    }
  }
  return true;
}

// Runs every line; false when one of them failed.
bool RunScript(std::istream& in, const std::string& name,
               SessionScript* session) {
  bool allRan = true;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::string error;
    if (!session->RunLine(line, &error)) {
      std::cout.flush();
      std::cerr << name << ":" << number << ": " << error << "\n";
      allRan = false;
    }
  }
  return allRan;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << kUsage;
    return 2;
  }
  corvane::standin::TheHost().SetVersionText(options.hostVersion);
  std::string plugin = !options.plugin.empty()
                           ? options.plugin
                           : corvane::standin::LibraryBesideProgram("Corvane");

  if (options.script.empty()) {
    SessionScript session("", plugin, &std::cout);
    return RunScript(std::cin, "<stdin>", &session) ? 0 : 1;
  }
  std::ifstream in(options.script, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << options.script << "\n";
    return 2;
  }
  std::string directory =
      std::filesystem::path(options.script).parent_path().string();
  SessionScript session(directory, plugin, &std::cout);
  return RunScript(in, options.script, &session) ? 0 : 1;
}
