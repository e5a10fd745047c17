// PlatformWrapper: passes every call to another platform. Tests derive from
// it to watch or change a few calls of the real platform.

#ifndef CORVANE_TESTS_PLATFORM_WRAPPER_H_
#define CORVANE_TESTS_PLATFORM_WRAPPER_H_

#include "platform/platform.h"

namespace corvane {
namespace test {

class PlatformWrapper : public Platform {
 public:
  // `target` must outlive the wrapper.
  explicit PlatformWrapper(Platform& target) : target(target) {}

  void* MainProgram() override { return target.MainProgram(); }
  ExportedFunction FindExport(void* program, const char* name) override {
    return target.FindExport(program, name);
  }
  int CompareText(const char* a, const char* b) override {
    return target.CompareText(a, b);
  }
  UserKey UserRoot() override { return target.UserRoot(); }
  UserKey OpenUserKey(UserKey parent, const char* name) override {
    return target.OpenUserKey(parent, name);
  }
  bool ReadUserValue(UserKey key, const char* name, void* data,
                     uint32_t* size) override {
    return target.ReadUserValue(key, name, data, size);
  }
  void CloseUserKey(UserKey key) override { target.CloseUserKey(key); }
  FileHandle OpenFileForReading(const char* path) override {
    return target.OpenFileForReading(path);
  }
  bool GetFileLength(FileHandle file, uint64_t* length) override {
    return target.GetFileLength(file, length);
  }
  int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                     uint32_t size) override {
    return target.ReadFileAt(file, offset, buffer, size);
  }
  void CloseFile(FileHandle file) override { target.CloseFile(file); }
  bool QueryFileStatus(const char* path, int64_t* modified) override {
    return target.QueryFileStatus(path, modified);
  }
  void WriteDebugText(const char* text) override {
    target.WriteDebugText(text);
  }
  bool ReadLibraryVersion(void* instance, uint16_t parts[4]) override {
    return target.ReadLibraryVersion(instance, parts);
  }
  bool IsLeadByte(unsigned char byte) override {
    return target.IsLeadByte(byte);
  }

 private:
  Platform& target;
};

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_TESTS_PLATFORM_WRAPPER_H_
