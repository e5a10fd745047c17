// Finds a message in a folder's index file (Folder.idx) by its Message-Id.
//
// The index is the host's, and the host may append to it while it is read.
// A lookup therefore takes the file's length once, at its start, and never
// looks past it; it keeps nothing between calls and opens, reads and closes
// the file through Platform::Current() every time. Runs on the calling
// thread; lookups share no state.
//
// What the search relies on in the file:
// - Its first byte is the format version, '2'; an index with any other first
//   byte holds nothing. The first line is the header and never a record.
// - Every further line is one record: a line ends at a line feed, and the
//   text after the last line feed is a record too. A NUL byte ends the
//   record that holds it, at that byte.
// - A record's fields are separated by the byte 0x01 and numbered from 0. A
//   record counts when it has at least 14 fields. Field 1 is the message's
//   key within the folder, field 6 its Message-Id. A CR before the line feed
//   stays in the last field, so it never touches fields 1 and 6.
//
// The file is read from its end in blocks and the search stops at the first
// record that matches, so a lookup costs what lies between the match and the
// end of the file, not the file's size. Memory stays at two blocks and a
// table of about 8 KiB for the message id, whatever the file holds: a record
// too long to be carried from one block to the next is read again from the
// file, from its start, instead of being held. A record that long can still
// match, since only its field 6 has to be as short as the id, so it cannot
// simply be skipped; but a single line of hundreds of megabytes then costs
// reading time, not memory. Only the key of a match is copied out whole.

#ifndef CORVANE_CROSSPOST_FOLDER_INDEX_H_
#define CORVANE_CROSSPOST_FOLDER_INDEX_H_

#include <cstdint>
#include <string>

namespace corvane {

// The bytes a lookup reads at a time.
constexpr uint32_t kFolderIndexBlockSize = 64 * 1024;

// Searches the index file at `indexPath` for the record nearest the end of
// the file whose field 6 equals `messageId` whole, ASCII letters A-Z taken
// as equal to a-z and every other byte compared as it is; nothing is
// trimmed. On a match stores that record's field 1 in `*key` and returns
// true. Returns false, with `*key` unchanged, when nothing matches, when the
// file cannot be opened or read, or when memory runs out. A null or empty
// message id matches nothing, and then the file is not even opened; neither
// is it for an id holding a line feed or the byte 0x01, which no field can.
bool FindKeyByMessageId(const char* indexPath, const char* messageId,
                        std::string* key);

// The same, reading `blockSize` bytes at a time. For tests and the fuzzer,
// whose tiny blocks put a block boundary at every place in a record.
// REQUIRES: 1 <= blockSize <= 1 GiB.
bool FindKeyByMessageIdInBlocks(const char* indexPath, const char* messageId,
                                uint32_t blockSize, std::string* key);

}  // namespace corvane

#endif  // CORVANE_CROSSPOST_FOLDER_INDEX_H_
