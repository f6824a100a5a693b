/* example.c - an extension library for Tallow, in plain C, built from
 * tallow.h alone (as example.tlx).
 *
 * `registerextension "example.tlx"` makes it write two registrations: the
 * object `textkit`, present in every run, and the type `tally`, whose objects
 * a script creates with `new t as tally`. Their members read parameters with
 * the call-backs, set variables and arrays, and report errors with
 * ThrowError:
 *
 *   textkit.split "a,b,c", ",", parts     ' fills the string array parts
 *   textkit.stats parts                   ' sets Longest$ and Letters#
 *   n# = textkit.count("banana", "an")    ' 2
 *   s$ = textkit.repeat("ab", 3)          ' "ababab"
 *   s$ = textkit.join(parts, "+")         ' "a+b+c"
 *   textkit.unregister                    ' removes both registrations
 *
 *   new t as tally
 *   t.add 4, 5, 6                         ' a negative value gives a warning
 *   m# = t.mean()                         ' 5; an empty tally is an error
 *   x# = t.item(2)                        ' 5; also count() and total()
 *   s$ = t.describe()                     ' "3 values, total 15"
 *   t.toarray values                      ' fills the number array values
 *   t.reset
 *
 * Any call-back may not return when it fails: the engine resumes in its own
 * frame. So every buffer a member works with lives on the stack or in the
 * object's state, never in memory that only the rest of the member frees.
 */
#if !defined(_WIN32) && !defined(_GNU_SOURCE)
#define _GNU_SOURCE /* dladdr */
#endif

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tallow.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#endif

/* The object data of the two registrations: which kind of object to make. */
enum { kTextkit = 0, kTally = 1 };

/* Room for one string parameter; longer ones are cut, as EvalString does. */
#define TEXT_SIZE 1024
/* Longest library path the registration holds. */
#define PATH_SIZE 1024

/* What an object of either kind keeps between calls. */
typedef struct ExampleState {
    int kind;
    double* values; /* tally: the values added so far */
    int count;
    int capacity;
    char* result; /* the last string result, valid until the next one */
} ExampleState;

static const char kStateProperty[] = "state";

/* Any address inside this library tells the system which file it is. */
static const char kAnchor = 0;

/* ---- Registration -------------------------------------------------------- */

/* The full path of this library file; 0 when it cannot be found. */
static int LibraryPath(char* path, size_t size) {
#if defined(_WIN32)
    HMODULE self = NULL;
    DWORD length;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, &kAnchor,
            &self))
        return 0;
    length = GetModuleFileNameA(self, path, (DWORD)size);
    return length > 0 && length < size;
#else
    Dl_info info;
    char resolved[PATH_MAX];
    if (!dladdr(&kAnchor, &info) || !info.dli_fname) return 0;
    if (!realpath(info.dli_fname, resolved) || strlen(resolved) >= size) return 0;
    strcpy(path, resolved);
    return 1;
#endif
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY RegisterExtension(void) {
    char path[PATH_SIZE];
    char data[PATH_SIZE + 16];
    if (!LibraryPath(path, sizeof path)) return 0;
    snprintf(data, sizeof data, "%d;%s", kTextkit, path);
    if (!WriteExtensionRegistration("Objects", "textkit", data)) return 0;
    snprintf(data, sizeof data, "%d;%s", kTally, path);
    return WriteExtensionRegistration("Factories", "tally", data);
}

/* ---- Objects ---------------------------------------------------------------- */

/* Member ids: the position of the name in its list, from 1. */
enum { kSplit = 1, kStats, kUnregister };
enum { kCount = 1 };
enum { kRepeat = 1, kJoin };
static const char kTextkitStatements[] = "split\0stats\0unregister\0";
static const char kTextkitNumbers[] = "count\0";
static const char kTextkitStrings[] = "repeat\0join\0";

enum { kAdd = 1, kReset, kToArray };
enum { kTallyCount = 1, kTotal, kMean, kItem };
enum { kDescribe = 1 };
static const char kTallyStatements[] = "add\0reset\0toarray\0";
static const char kTallyNumbers[] = "count\0total\0mean\0item\0";
static const char kTallyStrings[] = "describe\0";

