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
 * Handles: every export checks the handle it is given. NULL, or the handle of
 * a program or object that no longer exists (or never did), gives the
 * export's neutral result (0, NULL, nothing) and touches no memory.
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

/* The version of this header; GetTallowVersion tells the library's. */
#define TALLOW_VERSION_MAJOR 0
#define TALLOW_VERSION_MINOR 2
#define TALLOW_VERSION_PATCH 0
#define TALLOW_VERSION_NUMBER \
    (TALLOW_VERSION_MAJOR * 10000 + TALLOW_VERSION_MINOR * 100 + TALLOW_VERSION_PATCH)

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

typedef struct TallowProgram* TallowProgramHandle; /* one interpreter instance */
typedef struct TallowObject* TallowObjectHandle;   /* one script object */
typedef intptr_t TallowValue;                      /* object data and property values */
typedef void* TallowWindow;                        /* a window handle (HWND) */
typedef void* TallowFile;                          /* a standard handle (HANDLE, or an fd on Linux) */

/* The five object entry points, as an extension library exports them and as
 * a host passes them to InsertObject and InsertFactory. Their results are
 * ignored. See "Extension library entry points" below. */
typedef int(TALLOW_ENTRY* TallowCreateProc)(TallowObjectHandle object, TallowValue data,
                                            const char** statements, const char** numberFunctions,
                                            const char** stringFunctions);
typedef int(TALLOW_ENTRY* TallowDestroyProc)(TallowObjectHandle object, TallowValue data);
typedef int(TALLOW_ENTRY* TallowStatementProc)(TallowObjectHandle object, int id);
typedef int(TALLOW_ENTRY* TallowNumFunctionProc)(TallowObjectHandle object, int id, double* result);
typedef int(TALLOW_ENTRY* TallowStringFunctionProc)(TallowObjectHandle object, int id, const char** result);
typedef int(TALLOW_ENTRY* TallowRegisterProc)(void);

/* ---- Program lifecycle -------------------------------------------------- */

/* Constructs an idle program; NULL when memory is exhausted. [safe] */
TALLOW_EXPORT TallowProgramHandle TALLOW_API CreateProgram(void);

/* Destroys a program with everything it owns; NULL is ignored. Called while
 * the program runs (from a call-back, a host object's entry point or another
 * thread), it ends the run as EndProgram does and the program is destroyed
 * when that run's RunProgram returns; until then its handles stay valid.
 * [safe] */
TALLOW_EXPORT void TALLOW_API DestroyProgram(TallowProgramHandle program);

/* Runs text to its end and returns the program's exit code, which only `exit`
 * with an argument changes and which keeps its value across runs. Script
 * errors are shown to the user and end the script. A NULL program gives 0; a
 * failure that is not a script error gives 1. [safe] */
TALLOW_EXPORT int TALLOW_API RunProgram(TallowProgramHandle program, const char* text);

/* A session, for interactive prompts: while it is on, runs of program keep
 * the variables, arrays and objects of the runs before them (loop stacks and
 * block depths still end with each run). Switching it off empties them.
 * Ignored while the program runs. [safe] */
TALLOW_EXPORT void TALLOW_API SetSession(TallowProgramHandle program, int on);

/* As RunProgram, with execution starting at byte offset start of text (its
 * procedures and labels are found in all of it): a session runs its whole text
 * so far from where the part just entered begins. [safe] */
TALLOW_EXPORT int TALLOW_API RunProgramFrom(TallowProgramHandle program, const char* text, int start);

/* How the last run of program ended (RunProgram's result is the exit code in
 * every case). */
#define TALLOW_RUN_NONE 0   /* no run yet, one in progress, or a NULL program */
#define TALLOW_RUN_ENDED 1  /* the end of the text, exit or EndProgram */
#define TALLOW_RUN_FAILED 2 /* an error that no TRY caught */
#define TALLOW_RUN_BUDGET 3 /* the statement budget (SetStatementLimit) was spent */
#define TALLOW_RUN_TIME 4   /* the time limit (SetTimeLimit) was reached */
TALLOW_EXPORT int TALLOW_API GetRunOutcome(TallowProgramHandle program);

