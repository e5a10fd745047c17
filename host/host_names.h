// Where the host keeps its own settings: software\<company>\<application>
// below the current user's settings. A host packaged by another vendor keeps
// them elsewhere, so the build may set both names (CMake cache variables
// CORVANE_HOST_COMPANY and CORVANE_HOST_APPLICATION).

#ifndef CORVANE_HOST_HOST_NAMES_H_
#define CORVANE_HOST_HOST_NAMES_H_

#ifndef CORVANE_HOST_COMPANY
#define CORVANE_HOST_COMPANY "Ostrel"
#endif
#ifndef CORVANE_HOST_APPLICATION
#define CORVANE_HOST_APPLICATION "Mailer"
#endif

namespace corvane {

constexpr char kHostCompanyName[] = CORVANE_HOST_COMPANY;
constexpr char kHostApplicationName[] = CORVANE_HOST_APPLICATION;

}  // namespace corvane

#endif  // CORVANE_HOST_HOST_NAMES_H_
