// HostState: what the stand-in host knows and what the plug-in did to it.
//
// The host's exported BKA_ functions answer from the one HostState of the
// process (TheHost()) and write every call into its journal, together with
// every debug write the plug-in makes, in the order they happened. A test or
// the command-line tool sets the state up before it drives the plug-in and
// reads the journal afterwards.
//
// Texts that the BKA_ functions return point into the state and stay valid
// until the state's next change. Single-threaded, like the host's calls.

#ifndef CORVANE_TOOLS_STANDIN_HOST_HOST_STATE_H_
#define CORVANE_TOOLS_STANDIN_HOST_HOST_STATE_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane {
namespace standin {

// One thing the plug-in did to the host.
struct HostEvent {
  enum class Kind { kCall, kDebugWrite };

  Kind kind = Kind::kCall;
  // The BKA_ function called; empty for a debug write.
  std::string function;
  // The mail id passed to the call, or the bytes of the debug write.
  std::string text;
  // BKA_SetStatus's value and mask; BKA_GetStatus's answer in `result`.
  int value = 0;
  int mask = 0;
  int result = 0;
};

class HostState {
 public:
  // The version text a host answers with unless told otherwise: the first
  // version that must offer BKA_SetStatus.
  static constexpr char kDefaultVersionText[] = "2.00.06";

  HostState() = default;
  HostState(const HostState&) = delete;
  HostState& operator=(const HostState&) = delete;

  // Forgets every setting, mail and event.
  void Reset();

  // --- Setting the host up ---

  void SetVersionText(const std::string& text) { versionText = text; }
  // `path` as the plug-in is to receive it, ending in a separator.
  void SetDataFolder(const std::string& path) { dataFolder = path; }
  void SetCurrentMailbox(const std::string& id) { currentMailbox = id; }
  void SetCurrentMail(const std::string& id) { currentMail = id; }
  // Adds or replaces a mail; without `header` the host has no header text.
  void DefineMail(const std::string& id, uint32_t status,
                  std::optional<std::string> header);
  // Sets the read flag, as the host does when the user reads the mail.
  // False when the mail is unknown.
  bool MarkMailRead(const std::string& id);

  // --- The journal ---

  const std::vector<HostEvent>& Journal() const { return journal; }
  void ClearJournal() { journal.clear(); }
  // The mail ids of the BKA_GetStatus calls, in order.
  std::vector<std::string> StatusQueries() const;

  // --- The host's answers, each recorded; called by the exports ---

  const char* GetVersion();
  const char* GetDataFolder();
  const char* GetCurrentMailBox();
  const char* GetCurrentMail();
  // The mail's status word; 0 for a mail the host does not know.
  int GetStatus(const char* mailId);
  // Sets the bits of `value` in a known mail's status (the mask says
  // nothing to this host). 1 when the mail is known, else 0.
  int SetStatus(const char* mailId, int value, int mask);
  // The mail's header text, or null when it has none or is unknown.
  const char* GetHeader(const char* mailId);
  // A host function the plug-in is not expected to call: recorded, and 0.
  int AnswerUncalled(const char* function);

  // Keeps one write to the debug output, as one event.
  void RecordDebugWrite(std::string text);

 private:
  struct Mail {
    uint32_t status = 0;
    std::optional<std::string> header;
  };

  void RecordCall(const char* function, const char* mailId);

  std::string versionText = kDefaultVersionText;
  std::string dataFolder;
  std::string currentMailbox;
  std::string currentMail;
  std::map<std::string, Mail> mails;
  std::vector<HostEvent> journal;
};

// The process's one host, which the exported functions answer from.
HostState& TheHost();

}  // namespace standin
}  // namespace corvane

#endif  // CORVANE_TOOLS_STANDIN_HOST_HOST_STATE_H_
