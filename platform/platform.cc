#include "platform/platform.h"

namespace corvane {

// Defined by the one implementation file that the build compiles.
Platform& BuildPlatform();

namespace {
Platform* replacement = nullptr;
}  // namespace

Platform& Platform::Current() {
  return replacement != nullptr ? *replacement : BuildPlatform();
}

Platform* Platform::Replace(Platform* next) {
  Platform* previous = replacement;
  replacement = next;
  return previous;
}

}  // namespace corvane
