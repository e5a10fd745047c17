// How functions that cross the host boundary are declared.
//
// The host calls the plug-in, and the plug-in calls the host, with the
// stdcall convention: the callee removes its arguments from the stack, so a
// wrong argument count corrupts the caller's stack. Only 32-bit Windows
// distinguishes stdcall; elsewhere the macro is empty.

#ifndef CORVANE_PLATFORM_CALLING_CONVENTION_H_
#define CORVANE_PLATFORM_CALLING_CONVENTION_H_

#if defined(_WIN32)
#define CORVANE_STDCALL __stdcall
#else
#define CORVANE_STDCALL
#endif

// Marks a function that the library exports. On Windows the module
// definition file decides the exports and their ordinals; elsewhere the
// library is built with hidden visibility and exports what carries this mark.
#if defined(_WIN32)
#define CORVANE_EXPORT
#else
#define CORVANE_EXPORT __attribute__((visibility("default")))
#endif

#endif  // CORVANE_PLATFORM_CALLING_CONVENTION_H_
