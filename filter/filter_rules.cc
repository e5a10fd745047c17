#include "filter/filter_rules.h"

namespace corvane {

FilterRules::FilterRules(const char* dataFolder, const char* mailboxId)
    : rulesPath(std::string(dataFolder) + mailboxId + "IFilter.def") {}

FilterRules::~FilterRules() = default;

// The rules file is not read yet, so no group has a rule and every group
// takes the folder named after it.
const char* FilterRules::FolderForGroup(const char* /*group*/) {
  return nullptr;
}

}  // namespace corvane