/* The error that ended the last run of program, readable until the next run:
 * returns 1 and fills what is asked for (NULL pointers are skipped) when that
 * run failed, 0 otherwise. message (as the script saw it in ErrMsg$) and token
 * (the token at fault as the text wrote it, empty when the error lies between
 * tokens) are copied NUL-terminated into buffers of their sizes, cut to fit;
 * line and column count from 1 (0 when the run had no text); kind is the
 * error kind (0 or 1). [safe] */
TALLOW_EXPORT int TALLOW_API GetLastRunError(TallowProgramHandle program, char* message, int messageSize,
                                             int* line, int* column, int* kind, char* token, int tokenSize);

/* The notes on the error that ended the last run of program: what its
 * fixed message leaves out ("did you mean 'floor'?", "the IF that no ENDIF
 * closes opens here"). Returns 1 and fills what is asked for (NULL pointers
 * are skipped) while index, from 0, names a note; 0 past the last note and
 * when the last run did not fail. note is copied NUL-terminated into a
 * buffer of noteSize bytes, cut to fit; line and column are where the note
 * stands: the error's place, or the place it points to. [safe] */
TALLOW_EXPORT int TALLOW_API GetLastRunErrorNote(TallowProgramHandle program, int index, char* note,
                                                 int noteSize, int* line, int* column);

/* In a session (SetSession), a run whose text from its start is one
 * expression and no statement (`2 + 2`, `name$`, `a#[3]`, `sqroot(2)`)
 * evaluates it instead of running it as a statement. This gives that value
 * as the language writes it: a number as the shortest literal that reads
 * back the same (4, 0.1, 1e+300), a string as a string expression in double
 * quotes ("a" + 34 + "b", "line" + 13 + 10). The text is copied
 * NUL-terminated into value, cut to fit, and the result is its whole length
 * (call again with a larger buffer when it does not fit); 0 when the last
 * run gave no value (no such expression, an error, or no session). [safe] */
TALLOW_EXPORT int TALLOW_API GetRunValue(TallowProgramHandle program, char* value, int valueSize);

/* The version of the library: major * 10000 + minor * 100 + patch. [safe] */
TALLOW_EXPORT int TALLOW_API GetTallowVersion(void);
/* Serves the Language Server Protocol on standard input and output (the
   runner's --language-server): diagnostics, completion, hover, symbols and
   definitions for scripts, read by the engine without running them. Returns
   when the client sends exit (0 after a shutdown request, else 1) or input
   ends (1). Standard input must give its bytes unchanged. */
TALLOW_EXPORT int TALLOW_API RunLanguageServer(void);

/* Runs text in a temporary program and returns its exit code. [safe] */
TALLOW_EXPORT int TALLOW_API RunTallowBuffer(const char* text);

/* As RunTallowBuffer, with the two handles as the script's standard input
 * and output (also after showconsole and hideconsole). The process's
 * standard handles do not change, so programs running on other threads
 * meanwhile keep theirs. On Linux they are file descriptors:
 * (TallowFile)(intptr_t)fd. [safe] */
TALLOW_EXPORT int TALLOW_API RunTallowBufferRedirected(const char* text, TallowFile input, TallowFile output);

/* Runs a code file (".cod": a script and its dialogs) in a temporary program.
 * commandLine names the file, then the arguments the script finds in its
 * string array argv: tokens separated by white space, a token that starts
 * with a double quote running to the next one (both dropped). Every stored
 * dialog becomes an object of its name. Returns the script's exit code, or 0
 * after a box captioned "Tallow95" when the file cannot be opened, is no
 * code file, or is cut short. commandLine stays the caller's; reserved is
 * not used (pass 0). [safe] */
TALLOW_EXPORT int TALLOW_API RunTallowCode(const char* commandLine, int32_t reserved);

/* How the last RunTallowCode on the calling thread ended: TALLOW_RUN_NONE
 * (none yet), TALLOW_RUN_ENDED, TALLOW_RUN_FAILED (an error that no TRY
 * caught), or TALLOW_CODE_UNUSABLE (the file could not be used; its box said
 * why). The result of RunTallowCode is 0 after both failures. [safe] */
#define TALLOW_CODE_UNUSABLE 4
TALLOW_EXPORT int TALLOW_API GetCodeRunOutcome(void);

/* When the last RunTallowCode on the calling thread ended in an error that
 * no TRY caught: that error, as GetLastRunError and GetLastRunErrorNote give
 * one for a program (the line and column within the code file's script).
 * 0 when that run did not end so. [safe] */
