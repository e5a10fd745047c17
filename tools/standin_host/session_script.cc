#include "tools/standin_host/session_script.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "tools/standin_host/host_settings.h"
#include "tools/standin_host/host_state.h"
#include "tools/standin_host/transcript.h"

namespace corvane {
namespace standin {

namespace {

namespace fs = std::filesystem;

// Room for the host's information record: four texts at offsets 0, 80, 160
// and 240, the last one up to 88 bytes with its terminator.
constexpr size_t kInfoRecordSize = 512;

struct InfoField {
  const char* name;
  size_t offset;
};

constexpr InfoField kInfoFields[] = {
    {"displayName", 0},
    {"vendorName", 80},
    {"versionText", 160},
    {"descriptionText", 240},
};

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream in(line);
  return {std::istream_iterator<std::string>(in),
          std::istream_iterator<std::string>()};
}

// Decimal, or hex after 0x; the whole text must be the number.
bool ParseNumber(const std::string& text, uint32_t* number) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long value = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || value > UINT32_MAX) return false;
  *number = static_cast<uint32_t>(value);
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  contents->assign(std::istreambuf_iterator<char>(in),
                   std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

SessionScript::SessionScript(std::string scriptDirectory,
                             std::string defaultPlugin,
                             std::ostream* transcript)
    : scriptDirectory(std::move(scriptDirectory)),
      defaultPlugin(std::move(defaultPlugin)),
      transcript(transcript) {}

bool SessionScript::RunLine(const std::string& line, std::string* error) {
  struct Command {
    const char* name;
    size_t minArguments;
    size_t maxArguments;
    const char* usage;
    bool (SessionScript::*run)(const Words&, std::string*);
  };
  static const Command kCommands[] = {
      {"datafolder", 1, 1, "datafolder PATH", &SessionScript::SetDataFolder},
      {"mailbox", 1, 1, "mailbox ID", &SessionScript::SetMailbox},
      {"current", 1, 1, "current ID", &SessionScript::SetCurrentMail},
      {"mail", 2, 3, "mail ID STATUS [FILE]", &SessionScript::DefineMail},
      {"alwaysread", 1, 1, "alwaysread N|none",
       &SessionScript::StoreAlwaysReadSetting},
      {"load", 0, 1, "load [PATH]", &SessionScript::LoadPlugin},
      {"unload", 0, 0, "unload", &SessionScript::UnloadPlugin},
      {"start", 0, 0, "start", &SessionScript::CallOnStart},
      {"info", 0, 0, "info", &SessionScript::CallOnPlugInInfo},
      {"open", 1, 1, "open ID", &SessionScript::CallOnOpenMail},
      {"markread", 1, 1, "markread ID", &SessionScript::MarkMailRead},
      {"exit", 0, 0, "exit", &SessionScript::CallOnExit},
  };

  Words words = SplitWords(line);
  if (words.empty()) return true;
  // Comments go into the transcript too, so that it explains itself.
  if (words[0][0] == '#') {
    *transcript << line << "\n";
    return true;
  }
  std::string echo = ">";
  for (const std::string& word : words) echo += " " + word;
  *transcript << echo << "\n";

  for (const Command& command : kCommands) {
    if (words[0] != command.name) continue;
    size_t arguments = words.size() - 1;
    if (arguments < command.minArguments || arguments > command.maxArguments) {
      *error = std::string("usage: ") + command.usage;
      return false;
    }
    bool done = (this->*command.run)(words, error);
    ReportOutcome("");
    return done;
  }
  *error = "unknown command " + words[0];
  return false;
}

bool SessionScript::SetDataFolder(const Words& words, std::string*) {
  fs::path folder = fs::absolute(ResolvePath(words[1])).make_preferred();
  std::string text = folder.string();
  if (text.empty() || text.back() != fs::path::preferred_separator) {
    text += static_cast<char>(fs::path::preferred_separator);
  }
  TheHost().SetDataFolder(text);
  return true;
}

bool SessionScript::SetMailbox(const Words& words, std::string*) {
  TheHost().SetCurrentMailbox(words[1]);
  return true;
}

bool SessionScript::SetCurrentMail(const Words& words, std::string*) {
  TheHost().SetCurrentMail(words[1]);
  return true;
}

bool SessionScript::DefineMail(const Words& words, std::string* error) {
  uint32_t status = 0;
  if (!ParseNumber(words[2], &status)) {
    *error = "not a status word: " + words[2];
    return false;
  }
  std::optional<std::string> header;
  if (words.size() > 3) {
    std::string path = ResolvePath(words[3]);
    header.emplace();
    if (!ReadWholeFile(path, &*header)) {
      *error = "cannot read " + path;
      return false;
    }
  }
  TheHost().DefineMail(words[1], status, std::move(header));
  return true;
}

bool SessionScript::StoreAlwaysReadSetting(const Words& words,
                                           std::string* error) {
  std::optional<uint32_t> value;
  if (words[1] != "none") {
    uint32_t number = 0;
    if (!ParseNumber(words[1], &number)) {
      *error = "not a DWORD: " + words[1];
      return false;
    }
    value = number;
  }
  if (!StoreAlwaysRead(value)) {
    *error = "cannot write the host's settings";
    return false;
  }
  return true;
}

bool SessionScript::LoadPlugin(const Words& words, std::string* error) {
  if (plugin != nullptr) {
    *error = "a plug-in is loaded already";
    return false;
  }
  std::string path = words.size() > 1 ? ResolvePath(words[1]) : defaultPlugin;
  switch (PluginLibrary::Load(path, &plugin, error)) {
    case LoadResult::kLoaded:
      ReportOutcome("plug-in loaded");
      return true;
    case LoadResult::kRefused:
      ReportOutcome("plug-in refused");
      return true;
    case LoadResult::kFailed:
      break;
  }
  return false;
}

bool SessionScript::UnloadPlugin(const Words&, std::string* error) {
  if (!RequirePlugin(error)) return false;
  plugin.reset();
  ReportOutcome("plug-in unloaded");
  return true;
}

bool SessionScript::CallOnStart(const Words&, std::string* error) {
  if (!RequirePlugin(error)) return false;
  int answer = plugin->OnStart();
  ReportOutcome("BKC_OnStart -> " + std::to_string(answer));
  return true;
}

bool SessionScript::CallOnPlugInInfo(const Words&, std::string* error) {
  if (!RequirePlugin(error)) return false;
  // The terminator after the last field's room keeps every read in bounds.
  char record[kInfoRecordSize + 1] = {};
  int answer = plugin->OnPlugInInfo(record);
  ReportOutcome("");
  for (const InfoField& field : kInfoFields) {
    *transcript << "  " << field.name << " " << QuoteText(record + field.offset)
                << "\n";
  }
  ReportOutcome("BKC_OnPlugInInfo -> " + std::to_string(answer));
  return true;
}

bool SessionScript::CallOnOpenMail(const Words& words, std::string* error) {
  if (!RequirePlugin(error)) return false;
  TheHost().SetCurrentMail(words[1]);
  int answer = plugin->OnOpenMail(words[1].c_str());
  ReportOutcome("BKC_OnOpenMail -> " + std::to_string(answer));
  return true;
}

bool SessionScript::MarkMailRead(const Words& words, std::string* error) {
  if (!TheHost().MarkMailRead(words[1])) {
    *error = "no such mail: " + words[1];
    return false;
  }
  return true;
}

bool SessionScript::CallOnExit(const Words&, std::string* error) {
  if (!RequirePlugin(error)) return false;
  int answer = plugin->OnExit();
  ReportOutcome("BKC_OnExit -> " + std::to_string(answer));
  return true;
}

bool SessionScript::RequirePlugin(std::string* error) const {
  if (plugin != nullptr) return true;
  *error = "no plug-in is loaded";
  return false;
}

std::string SessionScript::ResolvePath(const std::string& path) const {
  fs::path given(path);
  if (given.is_absolute()) return path;
  return (fs::path(scriptDirectory) / given).string();
}

void SessionScript::ReportOutcome(const std::string& outcome) {
  const std::vector<HostEvent>& journal = TheHost().Journal();
  if (eventsReported > journal.size()) eventsReported = journal.size();
  for (; eventsReported < journal.size(); ++eventsReported) {
    *transcript << "  " << DescribeEvent(journal[eventsReported]) << "\n";
  }
  if (!outcome.empty()) *transcript << "  " << outcome << "\n";
}

}  // namespace standin
}  // namespace corvane