static ExampleState* StateOf(TallowObjectHandle object) {
    return (ExampleState*)(void*)GetProperty(object, kStateProperty);
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY CreateExtensionObject(TallowObjectHandle object, TallowValue data,
                                                               const char** statements,
                                                               const char** numberFunctions,
                                                               const char** stringFunctions) {
    ExampleState* state = (ExampleState*)calloc(1, sizeof *state);
    if (!state) return 0;
    state->kind = data == kTally ? kTally : kTextkit;
    if (!SetProperty(object, kStateProperty, (TallowValue)state)) {
        free(state);
        return 0;
    }
    *statements = state->kind == kTally ? kTallyStatements : kTextkitStatements;
    *numberFunctions = state->kind == kTally ? kTallyNumbers : kTextkitNumbers;
    *stringFunctions = state->kind == kTally ? kTallyStrings : kTextkitStrings;
    return 1;
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY DestroyExtensionObject(TallowObjectHandle object, TallowValue data) {
    ExampleState* state = StateOf(object);
    (void)data;
    if (!state) return 0;
    free(state->values);
    free(state->result);
    free(state);
    SetProperty(object, kStateProperty, 0);
    return 1;
}

/* Keeps a copy of text as the object's string result. */
static const char* SetResult(ExampleState* state, const char* text, size_t length) {
    char* copy = (char*)malloc(length + 1);
    if (!copy) return NULL;
    memcpy(copy, text, length);
    copy[length] = '\0';
    free(state->result);
    state->result = copy;
    return copy;
}

/* ---- textkit ---------------------------------------------------------------- */

/* split text$, separator$, arrayname */
static void Split(TallowObjectHandle object) {
    char text[TEXT_SIZE], separator[TEXT_SIZE], array[64], piece[TEXT_SIZE];
    const char *at, *next;
    size_t sepLength;
    HasFirstParam(object, 1);
    EvalString(object, text, sizeof text);
    HasNextParam(object, 1);
    EvalString(object, separator, sizeof separator);
    HasNextParam(object, 1);
    EvalKeyword(object, array, sizeof array);
    sepLength = strlen(separator);
    if (sepLength == 0) ThrowError(object, 1, "The separator is empty!");
    ClearStringArray(object, array);
    for (at = text;; at = next + sepLength) {
        size_t length;
        next = strstr(at, separator);
        length = next ? (size_t)(next - at) : strlen(at);
        memcpy(piece, at, length);
        piece[length] = '\0';
        AddToStringArray(object, array, piece);
        if (!next) break;
    }
}

/* stats arrayname: Longest$ is the longest element, Letters# their total length */
static void Stats(TallowObjectHandle object) {
    char array[64], longest[TEXT_SIZE] = "";
    int i, count;
    double letters = 0;
    HasFirstParam(object, 1);
    EvalKeyword(object, array, sizeof array);
    count = GetStringArrayCount(object, array);
    if (count < 0) ThrowError(object, 1, "No such string array!");
    for (i = 0; i < count; ++i) {
        char* item = GetStringArrayItem(object, array, i);
        if (!item) continue;
        letters += (double)strlen(item);
        if (strlen(item) > strlen(longest) && strlen(item) < sizeof longest) strcpy(longest, item);
        FreeString(object, item);
    }
    SetStringVar(object, "Longest", longest);
    SetNumVar(object, "Letters", letters);
}

static void Unregister(TallowObjectHandle object) {
    (void)object;
    WriteExtensionRegistration("Objects", "textkit", NULL);
    WriteExtensionRegistration("Factories", "tally", NULL);
}

/* count(text$, part$): non-overlapping occurrences of part in text */
static double Count(TallowObjectHandle object) {
    char text[TEXT_SIZE], part[TEXT_SIZE];
    const char* at;
    double n = 0;
    HasFirstParam(object, 1);
    EvalString(object, text, sizeof text);
    HasNextParam(object, 1);
    EvalString(object, part, sizeof part);
    if (!part[0]) ThrowError(object, 1, "The text to count is empty!");
    for (at = strstr(text, part); at; at = strstr(at + strlen(part), part))
        ++n;
    return n;
}

/* repeat(text$, times) */
static const char* Repeat(TallowObjectHandle object, ExampleState* state) {
    char text[TEXT_SIZE];
    double times = 0;
    size_t length, i;
    char* out;
    HasFirstParam(object, 1);
    EvalString(object, text, sizeof text);
    HasNextParam(object, 1);
    EvalNum(object, &times);
    if (times < 0) ThrowError(object, 1, "Cannot repeat a negative number of times!");
    if (times > 65536) ThrowError(object, 1, "Too many repeats!");
    length = strlen(text);
    out = (char*)malloc(length * (size_t)times + 1);
    if (!out) ThrowError(object, 1, "Out of memory!");
    for (i = 0; i < (size_t)times; ++i)
        memcpy(out + i * length, text, length);
    out[length * (size_t)times] = '\0';
    free(state->result);
    state->result = out;
    return out;
}

/* join(arrayname, separator$) */
static const char* Join(TallowObjectHandle object, ExampleState* state) {
    char array[64], separator[TEXT_SIZE], out[4 * TEXT_SIZE] = "";
    int i, count;
    HasFirstParam(object, 1);
    EvalKeyword(object, array, sizeof array);
    HasNextParam(object, 1);
    EvalString(object, separator, sizeof separator);
    count = GetStringArrayCount(object, array);
    if (count < 0) ThrowError(object, 1, "No such string array!");
    for (i = 0; i < count; ++i) {
        char* item = GetStringArrayItem(object, array, i);
        if (i > 0 && strlen(out) + strlen(separator) < sizeof out) strcat(out, separator);
        if (item && strlen(out) + strlen(item) < sizeof out) strcat(out, item);
        FreeString(object, item);
    }
    return SetResult(state, out, strlen(out));
}

/* ---- tally ------------------------------------------------------------------ */

static int Append(ExampleState* state, double value) {
    if (state->count == state->capacity) {
        int capacity = state->capacity ? state->capacity * 2 : 8;
        double* grown = (double*)realloc(state->values, (size_t)capacity * sizeof *grown);
        if (!grown) return 0;
        state->values = grown;
        state->capacity = capacity;
    }
    state->values[state->count++] = value;
    return 1;
}

/* add n {, n} */
static void Add(TallowObjectHandle object, ExampleState* state) {
    double value = 0;
    HasFirstParam(object, 1);
    do {
        EvalNum(object, &value);
        /* A warning: shown, and the statement goes on. */
        if (value < 0) ThrowError(object, 2, "A negative value was added to the tally!");
        if (!Append(state, value)) ThrowError(object, 1, "Out of memory!");
    } while (HasNextParam(object, 0));
}

/* toarray arrayname */
static void ToArray(TallowObjectHandle object, ExampleState* state) {
    char array[64];
    int i;
    HasFirstParam(object, 1);
    EvalKeyword(object, array, sizeof array);
    ClearNumArray(object, array);
    for (i = 0; i < state->count; ++i)
        AddToNumArray(object, array, state->values[i]);
}

static double Total(const ExampleState* state) {
    double total = 0;
    int i;
    for (i = 0; i < state->count; ++i)
        total += state->values[i];
    return total;
}

/* item(index), from 1 */
static double Item(TallowObjectHandle object, const ExampleState* state) {
    double index = 0;
    HasFirstParam(object, 1);
    EvalNum(object, &index);
    if (index < 1 || index > state->count) ThrowError(object, 1, "Tally index out of range!");
    return state->values[(int)index - 1];
}

/* ---- Dispatch ------------------------------------------------------------- */

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessStatement(TallowObjectHandle object, int id) {
    ExampleState* state = StateOf(object);
    if (!state) return 0;
    if (state->kind == kTextkit) {
        if (id == kSplit) Split(object);
        if (id == kStats) Stats(object);
        if (id == kUnregister) Unregister(object);
    } else {
        if (id == kAdd) Add(object, state);
        if (id == kReset) state->count = 0;
        if (id == kToArray) ToArray(object, state);
    }
    return 1;
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessNumFunction(TallowObjectHandle object, int id,
                                                            double* result) {
    ExampleState* state = StateOf(object);
    if (!state) return 0;
    if (state->kind == kTextkit) {
        if (id == kCount) *result = Count(object);
        return 1;
    }
    if (id == kTallyCount) *result = state->count;
    if (id == kTotal) *result = Total(state);
    if (id == kMean) {
        if (state->count == 0) ThrowError(object, 1, "The tally is empty!");
        *result = Total(state) / state->count;
    }
    if (id == kItem) *result = Item(object, state);
    return 1;
}

TALLOW_EXTENSION_EXPORT int TALLOW_ENTRY ProcessStringFunction(TallowObjectHandle object, int id,
                                                               const char** result) {
    ExampleState* state = StateOf(object);
    char text[64];
    if (!state) return 0;
    if (state->kind == kTextkit) {
        if (id == kRepeat) *result = Repeat(object, state);
        if (id == kJoin) *result = Join(object, state);
        return 1;
    }
    if (id == kDescribe) {
        snprintf(text, sizeof text, "%d value%s, total %g", state->count, state->count == 1 ? "" : "s",
                 Total(state));
        *result = SetResult(state, text, strlen(text));
    }
    return 1;
}