TALLOW_EXPORT int TALLOW_API GetLastCodeRunError(char* message, int messageSize, int* line, int* column,
                                                 int* kind, char* token, int tokenSize);
TALLOW_EXPORT int TALLOW_API GetLastCodeRunErrorNote(int index, char* note, int noteSize, int* line,
                                                     int* column);

/* Adds a host object called name to program: the five functions serve it as
 * an extension library's entry points would, and data is handed back to
 * create and destroy. The object is created at once and lives until
 * DestroyProgram. A NULL program does nothing; a NULL function adds nothing
 * and reports "Could not create extension object!" (inside a run as a script
 * error, outside one as an error box). [raises inside an entry point] */
TALLOW_EXPORT void TALLOW_API InsertObject(const char* name, TallowValue data, TallowProgramHandle program,
                                           TallowCreateProc create, TallowDestroyProc destroy,
                                           TallowStatementProc statement,
                                           TallowNumFunctionProc numberFunction,
                                           TallowStringFunctionProc stringFunction);

/* Adds a host object type: `new x as name` creates an object served by the
 * five functions with data; delete or the end of the run destroys it. The
 * type lives until DestroyProgram. A NULL program does nothing. [safe] */
TALLOW_EXPORT void TALLOW_API InsertFactory(const char* name, TallowValue data, TallowProgramHandle program,
                                            TallowCreateProc create, TallowDestroyProc destroy,
                                            TallowStatementProc statement,
                                            TallowNumFunctionProc numberFunction,
                                            TallowStringFunctionProc stringFunction);

/* ---- Program access through an object handle ----------------------------
 * These act on the program of object, normally the handle an entry point
 * was given. A NULL object gives NULL or 0 and changes nothing. */

/* The owner window of every box and dialog the program shows. [safe] */
TALLOW_EXPORT TallowWindow TALLOW_API GetParentHWND(TallowObjectHandle object);
TALLOW_EXPORT void TALLOW_API SetParentHWND(TallowObjectHandle object, TallowWindow window);

/* The standard input and output the script uses (on Linux a file
 * descriptor in the pointer-sized slot). [safe] */
TALLOW_EXPORT TallowFile TALLOW_API GetStdin(TallowObjectHandle object);
TALLOW_EXPORT TallowFile TALLOW_API GetStdout(TallowObjectHandle object);

/* Opens the program's console, as the first print does. [safe] */
TALLOW_EXPORT void TALLOW_API OpenConsole(TallowObjectHandle object);

/* Ends the run after the statement in progress, also inside a procedure
 * body. [safe] */
TALLOW_EXPORT void TALLOW_API EndProgram(TallowObjectHandle object);

/* Storage of the library's own: a value under a name (matched exactly,
 * letter case included) in an extension object. SetProperty gives 1, or 0
 * when the object is not an extension object or storing fails; GetProperty
 * gives the value, or 0 when there is none. [safe] */
TALLOW_EXPORT int TALLOW_API SetProperty(TallowObjectHandle object, const char* name, TallowValue value);
TALLOW_EXPORT TallowValue TALLOW_API GetProperty(TallowObjectHandle object, const char* name);

/* ---- Call-backs for extensions --------------------------------------------
 * Call them from inside ProcessStatement, ProcessNumFunction or
 * ProcessStringFunction: they read the script text after the member's name,
 * in the program of object. A call marked [raises] that fails with an error
 * of kind 0 or 1 does not return: the engine resumes in its own frame, where
 * it called the entry point, and the error goes on in the script (a TRY
 * block can catch kind 1). The library must therefore hold no resource across
 * such a call that it could not give up there. Called outside any entry point,
 * no call-back raises: it gives its neutral result (0, NULL, nothing). While
 * its program is not running, a call-back that reads script text (from
 * HasFirstParam to TestNum below) reads nothing and gives its neutral result
 * at once. */

/* Is there a first parameter / a further one after a comma? With required
 * non-zero a missing one raises "required parameter missing". [raises] */
TALLOW_EXPORT int TALLOW_API HasFirstParam(TallowObjectHandle object, int required);
TALLOW_EXPORT int TALLOW_API HasNextParam(TallowObjectHandle object, int required);

/* Evaluates a string expression into buffer: at most size-1 characters and
 * always a NUL (nothing is written when size < 1); a NULL buffer evaluates
 * nothing. [raises] */
