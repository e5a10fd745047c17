// The two halves of deciding whether an index record holds a message id:
// IdWindowFinder picks out the few places in a run of records where the id
// could be a whole field, and RecordMatcher then reads one record from its
// start and tells whether its field 6 is the id. Both ignore the case of
// ASCII letters only. Used by folder_index.cc; split out so that each half
// can be read on its own.
//
// Neither copies the message id: it must outlive them. Only IdWindowFinder
// allocates, a table of about 8 KiB, and may throw std::bad_alloc.

#ifndef CORVANE_CROSSPOST_FOLDER_INDEX_MATCH_H_
#define CORVANE_CROSSPOST_FOLDER_INDEX_MATCH_H_

#include <cstddef>
#include <cstdint>
#include <memory>

namespace corvane {

// Separates the fields of a record.
constexpr char kIndexFieldSeparator = '\x01';

// Reads one record's bytes in order from its first byte, in as many pieces
// as the caller likes, and decides as early as it can whether the record
// matches: field 6 equal to the id, and at least 14 fields before the record
// ends. A line feed or a NUL ends the record.
class RecordMatcher {
 public:
  enum Outcome { kUndecided, kMatch, kNoMatch };

  // REQUIRES: `id` holds `idLength` bytes, none of them a line feed or the
  // field separator.
  RecordMatcher(const char* id, size_t idLength);

  // Takes the next `size` bytes of the record. Returns kUndecided while the
  // bytes still to come could change the outcome; a record that ends while
  // undecided does not match. Once decided, the matcher must not be fed
  // again.
  Outcome Feed(const char* bytes, size_t size);

  // Where field 1, the key, lies, as offsets from the record's first byte.
  // Valid after kMatch.
  uint64_t KeyBegin() const { return keyBegin; }
  uint64_t KeyEnd() const { return keyEnd; }

 private:
  const char* id;
  size_t idLength;
  uint64_t fed = 0;  // bytes taken before the current piece
  int separators = 0;
  size_t idBytesMatched = 0;  // of field 6, so far
  uint64_t keyBegin = 0;
  uint64_t keyEnd = 0;
};

// Finds the windows of text that hold a separator, the id, and a separator:
// the only places where a field can equal the id. A record matches only if
// it holds one, but a window may as well stand in a field other than 6, so
// every window found must still be checked with RecordMatcher.
//
// Looks at the text far faster than byte by byte: an id of usual length is
// found by sampling the text at intervals shorter than the id, and a short
// one by testing eight places at a time. Either way a window is found in
// time that grows with the text, never with the text times the id.
class IdWindowFinder {
 public:
  // REQUIRES: `id` holds `idLength` >= 1 bytes.
  IdWindowFinder(const char* id, size_t idLength);

  IdWindowFinder(const IdWindowFinder&) = delete;
  IdWindowFinder& operator=(const IdWindowFinder&) = delete;

  // The start of the rightmost window lying wholly in [begin, end), or null.
  const char* FindLast(const char* begin, const char* end) const;

 private:
  const char* FindLastBySampling(const char* begin, const char* end) const;
  const char* FindLastInGroups(const char* begin, const char* end) const;
  bool IsWindow(const char* start) const;
  bool GroupMayHoldWindow(const char* first) const;

  const char* id;
  size_t idLength;
  size_t windowLength;

  // For sampling: the id's positions, chained by a hash of the four bytes
  // that start there; kHashSlots chain heads, then one link per position,
  // each holding a position + 1 (0 ends a chain). Null for a short id.
  std::unique_ptr<uint16_t[]> chains;

  // For groups: eight copies of the byte that each of the id's end bytes
  // must equal, after an OR with the mask that folds letter case (zero for a
  // byte that is not a letter).
  uint64_t firstMask;
  uint64_t firstValue;
  uint64_t lastMask;
  uint64_t lastValue;
};

}  // namespace corvane

#endif  // CORVANE_CROSSPOST_FOLDER_INDEX_MATCH_H_
