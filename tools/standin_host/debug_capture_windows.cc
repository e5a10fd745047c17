// OutputDebugStringA tells a debugger about each write by raising
// DBG_PRINTEXCEPTION_C with the text's length (terminator included) and
// address. A vectored handler sees that exception first, keeps the text and
// lets the write return as if a debugger had taken it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "tools/standin_host/debug_capture.h"
#include "tools/standin_host/host_state.h"

namespace corvane {
namespace standin {

namespace {

constexpr DWORD kDebugPrintException = 0x40010006;  // DBG_PRINTEXCEPTION_C

LONG CALLBACK CatchDebugWrite(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception->ExceptionRecord;
  if (record->ExceptionCode != kDebugPrintException ||
      record->NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  size_t lengthWithTerminator = record->ExceptionInformation[0];
  const char* text =
      reinterpret_cast<const char*>(record->ExceptionInformation[1]);
  std::string written;
  if (text != nullptr && lengthWithTerminator > 0) {
    written.assign(text, lengthWithTerminator - 1);
  }
  TheHost().RecordDebugWrite(std::move(written));
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void StartDebugCapture() {
  static PVOID handler =
      ::AddVectoredExceptionHandler(/*First=*/1, CatchDebugWrite);
  (void)handler;
}

}  // namespace standin
}  // namespace corvane
