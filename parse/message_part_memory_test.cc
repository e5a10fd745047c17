// What parsing costs in memory, for texts built to exhaust it: the parse may
// keep the tree it builds and one line buffer, nothing per level or line.
//
// The bytes are counted by a replacement of the global operator new. It
// serves the whole test program, but counts only while a test here arms it
// and otherwise just forwards to malloc and free; no other test relies on
// it. Under the address sanitizer it is left out, so that the sanitizer
// keeps its own allocator and checks for the whole program; the tests here
// then still parse and check the tree, without the count.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "gtest/gtest.h"
#include "parse/message_part.h"
#include "parse/message_part_test_util.h"

#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_UNDER_ASAN 1
#endif
#endif

namespace corvane {
namespace {

#if defined(CORVANE_UNDER_ASAN)
constexpr bool kCountsAllocations = false;
#else
constexpr bool kCountsAllocations = true;
#endif

// Bytes asked for through operator new. The tests run on one thread.
struct AllocationCount {
  bool armed = false;
  std::size_t live = 0;  // Counted blocks not yet freed.
  std::size_t peak = 0;  // Highest `live` since the count was armed.
};
AllocationCount allocations;

// Counts the bytes asked for while it exists; Peak() is the most that was
// held at once, of what was asked for in its life.
class ScopedAllocationCount {
 public:
  ScopedAllocationCount() : start(allocations.live) {
    allocations.peak = allocations.live;
    allocations.armed = true;
  }
  ~ScopedAllocationCount() { allocations.armed = false; }
  std::size_t Peak() const { return allocations.peak - start; }

 private:
  std::size_t start;
};

}  // namespace
}  // namespace corvane

#if !defined(CORVANE_UNDER_ASAN)

namespace {

// Each block starts with the number of counted bytes in it (0 when it was
// not counted), padded to keep the caller's block aligned.
constexpr std::size_t kBlockHeader = alignof(std::max_align_t);

void* CountedAllocate(std::size_t size) {
  void* block = std::malloc(kBlockHeader + size);
  if (block == nullptr) throw std::bad_alloc();
  corvane::AllocationCount& count = corvane::allocations;
  std::size_t counted = count.armed ? size : 0;
  *static_cast<std::size_t*>(block) = counted;
  count.live += counted;
  count.peak = std::max(count.peak, count.live);
  return static_cast<char*>(block) + kBlockHeader;
}

void CountedFree(void* memory) {
  if (memory == nullptr) return;
  char* block = static_cast<char*>(memory) - kBlockHeader;
  corvane::allocations.live -= *reinterpret_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* memory) noexcept { CountedFree(memory); }
void operator delete[](void* memory) noexcept { CountedFree(memory); }
void operator delete(void* memory, std::size_t) noexcept {
  CountedFree(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  CountedFree(memory);
}

#endif  // !defined(CORVANE_UNDER_ASAN)

namespace corvane {
namespace {

using test::CopyText;
using test::ForEachPart;
using test::MaxDepth;

// What the tree must hold: each line as an entry with its text, each
// sub-part, each boundary copy.
std::size_t StoredBytes(const MessagePart& top) {
  std::size_t bytes = 0;
  ForEachPart(top, [&](const MessagePart& part, int depth) {
    if (depth > 1) bytes += sizeof(MessagePart);
    if (part.Boundary() != nullptr) bytes += std::strlen(part.Boundary()) + 1;
    for (const LineList* list :
         {&part.HeaderLines(), &part.BodyLines(), &part.TrailerLines()}) {
      for (const LineNode* node = list->Head(); node != nullptr;
           node = node->next) {
        bytes += sizeof(LineNode) + node->length + 1;
      }
    }
  });
  return bytes;
}

// One line buffer (65540 bytes) and a little.
constexpr std::size_t kWorkingBytes = 65540 + 1024;

// Parses `text` as a whole message and checks that the parse held no more
// than the tree it built and kWorkingBytes. The figures go to the test
// report under `label`.
void ExpectParsedInBoundedMemory(const std::string& label,
                                 const std::string& text, MessagePart& part) {
  std::unique_ptr<char[]> copy = CopyText(text);
  const char* cursor = copy.get();
  std::size_t peak;
  {
    ScopedAllocationCount count;
    part.Parse(&cursor, nullptr);
    peak = count.Peak();
  }
  const std::size_t stored = StoredBytes(part);
  // The tree grows with the text: for these texts, whose worst case is a
  // part with three lines for every 50 bytes, by a small factor.
  EXPECT_LE(stored, 8 * text.size());
  ::testing::Test::RecordProperty(label + "_text_bytes",
                                  std::to_string(text.size()));
  ::testing::Test::RecordProperty(label + "_stored_bytes",
                                  std::to_string(stored));
  if (kCountsAllocations) {
    ::testing::Test::RecordProperty(label + "_peak_bytes",
                                    std::to_string(peak));
    EXPECT_LE(peak, stored + kWorkingBytes) << "stored " << stored;
  }
}

TEST(MessagePartMemoryTest, TenMegabyteHeader) {
  std::string text;
  const std::string filler(70, 'v');
  for (int line = 0; text.size() < 10 * 1024 * 1024; ++line) {
    text += "X-Filler-" + std::to_string(line) + ": " + filler + "\r\n";
    if (line % 1000 == 0) text += "\t" + filler + "\r\n";
    if (line % 50000 == 0) {
      text += "X-Long: " + std::string(300000, 'w') + "\r\n";
    }
  }
  text += "\r\n";
  MessagePart part;
  ExpectParsedInBoundedMemory("header", text, part);
  EXPECT_EQ(nullptr, part.FirstChild());
}

TEST(MessagePartMemoryTest, HundredThousandLevelsStayAtTheDepthLimit) {
  constexpr int kLevels = 100000;
  for (bool sameBoundary : {false, true}) {
    SCOPED_TRACE(sameBoundary ? "same boundary" : "a boundary per level");
    std::string text;
    for (int level = 1; level <= kLevels; ++level) {
      const std::string boundary =
          sameBoundary ? "b" : "b" + std::to_string(level) + ".";
      text += "Content-Type: multipart/mixed; boundary=" + boundary +
              "\r\n\r\n--" + boundary + "\r\n";
    }
    text += "\r\nleaf\r\n";
    MessagePart part;
    ExpectParsedInBoundedMemory(sameBoundary ? "same" : "own", text, part);
    EXPECT_EQ(MessagePart::kMaxDepth, MaxDepth(part));
  }
}

}  // namespace
}  // namespace corvane
