#include "tools/standin_host/host_state.h"

#include <utility>

namespace corvane {
namespace standin {

namespace {

constexpr uint32_t kReadFlag = 1;

// Host functions may be handed a null text; the journal keeps it as empty.
std::string TextOrEmpty(const char* text) {
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

void HostState::Reset() {
  versionText = kDefaultVersionText;
  dataFolder.clear();
  currentMailbox.clear();
  currentMail.clear();
  mails.clear();
  journal.clear();
}

void HostState::DefineMail(const std::string& id, uint32_t status,
                           std::optional<std::string> header) {
  mails[id] = Mail{status, std::move(header)};
}

bool HostState::MarkMailRead(const std::string& id) {
  auto mail = mails.find(id);
  if (mail == mails.end()) return false;
  mail->second.status |= kReadFlag;
  return true;
}

std::vector<std::string> HostState::StatusQueries() const {
  std::vector<std::string> mailIds;
  for (const HostEvent& event : journal) {
    if (event.function == "BKA_GetStatus") mailIds.push_back(event.text);
  }
  return mailIds;
}

const char* HostState::GetVersion() {
  RecordCall("BKA_GetVersion", nullptr);
  return versionText.c_str();
}

const char* HostState::GetDataFolder() {
  RecordCall("BKA_GetDataFolder", nullptr);
  return dataFolder.c_str();
}

const char* HostState::GetCurrentMailBox() {
  RecordCall("BKA_GetCurrentMailBox", nullptr);
  return currentMailbox.c_str();
}

const char* HostState::GetCurrentMail() {
  RecordCall("BKA_GetCurrentMail", nullptr);
  return currentMail.c_str();
}

int HostState::GetStatus(const char* mailId) {
  RecordCall("BKA_GetStatus", mailId);
  auto mail = mails.find(TextOrEmpty(mailId));
  int status = mail != mails.end() ? static_cast<int>(mail->second.status) : 0;
  journal.back().result = status;
  return status;
}

int HostState::SetStatus(const char* mailId, int value, int mask) {
  RecordCall("BKA_SetStatus", mailId);
  journal.back().value = value;
  journal.back().mask = mask;
  auto mail = mails.find(TextOrEmpty(mailId));
  if (mail == mails.end()) return 0;
  mail->second.status |= static_cast<uint32_t>(value);
  return 1;
}

const char* HostState::GetHeader(const char* mailId) {
  RecordCall("BKA_GetHeader", mailId);
  auto mail = mails.find(TextOrEmpty(mailId));
  if (mail == mails.end() || !mail->second.header) return nullptr;
  return mail->second.header->c_str();
}

int HostState::AnswerUncalled(const char* function) {
  RecordCall(function, nullptr);
  return 0;
}

void HostState::RecordDebugWrite(std::string text) {
  HostEvent event;
  event.kind = HostEvent::Kind::kDebugWrite;
  event.text = std::move(text);
  journal.push_back(std::move(event));
}

void HostState::RecordCall(const char* function, const char* mailId) {
  HostEvent event;
  event.function = function;
  event.text = TextOrEmpty(mailId);
  journal.push_back(std::move(event));
}

HostState& TheHost() {
  static HostState host;
  return host;
}

}  // namespace standin
}  // namespace corvane
