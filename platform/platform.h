// The services Corvane takes from the operating system, behind one seam.
//
// The plug-in's logic never calls the operating system itself: it asks the
// current Platform. Each build compiles exactly one implementation
// (platform_windows.cc or platform_posix.cc); tests may put another in place
// with Platform::Replace, as a fake or as a wrapper around the real one.
//
// All calls happen on the host's calling thread, one at a time; nothing here
// takes a lock.

#ifndef CORVANE_PLATFORM_PLATFORM_H_
#define CORVANE_PLATFORM_PLATFORM_H_

#include <cstdint>

#include "platform/calling_convention.h"

namespace corvane {

// An exported function of the main program, as the lookup yields it. The
// caller converts it to the function's real type before calling it.
using ExportedFunction = void(CORVANE_STDCALL*)();

// An open key of the per-user settings store (a registry key on Windows).
using UserKey = void*;

// A file opened for reading.
using FileHandle = void*;

class Platform {
 public:
  virtual ~Platform() = default;

  // The platform in use. Never null; the build's own unless Replace put
  // another in place. The result is not owned by the caller.
  static Platform& Current();

  // Puts `replacement` in place and returns the one it replaces; null brings
  // back the build's own. The caller keeps ownership and must restore the
  // previous platform before `replacement` is destroyed. For tests.
  static Platform* Replace(Platform* replacement);

  // --- The main program and its exports ---

  // The handle of the process's main program, or null when there is none.
  virtual void* MainProgram() = 0;
  // The function that `program` exports under `name`, or null.
  virtual ExportedFunction FindExport(void* program, const char* name) = 0;
  // Compares two texts the way the platform orders them (lstrcmpA on
  // Windows, unsigned bytes elsewhere): negative, zero or positive.
  virtual int CompareText(const char* a, const char* b) = 0;

  // --- Per-user settings, read only ---

  // The root of the current user's settings (HKEY_CURRENT_USER). Never
  // closed.
  virtual UserKey UserRoot() = 0;
  // Opens the subkey `name` of `parent` for reading; null when it cannot be
  // opened. The caller closes a non-null result with CloseUserKey.
  virtual UserKey OpenUserKey(UserKey parent, const char* name) = 0;
  // Reads the data of value `name` of `key` into `data`, which has room for
  // `*size` bytes, and sets `*size` to the bytes stored. False, with `data`
  // unchanged, when the value is missing or larger than `*size`.
  virtual bool ReadUserValue(UserKey key, const char* name, void* data,
                             uint32_t* size) = 0;
  virtual void CloseUserKey(UserKey key) = 0;

  // --- Files, read only ---

  // Opens `path` for reading, in binary mode, without denying other
  // processes read or write access: the host may be writing the file. Null
  // when it cannot be opened. The caller closes a non-null result with
  // CloseFile.
  virtual FileHandle OpenFileForReading(const char* path) = 0;
  // The file's full length in bytes. False when it cannot be told.
  virtual bool GetFileLength(FileHandle file, uint64_t* length) = 0;
  // Reads up to `size` bytes from `offset` into `buffer` and returns how
  // many it read: fewer at the end of the file, and -1 on an error.
  virtual int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                             uint32_t size) = 0;
  virtual void CloseFile(FileHandle file) = 0;
  // The file status query: true when `path` names an existing file or
  // folder, with its modification time in whole seconds in `*modified`
  // (which may be null).
  virtual bool QueryFileStatus(const char* path, int64_t* modified) = 0;

  // --- Diagnostics ---

  // Writes `text` to the system's debug output as one write.
  virtual void WriteDebugText(const char* text) = 0;

  // --- The library itself ---

  // Reads the fixed file version of the library loaded as `instance` into
  // `parts` (major, minor, build, revision). False, with `parts` unchanged,
  // when the library carries no version information or it cannot be read.
  virtual bool ReadLibraryVersion(void* instance, uint16_t parts[4]) = 0;

  // --- Text ---

  // True when `byte` starts a double-byte character in the code page that
  // the process took at start-up.
  virtual bool IsLeadByte(unsigned char byte) = 0;
};

}  // namespace corvane

#endif  // CORVANE_PLATFORM_PLATFORM_H_
