// Index files shaped like the host's, and the straightforward way of
// searching one, shared by the benchmarks.

#ifndef CORVANE_BENCHMARKS_INDEX_FILES_H_
#define CORVANE_BENCHMARKS_INDEX_FILES_H_

#include <cstdint>
#include <string>

namespace corvane {
namespace bench {

// The Message-Id of record number `record`: unique, about 35 bytes.
std::string MessageIdOf(int record);

// Record number `record`, about 250 bytes with its line feed, shaped like
// the host's: key, date, sender, subject, group, Message-Id, References,
// sizes and flags; its key (field 1) is 1000 + record.
std::string RecordOf(int record);

// Writes an index of `records` records to `path`; returns its size.
uint64_t WriteIndexFile(const std::string& path, int records);

// The straightforward search: reads the whole file into one buffer of
// length + 1, then cuts records off its end and splits each into fields.
bool FindStraightforwardly(const char* path, const char* messageId,
                           std::string* key);

}  // namespace bench
}  // namespace corvane

#endif  // CORVANE_BENCHMARKS_INDEX_FILES_H_
