#include "crosspost/folder_index_match.h"

#include <cassert>
#include <cstring>
#include <string>

namespace corvane {

namespace {

// A record counts with at least 14 fields, that is 13 separators.
constexpr int kSeparatorsOfShortestRecord = 13;
constexpr int kKeyField = 1;
constexpr int kIdField = 6;

// Sampling takes the four bytes at each sample, so a window must be clearly
// longer than four for the samples to lie far apart; and its places must fit
// the table's 16-bit links.
constexpr size_t kShortestSampledWindow = 8;
constexpr size_t kLongestSampledWindow = 4096;
constexpr int kHashBits = 12;
constexpr size_t kHashSlots = size_t{1} << kHashBits;

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned char FoldAsciiCase(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool SameIgnoringAsciiCase(char a, char b) {
  return FoldAsciiCase(static_cast<unsigned char>(a)) ==
         FoldAsciiCase(static_cast<unsigned char>(b));
}

// Eight bytes at a time, in whatever order the machine keeps them: every
// test below works on each byte by itself, so the order never matters.
constexpr uint64_t kEachByte = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

uint64_t EightCopies(unsigned char c) { return kEachByte * c; }

uint64_t LoadEight(const char* p) {
  uint64_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return bytes;
}

// A hash of the four bytes at `p` that ignores letter case: an OR with 0x20
// folds 'A'-'Z' onto 'a'-'z'. It folds a few other pairs of bytes as well
// ('@' and '`', say), which costs an extra look at a window now and then but
// never hides one.
size_t HashFourBytes(const char* p) {
  uint32_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return ((bytes | 0x20202020u) * 2654435761u) >> (32 - kHashBits);
}

// True when one of the eight bytes is zero. Borrows may mark a byte above a
// zero byte as well, but never mark anything when no byte is zero.
bool HasZeroByte(uint64_t bytes) {
  return ((bytes - kEachByte) & ~bytes & kHighBits) != 0;
}

}  // namespace

RecordMatcher::RecordMatcher(const char* id, size_t idLength)
    : id(id), idLength(idLength) {}

RecordMatcher::Outcome RecordMatcher::Feed(const char* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    char c = bytes[i];
    if (c == '\n' || c == '\0') return kNoMatch;
    if (c == kIndexFieldSeparator) {
      ++separators;
      if (separators == kKeyField) {
        keyBegin = fed + i + 1;
      } else if (separators == kKeyField + 1) {
        keyEnd = fed + i;
      } else if (separators == kIdField + 1) {
        if (idBytesMatched != idLength) return kNoMatch;
      } else if (separators == kSeparatorsOfShortestRecord) {
        return kMatch;
      }
    } else if (separators == kIdField) {
      if (idBytesMatched == idLength ||
          !SameIgnoringAsciiCase(c, id[idBytesMatched])) {
        return kNoMatch;
      }
      ++idBytesMatched;
    }
  }
  fed += size;
  return kUndecided;
}

IdWindowFinder::IdWindowFinder(const char* id, size_t idLength)
    : id(id), idLength(idLength), windowLength(idLength + 2) {
  assert(idLength >= 1);
  if (windowLength >= kShortestSampledWindow &&
      windowLength <= kLongestSampledWindow) {
    std::string window =
        kIndexFieldSeparator + std::string(id, idLength) + kIndexFieldSeparator;
    size_t places = windowLength - 3;  // where four bytes of it start
    chains.reset(new uint16_t[kHashSlots + places]());
    uint16_t* heads = chains.get();
    uint16_t* links = heads + kHashSlots;
    // Each chain ascends by place, so that the windows one sample meets
    // come out from the rightmost.
    for (size_t place = places; place-- > 0;) {
      size_t slot = HashFourBytes(window.data() + place);
      links[place] = heads[slot];
      heads[slot] = static_cast<uint16_t>(place + 1);
    }
  }
  unsigned char first = static_cast<unsigned char>(id[0]);
  unsigned char last = static_cast<unsigned char>(id[idLength - 1]);
  // An OR with 0x20 turns 'A'-'Z' into 'a'-'z' and leaves 'a'-'z' alone,
  // and of all bytes only those two letters give the small one; so it folds
  // exactly, as long as it is applied only where the id holds a letter.
  firstMask = IsAsciiLetter(first) ? EightCopies(0x20) : 0;
  firstValue = EightCopies(FoldAsciiCase(first));
  lastMask = IsAsciiLetter(last) ? EightCopies(0x20) : 0;
  lastValue = EightCopies(FoldAsciiCase(last));
}

bool IdWindowFinder::IsWindow(const char* start) const {
  if (start[0] != kIndexFieldSeparator ||
      start[windowLength - 1] != kIndexFieldSeparator) {
    return false;
  }
  for (size_t i = 0; i < idLength; ++i) {
    if (!SameIgnoringAsciiCase(start[1 + i], id[i])) return false;
  }
  return true;
}

// Rules out the eight windows starting at first .. first + 7 together, by
// the two separators and the id's first and last bytes. Real records hold a
// separator every few bytes but rarely all four bytes at the right distance,
// so this leaves few windows for IsWindow.
bool IdWindowFinder::GroupMayHoldWindow(const char* first) const {
  const uint64_t separators = EightCopies(kIndexFieldSeparator);
  uint64_t differing =
      (LoadEight(first) ^ separators) |
      ((LoadEight(first + 1) | firstMask) ^ firstValue) |
      ((LoadEight(first + windowLength - 2) | lastMask) ^ lastValue) |
      (LoadEight(first + windowLength - 1) ^ separators);
  return HasZeroByte(differing);
}

const char* IdWindowFinder::FindLast(const char* begin, const char* end) const {
  return chains != nullptr ? FindLastBySampling(begin, end)
                           : FindLastInGroups(begin, end);
}

// A window starting at w holds four bytes starting at each of the
// windowLength - 3 places w .. w + windowLength - 4. Samples that far apart
// therefore meet every window exactly once, and the windows that one sample
// meets all lie right of those that the next one down meets; so testing each
// sample's candidates from the right finds the rightmost window first. Most
// samples are dismissed by one look at the hash table.
const char* IdWindowFinder::FindLastBySampling(const char* begin,
                                               const char* end) const {
  size_t size = static_cast<size_t>(end - begin);
  if (size < windowLength) return nullptr;
  const uint16_t* heads = chains.get();
  const uint16_t* links = heads + kHashSlots;
  const size_t stride = windowLength - 3;
  size_t sample = size - 4;  // the last four bytes
  for (;;) {
    for (uint16_t link = heads[HashFourBytes(begin + sample)]; link != 0;
         link = links[link - 1]) {
      size_t place = link - 1u;
      if (sample < place) break;  // and so for the rest of the chain
      size_t start = sample - place;
      if (start + windowLength <= size && IsWindow(begin + start)) {
        return begin + start;
      }
    }
    if (sample < stride) return nullptr;
    sample -= stride;
  }
}

const char* IdWindowFinder::FindLastInGroups(const char* begin,
                                             const char* end) const {
  size_t size = static_cast<size_t>(end - begin);
  if (size < windowLength) return nullptr;
  // Windows may start at [0, unchecked). A group of eight reads exactly the
  // bytes of its eight windows, so it stays inside as long as they do.
  size_t unchecked = size - windowLength + 1;
  while (unchecked >= 8) {
    const char* group = begin + unchecked - 8;
    if (GroupMayHoldWindow(group)) {
      for (size_t k = 8; k-- > 0;) {
        if (IsWindow(group + k)) return group + k;
      }
    }
    unchecked -= 8;
  }
  while (unchecked > 0) {
    --unchecked;
    if (IsWindow(begin + unchecked)) return begin + unchecked;
  }
  return nullptr;
}

}  // namespace corvane