TALLOW_EXPORT void TALLOW_API EvalString(TallowObjectHandle object, char* buffer, int size);

/* Evaluates a numeric expression into *result; NULL evaluates nothing. [raises] */
TALLOW_EXPORT void TALLOW_API EvalNum(TallowObjectHandle object, double* result);

/* Reads one bare word ("statement expected" otherwise) into buffer, as
 * EvalString does. [raises] */
TALLOW_EXPORT void TALLOW_API EvalKeyword(TallowObjectHandle object, char* buffer, int size);

/* Evaluates a condition: any comparison, a string comparison, a numeric
 * comparison. 1 or 0. [raises] */
TALLOW_EXPORT int TALLOW_API Test(TallowObjectHandle object);
TALLOW_EXPORT int TALLOW_API TestString(TallowObjectHandle object);
TALLOW_EXPORT int TALLOW_API TestNum(TallowObjectHandle object);

/* Reports an error: kind 0 aborts the script, kind 1 can be caught by TRY,
 * any other kind shows a warning and returns, and the statement goes on.
 * message is shown literally (never used as a format); NULL means
 * "Internal error". [raises for kinds 0 and 1] */
TALLOW_EXPORT void TALLOW_API ThrowError(TallowObjectHandle object, int kind, const char* message);

/* Defines or overwrites the constant name@. [safe] */
TALLOW_EXPORT void TALLOW_API SetNumConst(TallowObjectHandle object, const char* name, double value);

/* Global variables: name# and name$ (name without its suffix). Reading one
 * that does not exist raises "unknown variable encountered" (kind 0).
 * GetStringVar returns a new copy; release it with FreeString. */
TALLOW_EXPORT void TALLOW_API SetNumVar(TallowObjectHandle object, const char* name,
                                        double value);                                  /* [safe] */
TALLOW_EXPORT double TALLOW_API GetNumVar(TallowObjectHandle object, const char* name); /* [raises] */
TALLOW_EXPORT void TALLOW_API SetStringVar(TallowObjectHandle object, const char* name,
                                           const char* value);                            /* [safe] */
TALLOW_EXPORT char* TALLOW_API GetStringVar(TallowObjectHandle object, const char* name); /* [raises] */

/* Releases a string that the engine returned; object is not used and may be
 * NULL, and so may string. [safe] */
TALLOW_EXPORT void TALLOW_API FreeString(TallowObjectHandle object, char* string);

/* The members obj.name# and obj.name$ of object itself, through the
 * object's own operations: reading one that was never set raises "unknown
 * variable encountered" (kind 0), and an object's property may refuse a
 * write. GetStringMember returns a new copy; release it with FreeString.
 * [raises] */
TALLOW_EXPORT void TALLOW_API SetNumMember(TallowObjectHandle object, const char* name, double value);
TALLOW_EXPORT double TALLOW_API GetNumMember(TallowObjectHandle object, const char* name);
TALLOW_EXPORT void TALLOW_API SetStringMember(TallowObjectHandle object, const char* name, const char* value);
TALLOW_EXPORT char* TALLOW_API GetStringMember(TallowObjectHandle object, const char* name);

/* Arrays by name (without suffix). Clear creates an empty array of the name,
 * replacing an object the script created; any other object of that name
 * raises "array name conflict" (kind 0). Add gives 1, or 0 when there is no
 * array of the name; Count gives the number of elements, or -1. Items are
 * indexed from 0 to count-1: GetStringArrayItem returns a new copy (release
 * it with FreeString), or NULL for a missing array or an index outside;
 * GetNumArrayItem gives 0.0 then. */
TALLOW_EXPORT void TALLOW_API ClearStringArray(TallowObjectHandle object, const char* name); /* [raises] */
TALLOW_EXPORT void TALLOW_API ClearNumArray(TallowObjectHandle object, const char* name);    /* [raises] */
/* The rest never raise. [safe] */
TALLOW_EXPORT int TALLOW_API AddToStringArray(TallowObjectHandle object, const char* name, const char* value);
TALLOW_EXPORT int TALLOW_API AddToNumArray(TallowObjectHandle object, const char* name, double value);
TALLOW_EXPORT int TALLOW_API GetStringArrayCount(TallowObjectHandle object, const char* name);
TALLOW_EXPORT int TALLOW_API GetNumArrayCount(TallowObjectHandle object, const char* name);
TALLOW_EXPORT char* TALLOW_API GetStringArrayItem(TallowObjectHandle object, const char* name, int index);
TALLOW_EXPORT double TALLOW_API GetNumArrayItem(TallowObjectHandle object, const char* name, int index);

