#include "crosspost/crosspost_reader.h"

#include "crosspost/settings_store.h"
#include "host/host_api.h"
#include "host/host_names.h"

namespace corvane {

namespace {

bool IsRead(const char* mailId) {
  return (hostApi.BKA_GetStatus(mailId) & kReadFlag) != 0;
}

}  // namespace

CrosspostReader::CrosspostReader() = default;

CrosspostReader::~CrosspostReader() {
  for (auto& mailboxRules : rulesByMailbox) mailboxRules.second.reset();
  rulesByMailbox.clear();
  pendingMailId.clear();
}

void CrosspostReader::OnOpenMail(const char* mailId) {
  SettingsStore hostSettings(kHostCompanyName, kHostApplicationName);

  // The pending mail is looked at before the opened one, so that a copy of
  // it that the user opens next is already marked and not propagated again.
  if (!pendingMailId.empty() && IsRead(pendingMailId.c_str())) {
    PropagateRead(pendingMailId.c_str());
  }
  if (IsRead(mailId)) {
    pendingMailId.clear();
    return;
  }
  if (hostSettings.GetInt("settings", "AlwaysRead", 0) != 0) {
    pendingMailId.clear();
    PropagateRead(mailId);
    return;
  }
  pendingMailId = mailId;
}

}  // namespace corvane
