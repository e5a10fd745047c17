// The plug-in's trace lines on the system's debug output: a label, a value
// and a line end, written as three separate writes. Nothing reads them back;
// they let a user with a debug-output viewer see what the plug-in did.

#ifndef CORVANE_CROSSPOST_TRACE_H_
#define CORVANE_CROSSPOST_TRACE_H_

namespace corvane {

// The labels are Japanese, stored as code page 932 bytes, as the host's
// users read them.
// "カレントメールID:" (current mail ID), before the host's current mail.
constexpr char kCurrentMailLabel[] = "\x83\x4A\x83\x8C\x83\x93\x83\x67\x83\x81\x81\x5B\x83\x8B\x49\x44\x3A";
// "既読対象メールID:" (mail ID to mark as read), before each copy marked.
constexpr char kMarkReadLabel[] = "\x8A\xF9\x93\xC7\x91\xCE\x8F\xDB\x83\x81\x81\x5B\x83\x8B\x49\x44\x3A";

// Writes `label`, `value` (nothing for a null value) and "\n".
void WriteTraceLine(const char* label, const char* value);

}  // namespace corvane

#endif  // CORVANE_CROSSPOST_TRACE_H_