/* ---- Registration ---------------------------------------------------------
 * Registered extensions are read at the start of every run from
 * HKEY_CURRENT_USER\Software\Quenby Software\Tallow\Extensions\Objects and
 * ...\Factories: one string value per object (or type) name, at most 31
 * characters, with the data "number;path" (at most 1023 characters), the
 * number being the object data. On Linux these keys live in the database
 * $XDG_CONFIG_HOME/tallow/registry.db (~/.config/tallow/registry.db).
 *
 * Writes the value name in section ("Objects" or "Factories") with the text
 * data, or deletes it when data is NULL: a portable way for RegisterExtension
 * to do its work. 1 on success, 0 on failure or a bad section or name. [safe] */
TALLOW_EXPORT int TALLOW_API WriteExtensionRegistration(const char* section, const char* name,
                                                        const char* data);

/* Calls visit once for every registration of both sections, in the order the
 * loader reads them: its section ("Objects" or "Factories"), name, data and
 * library path, and whether the library at that path loads and exports the
 * five object entry points (1) or not (0). Loading a library runs its
 * initialisation; nothing else of it is called. Returns the number of
 * registrations visited. [safe] */
typedef void(TALLOW_ENTRY* TallowRegistrationVisitor)(void* context, const char* section, const char* name,
                                                      TallowValue data, const char* path, int loads);
TALLOW_EXPORT int TALLOW_API ListExtensionRegistrations(TallowRegistrationVisitor visit, void* context);

/* The name shown on the last line of the error box (empty by default). [safe] */
TALLOW_EXPORT void TALLOW_API SetScriptFileName(TallowProgramHandle program, const char* name);

/* From the next run on, every run of program starts with a string array
 * `argv` holding these count strings; a negative count stops that. An object
 * of the program named argv (a code file's dialog, a host object) keeps the
 * name, and the array is then not made. [safe] */
TALLOW_EXPORT void TALLOW_API SetScriptArguments(TallowProgramHandle program, int count,
                                                 const char* const* args);

/* A statement budget for hosts that run text they do not trust: from the
 * next run on, a run of program that has executed count statements (at any
 * depth: procedure bodies and evaluated text included) ends as EndProgram
 * ends it, before the next statement, and RunProgram returns as for a normal
 * end. Each run starts with the whole budget. A count of 0 or less removes
 * the limit. [safe] */
TALLOW_EXPORT void TALLOW_API SetStatementLimit(TallowProgramHandle program, int64_t count);

/* A time limit for the same hosts: from the next run on, a run of program
 * that has lasted milliseconds ends as EndProgram ends it, before its next
 * statement, and every wait the script is in by then (sleep, socket, port
 * and mailslot reads and waits, listen) returns as at its own deadline, so
 * one long wait cannot outlast the limit; GetRunOutcome then gives
 * TALLOW_RUN_TIME. A wait for a program started with its wait flag and a
 * dialog's modal execute are not cut short. 0 or less removes the limit.
 *
 * The statement budget, the time limit, the memory budget and the trusting
 * of addresses (SetTrustAddresses) hold for everything a run starts on its
 * thread: a program that begins to run inside the run of another (a code
 * file started by `run`, a host reached through a library call) gets at
 * most the statements, time and memory that run has left, trusts addresses
 * exactly when it does, and the statements it executes count against it.
 * [safe] */
TALLOW_EXPORT void TALLOW_API SetTimeLimit(TallowProgramHandle program, int64_t milliseconds);

/* A memory budget for the values a program holds (variables, members,
 * arrays, loop stacks, its text): once what the program holds passes bytes,
 * the statement that made it grow fails with the script error "out of
 * memory" (which no TRY catches), and what it built is freed. A program
 * starts with 1 GiB (512 MiB in 32-bit builds); 0 removes the limit. The
 * budget is measured from time to time, so a program may pass it by a few
 * MiB before it fails. [safe] */
TALLOW_EXPORT void TALLOW_API SetMemoryLimit(TallowProgramHandle program, int64_t bytes);

