// SessionScript: runs a session of the stand-in host from a script of line
// commands and writes a transcript of what the plug-in did.
//
// Script format. Commands run in order, one per line. Blank lines are skipped;
// lines whose first word starts with '#' are comments, copied as they are
// into the transcript. Words are separated by
// blanks, so no argument can contain one. Relative paths are taken from the
// script's directory.
//
//   datafolder PATH        The host's data folder; the plug-in receives it
//                          absolute, ending in the platform's separator.
//   mailbox ID             The current mailbox id (ends in a backslash).
//   current ID             The current mail id.
//   mail ID STATUS [FILE]  Defines a mail: its status word (decimal, or hex
//                          after 0x) and its header text, the bytes of FILE.
//                          Without FILE the host has no header for it.
//   alwaysread N           Stores the host's AlwaysRead setting (a DWORD);
//   alwaysread none        "none" removes it.
//   load [PATH]            Loads the plug-in library; without PATH the one
//                          the SessionScript was given.
//   unload                 Unloads it.
//   start                  Calls BKC_OnStart.
//   info                   Calls BKC_OnPlugInInfo on a zeroed record and
//                          shows the record's four texts.
//   open ID                Makes ID the current mail and calls
//                          BKC_OnOpenMail with it, as the user opening it.
//   markread ID            Sets the mail's read flag, as the host does when
//                          the user reads it.
//   exit                   Calls BKC_OnExit.
//
// Transcript format. Each command is echoed after "> ". Indented below it
// follows what came of it: first the host calls and debug writes that the
// plug-in made, in order (see transcript.h), then the outcome, such as
// "plug-in loaded", "plug-in refused" or "BKC_OnOpenMail -> 0".
//
// Drives TheHost() and is used from one thread.

#ifndef CORVANE_TOOLS_STANDIN_HOST_SESSION_SCRIPT_H_
#define CORVANE_TOOLS_STANDIN_HOST_SESSION_SCRIPT_H_

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tools/standin_host/plugin_library.h"

namespace corvane {
namespace standin {

class SessionScript {
 public:
  // `scriptDirectory` anchors relative paths; `defaultPlugin` is what a
  // load without a path loads. The transcript goes to `*transcript`, which
  // must outlive this object.
  SessionScript(std::string scriptDirectory, std::string defaultPlugin,
                std::ostream* transcript);

  SessionScript(const SessionScript&) = delete;
  SessionScript& operator=(const SessionScript&) = delete;

  // Runs one line. False, with *error set, when the line is no valid
  // command or cannot be carried out; the session may go on after that.
  bool RunLine(const std::string& line, std::string* error);

 private:
  using Words = std::vector<std::string>;

  bool SetDataFolder(const Words& words, std::string* error);
  bool SetMailbox(const Words& words, std::string* error);
  bool SetCurrentMail(const Words& words, std::string* error);
  bool DefineMail(const Words& words, std::string* error);
  bool StoreAlwaysReadSetting(const Words& words, std::string* error);
  bool LoadPlugin(const Words& words, std::string* error);
  bool UnloadPlugin(const Words& words, std::string* error);
  bool CallOnStart(const Words& words, std::string* error);
  bool CallOnPlugInInfo(const Words& words, std::string* error);
  bool CallOnOpenMail(const Words& words, std::string* error);
  bool MarkMailRead(const Words& words, std::string* error);
  bool CallOnExit(const Words& words, std::string* error);

  // False, with *error set, when no plug-in is loaded.
  bool RequirePlugin(std::string* error) const;
  std::string ResolvePath(const std::string& path) const;
  // Writes the journal's events since the last call, then `outcome`.
  void ReportOutcome(const std::string& outcome);

  std::string scriptDirectory;
  std::string defaultPlugin;
  std::ostream* transcript;
  std::unique_ptr<PluginLibrary> plugin;
  size_t eventsReported = 0;
};

}  // namespace standin
}  // namespace corvane

#endif  // CORVANE_TOOLS_STANDIN_HOST_SESSION_SCRIPT_H_
