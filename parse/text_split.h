// Helpers that take NUL-terminated byte texts apart in place.
//
// All of them work on memory the caller owns and allocate nothing.
// NextParameter, SplitFields and TrimSpace write NUL bytes into the text they
// are given and return pointers into it, valid as long as that text is.
// ReadLine only reads its text and writes into the caller's buffer.
// No state is kept between calls; any thread may call them, as long as no
// two calls write the same text.

#ifndef CORVANE_PARSE_TEXT_SPLIT_H_
#define CORVANE_PARSE_TEXT_SPLIT_H_

namespace corvane {

// Takes the next line off the text cursor `*cursor` into `buffer` (`size`
// bytes) and advances the cursor past what it took. Every line end (LF, CR,
// or CR LF) is stored as one LF; a line longer than size - 1 bytes is cut
// there and the rest comes with the next call. Returns the number of bytes
// stored, line end included; 0 at the end of the text, with neither the
// buffer nor the cursor changed. The stored bytes always end with a NUL and
// never hold a CR; a result whose last stored byte is LF is a whole line.
// A NUL ends the text: the cursor stays on it. With size 1 only the NUL is
// stored and the cursor does not move.
// REQUIRES: size >= 1.
int ReadLine(const char** cursor, char* buffer, int size);

// 1 for the white space of header syntax (tab, LF, CR, blank), else 0;
// vertical tab and form feed are not white space here. Only the low 8 bits
// of `c` count.
int IsSpaceChar(int c);

// Takes one "name=value" parameter off a header's parameter list. Sets
// `*name` and `*value` to the parameter's name and value (a quoted value
// without its quotes) and returns where the next parameter may begin, which
// may be the terminating NUL. Returns null, with both outputs null and the
// text unchanged, when no '=' is left.
// Blanks, tabs, CRs, LFs and ';' before the name are stepped over; the name
// is not trimmed ("boundary = x" gives the name "boundary "; "a; b=1" gives
// "a; b"). A quoted value runs to the next double quote or the end of the
// text, with no escapes; an unquoted one ends at a blank, tab, CR, LF or ';'.
char* NextParameter(char* text, char** name, char** value);

// Cuts `text` at each `separator` into at most `capacity` fields, stores a
// pointer to each in `fields` and returns how many it stored. Empty fields
// count, and separators are never merged. The last stored field is cut at
// its separator too: when the text has more fields than `capacity`, the
// text after that separator belongs to no field. A null text or a capacity
// below 1 gives 0 and leaves the text as it was.
// REQUIRES: separator is not NUL; fields has room for capacity pointers.
int SplitFields(char* text, char separator, char** fields, int capacity);

// Cuts the white space off the end of `text` and returns a pointer to its
// first character that is not white space (null for a null text); leading
// white space is only stepped over, not written. White space is the C
// locale's (tab, LF, vertical tab, form feed, CR, blank), whatever the
// process's locale. Steps by character, with the lead bytes that
// Platform::Current() reports, so the trail byte of a double-byte character
// is never taken for white space; a lead byte just before the terminating
// NUL counts as one byte.
char* TrimSpace(char* text);

}  // namespace corvane

#endif  // CORVANE_PARSE_TEXT_SPLIT_H_