/* Fast paths: what the engine remembers and compiles about places in the
 * text to run them faster. Results, errors and their lines are the same with
 * them off; switching them off is for finding a fault in the engine (each
 * statement is then read from the text, several times slower). A new program
 * has them on unless the environment variable TALLOW_NO_FAST_PATHS is set to
 * anything but "" or "0". Takes effect from the next run. [safe] */
TALLOW_EXPORT void TALLOW_API SetFastPaths(TallowProgramHandle program, int enabled);

/* Raw addresses. Members that read or write memory by address (the Heap
 * object's, and the buffers of other objects) accept only addresses inside a
 * block that the program's Heap object handed out and still holds, with room
 * for the bytes they touch; anything else is the script error "Invalid heap
 * address!". With on non-zero, program trusts its scripts instead: any address
 * but 0 is used as it is, so a script can read and write memory that a
 * declared library function returned, and a wrong address crashes the
 * process. Heap.free, realloc and sizeof still want a block of the program.
 * Off for a new program; takes effect at once. [safe] */
TALLOW_EXPORT void TALLOW_API SetTrustAddresses(TallowProgramHandle program, int on);

/* ---- Process-wide settings ---------------------------------------------- */

/* With a non-zero value no message box is shown by any program of this
 * process: each box is written to standard error as its caption, ": ", its
 * text and a line feed, and yields the result of its first button (OK, Abort,
 * Yes or Retry). A dialog's modal execute shows nothing either: it writes
 * "NAME: dialog" and yields the id of the dialog's default push button (else
 * of its first push button, else 0). For scheduled jobs, services and tests.
 * The environment variable TALLOW_UNATTENDED set to anything but "" or "0"
 * switches it on when the library is loaded. [safe] */
TALLOW_EXPORT void TALLOW_API SetUnattended(int unattended);

/* Where error boxes go: the box of an error that ends a run, of an error
 * that ends only a text run by eval, of a warning (kind 2 and above), and of
 * a code file that cannot be used. */
#define TALLOW_ERRORS_BOX 0    /* a message box, as for every program unless set */
#define TALLOW_ERRORS_STDERR 1 /* written to standard error as an unattended box is */
#define TALLOW_ERRORS_HOST                                                              \
    2                              /* (a program only) the error that ends a run is not \
                                      shown: the host reports it from GetLastRunError;  \
                                      the others go to standard error */
#define TALLOW_ERRORS_PROCESS (-1) /* (a program only) as the process's setting says */
/* With program NULL, sets where the error boxes of every program of the
 * process go unless a program has a setting of its own (BOX or STDERR; a
 * console program that shows its errors itself chooses STDERR; message
 * boxes a script asks for with msgbox stay windows). With a program, sets
 * that program's own. Other values are ignored. [safe] */
TALLOW_EXPORT void TALLOW_API SetErrorOutput(TallowProgramHandle program, int where);

/* ---- Extension library entry points --------------------------------------
 * An extension library (a ".tlx" file: a DLL on Windows, a shared object on
 * Linux) exports these six functions under these names with the C calling
 * convention. The engine calls RegisterExtension from `registerextension`;
 * the other five serve the library's objects.
 *
 * CreateExtensionObject: set any of the three list pointers (preset to NULL)
 * to a list of NUL-terminated member names ended by an empty name, e.g.
 * "add\0clear\0"; the engine copies them before it calls anything else. The
 * member with id n is the n-th name of its list. ProcessNumFunction stores
 * its value in *result (preset to 0.0); ProcessStringFunction stores a string
 * pointer in *result (preset to NULL, which means ""): the engine copies it
 * and never frees it, so it stays the library's. */
#if defined(_WIN32)
#define TALLOW_EXTENSION_EXPORT __declspec(dllexport)
#else
#define TALLOW_EXTENSION_EXPORT __attribute__((visibility("default")))
#endif

/* Writes the library's registrations; non-zero on success. */
TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY RegisterExtension(void);
TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY CreateExtensionObject(TallowObjectHandle object, TallowValue data,
                                                               const char** statements,
                                                               const char** numberFunctions,
                                                               const char** stringFunctions);
TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY DestroyExtensionObject(TallowObjectHandle object, TallowValue data);
TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessStatement(TallowObjectHandle object, int id);
TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessNumFunction(TallowObjectHandle object, int id,
                                                            double* result);
TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessStringFunction(TallowObjectHandle object, int id,
                                                               const char** result);

#ifdef __cplusplus
}
#endif

#endif /* TALLOW_H */
