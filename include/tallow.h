/* tallow.h - the public interface of TallowCore.
 *
 * Hosts embed the engine through the program and object exports below;
 * extension libraries (".tlx") implement the entry points declared at the end
 * and call back into the engine through the call-back exports. This header is
 * plain C and compiles as C and as C++. Nothing else needs to be included.
 *
 * Widths: on 32-bit Windows every handle and value below is 32 bits wide. On
 * the 64-bit Linux build they are pointer-sized, so a host or an extension can
 * keep an address in them there too. On Linux a standard-input or
 * standard-output handle is a file descriptor carried in the pointer-sized
 * TallowFile slot: (TallowFile)(intptr_t)fd.
 *
 * Strings are NUL-terminated 8-bit strings. A string the engine returns from a
 * call-back is the caller's and must be released with FreeString; a string an
 * extension hands to the engine stays the extension's.
 *
 * Tags after each declaration: [raises] means the call may raise a script
 * error (it must then be made from inside an entry point the engine called,
 * and it does not return to its caller when the error is of kind 0 or 1);
 * [safe] means it never raises.
 */
#ifndef TALLOW_H
#define TALLOW_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling conventions: exports of TallowCore use the Windows API convention
 * (the callee removes the arguments), the entry points of an extension
 * library the C convention. Both are the platform default on Linux. */
#if defined(_WIN32)
#define TALLOW_API __stdcall
#define TALLOW_ENTRY __cdecl
#else
#define TALLOW_API
#define TALLOW_ENTRY
#endif

#if defined(_WIN32)
#if defined(TALLOW_BUILDING_CORE)
#define TALLOW_EXPORT __declspec(dllexport)
#else
#define TALLOW_EXPORT __declspec(dllimport)
#endif
#else
#define TALLOW_EXPORT __attribute__((visibility("default")))
#endif

typedef struct TallowProgram *TallowProgramHandle; /* one interpreter instance */
typedef struct TallowObject *TallowObjectHandle;   /* one script object */
typedef intptr_t TallowValue;                      /* object data and property values */
typedef void *TallowWindow;                        /* a window handle (HWND) */
typedef void *TallowFile;                          /* a standard handle (HANDLE, or an fd on Linux) */

/* ---- Program lifecycle -------------------------------------------------- */

/* Constructs an idle program; NULL when memory is exhausted. [safe] */
TALLOW_EXPORT TallowProgramHandle TALLOW_API CreateProgram(void);

/* Destroys a program with everything it owns; NULL is ignored. [safe] */
TALLOW_EXPORT void TALLOW_API DestroyProgram(TallowProgramHandle program);

/* Runs text to its end and returns the program's exit code, which only `exit`
 * with an argument changes and which keeps its value across runs. Script
 * errors are shown to the user and end the script. A NULL program gives 0; a
 * failure that is not a script error gives 1. [safe] */
TALLOW_EXPORT int TALLOW_API RunProgram(TallowProgramHandle program, const char *text);

/* Runs text in a temporary program and returns its exit code. [safe] */
TALLOW_EXPORT int TALLOW_API RunTallowBuffer(const char *text);

/* The name shown on the last line of the error box (empty by default). [safe] */
TALLOW_EXPORT void TALLOW_API SetScriptFileName(TallowProgramHandle program, const char *name);

/* From the next run on, every run of program starts with a string array
 * `argv` holding these count strings; a negative count stops that. [safe] */
TALLOW_EXPORT void TALLOW_API SetScriptArguments(TallowProgramHandle program, int count, const char *const *args);

/* ---- Process-wide settings ---------------------------------------------- */

/* With a non-zero value no message box is shown by any program of this
 * process: each box is written to standard error as its caption, ": ", its
 * text and a line feed, and yields the result of its first button (OK, Abort,
 * Yes or Retry). For scheduled jobs, services and tests. [safe] */
TALLOW_EXPORT void TALLOW_API SetUnattended(int unattended);

#ifdef __cplusplus
}
#endif

#endif /* TALLOW_H */
