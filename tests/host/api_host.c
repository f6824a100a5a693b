/* api_host.c - a test host in plain C that calls every export of TallowCore:
 * host objects and types whose entry points use every call-back, the
 * unwinding of errors raised inside call-backs, the one-shot runners, and
 * extension libraries found through the registry.
 *
 *   api_host PROBE.tlx EXAMPLE.tlx CORE-LIBRARY   run every check
 *   api_host --cleanup                            remove the example's registrations
 *
 * Registry values it writes carry the process id in their names and are
 * removed again. Each check prints nothing when it holds; the last line
 * counts the checks.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tallow.h"

#if defined(_WIN32)
#include <windows.h>
#define ProcessId() ((unsigned long)GetCurrentProcessId())
#else
#include <fcntl.h>
#include <unistd.h>
#define ProcessId() ((unsigned long)getpid())
#endif

/* ---- Checks ---------------------------------------------------------------- */

static int checks = 0;
static int failures = 0;

static void Fail(int line, const char* what) {
    ++failures;
    fprintf(stderr, "api_host.c:%d: check failed: %s\n", line, what);
}

static void ExpectInt(int line, const char* what, long actual, long expected) {
    ++checks;
    if (actual != expected) {
        char text[512];
        snprintf(text, sizeof text, "%s gave %ld, expected %ld", what, actual, expected);
        Fail(line, text);
    }
}

static void ExpectStr(int line, const char* what, const char* actual, const char* expected) {
    ++checks;
    if (!actual || strcmp(actual, expected) != 0) {
        char text[1024];
        snprintf(text, sizeof text, "%s gave \"%s\", expected \"%s\"", what, actual ? actual : "(null)",
                 expected);
        Fail(line, text);
    }
}

static void ExpectContains(int line, const char* what, const char* text, const char* part) {
    ++checks;
    if (!strstr(text, part)) {
        char message[1024];
        snprintf(message, sizeof message, "%s: \"%s\" does not contain \"%s\"", what, text, part);
        Fail(line, message);
    }
}

#define CHECK(cond) ExpectInt(__LINE__, #cond, (long)((cond) != 0), 1L)
#define EXPECT_INT(actual, expected) ExpectInt(__LINE__, #actual, (long)(actual), (long)(expected))
#define EXPECT_STR(actual, expected) ExpectStr(__LINE__, #actual, (actual), (expected))
#define EXPECT_CONTAINS(text, part) ExpectContains(__LINE__, #text, (text), (part))

/* ---- Standard error of a run ----------------------------------------------
 * Unattended, every message box of the engine goes to standard error; these
 * helpers catch it around one run. */

static char captured[16384];

#if defined(_WIN32)
static HANDLE captureFile = INVALID_HANDLE_VALUE;
static HANDLE savedError = NULL;

static void BeginCapture(void) {
    char name[64];
    snprintf(name, sizeof name, "api_host_%lu.err", ProcessId());
    captureFile = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
    savedError = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, captureFile);
}

static const char* EndCapture(void) {
    DWORD n = 0;
    SetStdHandle(STD_ERROR_HANDLE, savedError);
    SetFilePointer(captureFile, 0, NULL, FILE_BEGIN);
    if (!ReadFile(captureFile, captured, sizeof captured - 1, &n, NULL)) n = 0;
    captured[n] = '\0';
    CloseHandle(captureFile);
    return captured;
}
#else
static int captureFd = -1;
static int savedError = -1;

static void BeginCapture(void) {
    char name[] = "/tmp/api_host_errXXXXXX";
    captureFd = mkstemp(name);
    unlink(name);
    fflush(stderr);
    savedError = dup(2);
    dup2(captureFd, 2);
}

static const char* EndCapture(void) {
    ssize_t n;
    dup2(savedError, 2);
    close(savedError);
    lseek(captureFd, 0, SEEK_SET);
    n = read(captureFd, captured, sizeof captured - 1);
    captured[n > 0 ? n : 0] = '\0';
    close(captureFd);
    return captured;
}
#endif

/* Runs text on program; its exit code goes to *code, its standard error is
 * returned (valid until the next run). */
static const char* Run(TallowProgramHandle program, const char* text, int* code) {
    BeginCapture();
    *code = RunProgram(program, text);
    return EndCapture();
}

/* ---- The host object ----------------------------------------------------------
 * One set of entry points serves the object `host`, the objects of the type
 * `hostthing` and (with an empty create) the object `bare`. They record what
 * they saw here. */

static struct {
    TallowProgramHandle program;
    TallowObjectHandle handle;
    TallowValue createData;
    int creates, destroys;
    int thingCreates, thingDestroys;
    TallowValue thingData;
    TallowObjectHandle thingHandle;
    char text[256];
    double number;
    int flag;
    int reachedAfter; /* set by a member after the call-back that may not return */
    int marks;
    double destroyedReadBack;
    TallowFile seenStdout;
    char lateName[32]; /* regprobe registers the probe library under this name */
    char lateData[1100];
} host;

enum {
    kEvalStr = 1,
    kEvalShort,
    kEvalNum,
    kKeyword,
    kTest,
    kTestStr,
    kTestNum,
    kThrow,
    kThrowNull,
    kStop,
    kVars,
    kMembers,
    kArrays,
    kGetVar,
    kAccess,
    kMark,
    kClearHost,
    kNullBuf,
    kWarnFirst,
    kInsertBad,
    kRegProbe,
    kDestroySelf
};
static const char kHostStatements[] =
    "evalstr\0evalshort\0evalnum\0keyword\0test\0teststr\0testnum\0throw\0thrownull\0stop\0vars\0"
    "members\0arrays\0getvar\0access\0mark\0clearhost\0nullbuf\0warnfirst\0insertbad\0regprobe\0"
    "destroyself\0";
enum { kAdd = 1, kFailFunction, kNothing };
static const char kHostNumbers[] = "add\0fail\0nothing\0";
enum { kGreet = 1, kNone };
static const char kHostStrings[] = "greet\0none\0";

static int TALLOW_ENTRY HostCreate(TallowObjectHandle object, TallowValue data, const char** statements,
                                   const char** numberFunctions, const char** stringFunctions) {
    ++host.creates;
    host.handle = object;
    host.createData = data;
    *statements = kHostStatements;
    *numberFunctions = kHostNumbers;
    *stringFunctions = kHostStrings;
    return 1;
}

/* Call-backs still work while the program destroys its objects. */
static int TALLOW_ENTRY HostDestroy(TallowObjectHandle object, TallowValue data) {
    (void)data;
    ++host.destroys;
    SetNumVar(object, "bye", 3);
    host.destroyedReadBack = GetNumVar(object, "bye");
    return 1;
}

static int TALLOW_ENTRY BareCreate(TallowObjectHandle object, TallowValue data, const char** statements,
                                   const char** numberFunctions, const char** stringFunctions) {
    (void)object;
    (void)data;
    (void)statements;
    (void)numberFunctions;
    (void)stringFunctions;
    return 1;
}

static int TALLOW_ENTRY ThingCreate(TallowObjectHandle object, TallowValue data, const char** statements,
                                    const char** numberFunctions, const char** stringFunctions) {
    host.thingHandle = object;
    ++host.thingCreates;
    host.thingData = data;
    *statements = kHostStatements;
    *numberFunctions = kHostNumbers;
    *stringFunctions = kHostStrings;
    return 1;
}

static int TALLOW_ENTRY ThingDestroy(TallowObjectHandle object, TallowValue data) {
    (void)object;
    (void)data;
    ++host.thingDestroys;
    return 1;
}

static void Arrays(TallowObjectHandle object) {
    char* item;
    ClearStringArray(object, "sa");
    EXPECT_INT(AddToStringArray(object, "sa", "a"), 1);
    EXPECT_INT(AddToStringArray(object, "SA", "bc"), 1);
    EXPECT_INT(GetStringArrayCount(object, "sa"), 2);
    item = GetStringArrayItem(object, "sa", 1);
    EXPECT_STR(item, "bc");
    FreeString(object, item);
    EXPECT_INT(GetStringArrayItem(object, "sa", 2) == NULL, 1);
    EXPECT_INT(GetStringArrayItem(object, "sa", -1) == NULL, 1);
    EXPECT_INT(GetStringArrayCount(object, "nosuch"), -1);
    EXPECT_INT(AddToStringArray(object, "nosuch", "x"), 0);
    EXPECT_INT(GetStringArrayItem(object, "nosuch", 0) == NULL, 1);

    ClearNumArray(object, "na");
    EXPECT_INT(AddToNumArray(object, "na", 1.5), 1);
    EXPECT_INT(AddToNumArray(object, "na", 2.5), 1);
    EXPECT_INT(GetNumArrayCount(object, "na"), 2);
    CHECK(GetNumArrayItem(object, "na", 1) == 2.5);
    CHECK(GetNumArrayItem(object, "na", 2) == 0.0);
    EXPECT_INT(GetNumArrayCount(object, "nosuch"), -1);
    EXPECT_INT(AddToNumArray(object, "nosuch", 1), 0);
    CHECK(GetNumArrayItem(object, "nosuch", 0) == 0.0);
    /* The kinds do not mix: a number array is no string array. */
    EXPECT_INT(GetStringArrayCount(object, "na"), -1);
}

static void Access(TallowObjectHandle object) {
    static int windowStandIn;
    TallowWindow old = GetParentHWND(object);
    SetParentHWND(object, (TallowWindow)&windowStandIn);
    CHECK(GetParentHWND(object) == (TallowWindow)&windowStandIn);
    SetParentHWND(object, old);
    CHECK(GetParentHWND(object) == old);
    host.seenStdout = GetStdout(object);
#if defined(_WIN32)
    CHECK(GetStdin(object) == GetStdHandle(STD_INPUT_HANDLE));
#else
    CHECK(GetStdin(object) == (TallowFile)(intptr_t)0);
#endif
    OpenConsole(object);
    EXPECT_INT(GetProperty(object, "never set"), 0);
    EXPECT_INT(SetProperty(object, "k", 77), 1);
    EXPECT_INT(GetProperty(object, "k"), 77);
    EXPECT_INT(GetProperty(object, "K"), 0); /* names match exactly */
    EXPECT_INT(SetProperty(object, "k", 78), 1);
    EXPECT_INT(GetProperty(object, "k"), 78);
}

static int TALLOW_ENTRY HostStatement(TallowObjectHandle object, int id) {
    char buffer[256];
    char* copy;
    double kind = 0, value = 0;
    host.reachedAfter = 0;
    switch (id) {
        case kEvalStr:
            HasFirstParam(object, 1);
            EvalString(object, host.text, sizeof host.text);
            break;
        case kEvalShort:
            HasFirstParam(object, 1);
            EvalString(object, host.text, 4);
            break;
        case kEvalNum:
            HasFirstParam(object, 1);
            EvalNum(object, &host.number);
            host.reachedAfter = 1;
            SetNumVar(object, "Got", host.number);
            break;
        case kKeyword:
            HasFirstParam(object, 1);
            EvalKeyword(object, host.text, sizeof host.text);
            break;
        case kTest:
            host.flag = Test(object);
            break;
        case kTestStr:
            host.flag = TestString(object);
            break;
        case kTestNum:
            host.flag = TestNum(object);
            break;
        case kThrow:
            HasFirstParam(object, 1);
            EvalNum(object, &kind);
            HasNextParam(object, 1);
            EvalString(object, buffer, sizeof buffer);
            ThrowError(object, (int)kind, buffer);
            host.reachedAfter = 1;
            break;
        case kThrowNull:
            ThrowError(object, 1, NULL);
            break;
        case kStop:
            EndProgram(object);
            break;
        case kVars:
            SetNumVar(object, "n", 5);
            host.number = GetNumVar(object, "N");
            SetStringVar(object, "s", "text");
            copy = GetStringVar(object, "s");
            snprintf(host.text, sizeof host.text, "%s", copy ? copy : "(null)");
            FreeString(object, copy);
            FreeString(NULL, NULL);
            SetNumConst(object, "Answer", 42);
            break;
        case kGetVar:
            EvalKeyword(object, buffer, sizeof buffer);
            host.number = GetNumVar(object, buffer);
            host.reachedAfter = 1;
            break;
        case kMembers:
            host.number = GetNumMember(object, "x");
            SetNumMember(object, "z", host.number * 2);
            SetStringMember(object, "y", "from host");
            copy = GetStringMember(object, "Y");
            snprintf(host.text, sizeof host.text, "%s", copy ? copy : "(null)");
            FreeString(object, copy);
            break;
        case kArrays:
            Arrays(object);
            break;
        case kAccess:
            Access(object);
            break;
        case kMark:
            HasFirstParam(object, 1);
            EvalNum(object, &value);
            host.marks += (int)value;
            break;
        case kClearHost:
            ClearStringArray(object, "host");
            break;
        case kNullBuf:
            /* Null buffers evaluate nothing: the parameter is still there. */
            EvalString(object, NULL, 10);
            EvalNum(object, NULL);
            EvalKeyword(object, NULL, 10);
            EvalNum(object, &value);
            SetNumVar(object, "Got", value);
            break;
        case kWarnFirst:
            /* A warning before the parameters are read leaves them in place. */
            ThrowError(object, 2, "careful");
            HasFirstParam(object, 1);
            EvalNum(object, &value);
            SetNumVar(object, "Got", value);
            break;
        case kRegProbe:
            host.flag = WriteExtensionRegistration("Objects", host.lateName, host.lateData);
            break;
        case kInsertBad:
            InsertObject("late", 0, host.program, HostCreate, HostDestroy, NULL, NULL, NULL);
            host.reachedAfter = 1;
            break;
        case kDestroySelf:
            /* The program goes only once its run returns: until then the
             * object and the program stay usable, and it cannot run again. */
            DestroyProgram(host.program);
            DestroyProgram(host.program);
            EXPECT_INT(RunProgram(host.program, "exit 9"), 1);
            SetNumVar(object, "after", 6);
            host.number = GetNumVar(object, "after");
            host.reachedAfter = 1;
            break;
        default:
            break;
    }
    return 1;
}

static int TALLOW_ENTRY HostNumFunction(TallowObjectHandle object, int id, double* result) {
    double a = 0, b = 0;
    if (id == kAdd) {
        HasFirstParam(object, 1);
        EvalNum(object, &a);
        HasNextParam(object, 1);
        EvalNum(object, &b);
        *result = a + b;
    }
    if (id == kFailFunction) ThrowError(object, 1, "failed in a function");
    return 1; /* kNothing leaves the preset 0.0 */
}

static int TALLOW_ENTRY HostStringFunction(TallowObjectHandle object, int id, const char** result) {
    static char greeting[128];
    char name[64];
    if (id == kGreet) {
        HasFirstParam(object, 1);
        EvalString(object, name, sizeof name);
        snprintf(greeting, sizeof greeting, "Hello, %s", name);
        *result = greeting;
    }
    return 1; /* kNone leaves the result null */
}

/* Adds `host` to program. */
static void InsertHost(TallowProgramHandle program, TallowValue data) {
    host.program = program;
    InsertObject("host", data, program, HostCreate, HostDestroy, HostStatement, HostNumFunction,
                 HostStringFunction);
}

/* ---- Checks of the exports -------------------------------------------------------- */

/* Every export that takes a program handle, with one that is no program:
 * nothing happens, and no entry point is called. */
static void ExpectNeutralProgram(TallowProgramHandle p) {
    int creates = host.creates;
    DestroyProgram(p);
    EXPECT_INT(RunProgram(p, "exit 1"), 0);
    InsertObject("x", 0, p, HostCreate, HostDestroy, HostStatement, HostNumFunction, HostStringFunction);
    InsertFactory("x", 0, p, HostCreate, HostDestroy, HostStatement, HostNumFunction, HostStringFunction);
    SetScriptFileName(p, "x");
    SetScriptArguments(p, 0, NULL);
    SetStatementLimit(p, 5);
    EXPECT_INT(host.creates, creates);
}

/* Every export that takes an object handle, with one that is no object. */
static void ExpectNeutralObject(TallowObjectHandle object) {
    char buffer[8] = "keep";
    double number = -1;
    CHECK(GetParentHWND(object) == NULL);
    SetParentHWND(object, NULL);
    CHECK(GetStdin(object) == NULL);
    CHECK(GetStdout(object) == NULL);
    OpenConsole(object);
    EndProgram(object);
    EXPECT_INT(SetProperty(object, "k", 1), 0);
    EXPECT_INT(GetProperty(object, "k"), 0);
    EXPECT_INT(HasFirstParam(object, 1), 0);
    EXPECT_INT(HasNextParam(object, 1), 0);
    EvalString(object, buffer, sizeof buffer);
    EvalKeyword(object, buffer, sizeof buffer);
    EXPECT_STR(buffer, "keep");
    EvalNum(object, &number);
    CHECK(number == -1);
    EXPECT_INT(Test(object), 0);
    EXPECT_INT(TestString(object), 0);
    EXPECT_INT(TestNum(object), 0);
    ThrowError(object, 1, "x");
    SetNumConst(object, "x", 1);
    SetNumVar(object, "x", 1);
    CHECK(GetNumVar(object, "x") == 0);
    SetStringVar(object, "x", "y");
    CHECK(GetStringVar(object, "x") == NULL);
    SetNumMember(object, "x", 1);
    CHECK(GetNumMember(object, "x") == 0);
    SetStringMember(object, "x", "y");
    CHECK(GetStringMember(object, "x") == NULL);
    ClearStringArray(object, "x");
    ClearNumArray(object, "x");
    EXPECT_INT(AddToStringArray(object, "x", "y"), 0);
    EXPECT_INT(AddToNumArray(object, "x", 1), 0);
    EXPECT_INT(GetStringArrayCount(object, "x"), -1);
    EXPECT_INT(GetNumArrayCount(object, "x"), -1);
    CHECK(GetStringArrayItem(object, "x", 0) == NULL);
    CHECK(GetNumArrayItem(object, "x", 0) == 0);
}

static void TestNullHandles(void) {
    ExpectNeutralProgram(NULL);
    ExpectNeutralObject(NULL);
}

/* Handles of a destroyed program and its objects, and handles that never
 * were any: checked against the live ones, never used. */
static void TestStaleHandles(void) {
    static int notAnObject[64];
    TallowObjectHandle stale;
    TallowProgramHandle p = CreateProgram();
    memset(&host, 0, sizeof host);
    InsertHost(p, 0);
    stale = host.handle;
    DestroyProgram(p);
    EXPECT_INT(host.destroys, 1);
    ExpectNeutralProgram(p);
    ExpectNeutralProgram((TallowProgramHandle)(void*)notAnObject);
    ExpectNeutralObject(stale);
    ExpectNeutralObject((TallowObjectHandle)(void*)notAnObject);
    EXPECT_INT(host.destroys, 1);
}

/* DestroyProgram from the create function of a host object that
 * InsertObject is inserting, outside any run: the program goes when
 * InsertObject returns, after the object's destroy. */
static TallowProgramHandle doomedProgram;
static int doomedDestroys;

static int TALLOW_ENTRY DoomedCreate(TallowObjectHandle object, TallowValue data, const char** statements,
                                     const char** numberFunctions, const char** stringFunctions) {
    (void)object, (void)data, (void)statements, (void)numberFunctions, (void)stringFunctions;
    DestroyProgram(doomedProgram);
    return 1;
}
static int TALLOW_ENTRY DoomedDestroy(TallowObjectHandle object, TallowValue data) {
    (void)object, (void)data;
    ++doomedDestroys;
    return 1;
}
static int TALLOW_ENTRY DoomedStatement(TallowObjectHandle object, int id) {
    (void)object, (void)id;
    return 0;
}
static int TALLOW_ENTRY DoomedNumber(TallowObjectHandle object, int id, double* result) {
    (void)object, (void)id;
    *result = 0;
    return 0;
}
static int TALLOW_ENTRY DoomedString(TallowObjectHandle object, int id, const char** result) {
    (void)object, (void)id;
    *result = "";
    return 0;
}

static void TestDestroyWhileInserting(void) {
    doomedProgram = CreateProgram();
    doomedDestroys = 0;
    InsertObject("doomed", 0, doomedProgram, DoomedCreate, DoomedDestroy, DoomedStatement, DoomedNumber,
                 DoomedString);
    EXPECT_INT(doomedDestroys, 1);
    ExpectNeutralProgram(doomedProgram);
}

/* DestroyProgram from inside a host object's member ends the run after that
 * statement; RunProgram destroys the program on its way out. */
static void TestDestroyInsideARun(void) {
    int code = -1;
    TallowProgramHandle p = CreateProgram();
    memset(&host, 0, sizeof host);
    InsertHost(p, 0);
    Run(p, "host.destroyself\r\nhost.mark 1\r\nexit 3", &code);
    EXPECT_INT(code, 0);
    EXPECT_INT(host.reachedAfter, 1);
    CHECK(host.number == 6);
    EXPECT_INT(host.marks, 0);
    EXPECT_INT(host.destroys, 1);
    CHECK(host.destroyedReadBack == 3);
    ExpectNeutralProgram(p);
    ExpectNeutralObject(host.handle);
}

/* Parameters, expressions and conditions through the call-backs. */
static void TestParameters(TallowProgramHandle p) {
    int code = 0;
    const char* err;

    Run(p, "host.evalstr \"a\" + \"b\" + 67", &code);
    EXPECT_STR(host.text, "abC");
    Run(p, "host.evalshort \"abcdef\"", &code);
    EXPECT_STR(host.text, "abc");
    Run(p, "host.evalnum 1 + 2 * 3\r\nexit Got#", &code);
    EXPECT_INT(code, 7);
    Run(p, "host.evalnum 1 + host.add(2, 3)\r\nexit Got#", &code);
    EXPECT_INT(code, 6);
    Run(p, "host.nullbuf 5\r\nexit Got#", &code);
    EXPECT_INT(code, 5);
    Run(p, "host.keyword hello", &code);
    EXPECT_STR(host.text, "hello");
    err = Run(p, "host.keyword \"x\"\r\nexit 99", &code);
    EXPECT_CONTAINS(err, "statement expected\nException raised at line 1");
    EXPECT_INT(code, 5);

    Run(p, "host.test 2 > 1", &code);
    EXPECT_INT(host.flag, 1);
    Run(p, "host.test \"b\" < \"a\"", &code);
    EXPECT_INT(host.flag, 0);
    Run(p, "host.teststr \"abc\" >= \"abd\"", &code);
    EXPECT_INT(host.flag, 0);
    Run(p, "host.teststr \"abd\" >= \"abc\"", &code);
    EXPECT_INT(host.flag, 1);
    Run(p, "host.testnum (1 + 2) <= 3", &code);
    EXPECT_INT(host.flag, 1);
    Run(p, "host.testnum 1 <> 1", &code);
    EXPECT_INT(host.flag, 0);
    err = Run(p, "host.teststr 1 = 1", &code);
    EXPECT_CONTAINS(err, "string expression expected");
    err = Run(p, "host.testnum \"a\" = \"a\"", &code);
    EXPECT_CONTAINS(err, "numerical expression expected");
    err = Run(p, "host.testnum 1 ~ 1", &code);
    EXPECT_CONTAINS(err, "conditional operator (=, <>, <, >, <=, or >=) expected");

    Run(p, "exit len(host.none()) + len(host.greet(\"Bo\")) + host.nothing()", &code);
    EXPECT_INT(code, 9);
}

/* Variables, constants, members and arrays. */
static void TestData(TallowProgramHandle p) {
    int code = 0;
    const char* err;

    Run(p, "host.vars\r\nexit Answer@ + n# + len(s$)", &code);
    EXPECT_INT(code, 51);
    CHECK(host.number == 5);
    EXPECT_STR(host.text, "text");
    err = Run(p, "host.getvar nosuch\r\nexit 1", &code);
    EXPECT_CONTAINS(err, "unknown variable encountered");
    EXPECT_INT(host.reachedAfter, 0);
    EXPECT_INT(code, 51);

    Run(p, "host.x# = 4\r\nhost.members\r\nexit host.z# + len(host.y$)", &code);
    EXPECT_INT(code, 17);
    EXPECT_STR(host.text, "from host");

    Run(p, "host.arrays\r\nexit sa.getsize() * 100 + na#[2] * 10 + len(sa$[2])", &code);
    EXPECT_INT(code, 227);
    err = Run(p, "host.clearhost\r\nexit 1", &code);
    EXPECT_CONTAINS(err, "array name conflict");
    EXPECT_INT(code, 227);
}

/* ThrowError of every kind, and errors raised inside call-backs, unwind back
 * through the host's C frames into the script. */
static void TestErrors(TallowProgramHandle p) {
    int code = 0;
    const char* err;

    Run(p,
        "try\r\nhost.throw 1, \"oops\"\r\ncatch\r\nhost.evalstr ErrMsg$ + str(ErrLine#)\r\nexit 9\r\nendtry",
        &code);
    EXPECT_INT(code, 9);
    EXPECT_STR(host.text, "oops2");
    err = Run(p, "try\r\nhost.throw 0, \"fatal\"\r\ncatch\r\nexit 8\r\nendtry\r\nexit 7", &code);
    EXPECT_INT(code, 9);
    EXPECT_STR(err, "Error: fatal\nException raised at line 2...aborting script execution.\n\n");
    err = Run(p, "host.throw 2, \"careful\"\r\nexit 3", &code);
    EXPECT_INT(code, 3);
    EXPECT_INT(host.reachedAfter, 1);
    EXPECT_STR(err, "Error: careful\nWarning raised at line 1...continuing script execution.\n\n");
    err = Run(p, "host.warnfirst 8\r\nexit Got#", &code);
    EXPECT_INT(code, 8);
    EXPECT_CONTAINS(err, "careful\nWarning raised at line 1");
    Run(p, "try\r\nhost.thrownull\r\ncatch\r\nhost.evalstr ErrMsg$\r\nendtry", &code);
    EXPECT_STR(host.text, "Internal error");

    /* A run-time error inside the expression a call-back evaluates. */
    Run(p, "dim a#[2]\r\ntry\r\nhost.evalnum a#[5]\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 11\r\nendtry",
        &code);
    EXPECT_INT(code, 11);
    EXPECT_INT(host.reachedAfter, 0);
    EXPECT_STR(host.text, "array index out of bounds");
    /* Two entry points deep: the inner function's error passes the outer one. */
    Run(p, "try\r\nhost.evalnum 1 + host.fail()\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 12\r\nendtry",
        &code);
    EXPECT_INT(code, 12);
    EXPECT_INT(host.reachedAfter, 0);
    EXPECT_STR(host.text, "failed in a function");
    /* A missing parameter is a syntax error: no TRY catches it. */
    err = Run(p, "try\r\nhost.evalnum\r\ncatch\r\nexit 13\r\nendtry\r\nexit 14", &code);
    EXPECT_INT(code, 12);
    EXPECT_CONTAINS(err, "required parameter missing\nException raised at line 2");
    /* InsertObject from inside an entry point reports into the script. */
    Run(p, "try\r\nhost.insertbad\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 16\r\nendtry", &code);
    EXPECT_INT(code, 16);
    EXPECT_INT(host.reachedAfter, 0);
    EXPECT_STR(host.text, "Could not create extension object!");
    /* After all that, the same program still runs normally. */
    Run(p, "host.evalnum 2\r\nexit Got# * 2", &code);
    EXPECT_INT(code, 4);
}

/* EndProgram ends the run after the statement in progress, here inside a
 * procedure body. */
static void TestEndProgram(TallowProgramHandle p) {
    int code = 0;
    host.marks = 0;
    Run(p,
        "proc stopper\r\n"
        "  host.mark 1\r\n"
        "  host.stop\r\n"
        "  host.mark 10\r\n"
        "endproc\r\n"
        "stopper\r\n"
        "host.mark 100\r\n"
        "exit 15",
        &code);
    EXPECT_INT(host.marks, 1);
    EXPECT_INT(code, 4);
    Run(p, "host.stop\r\nexit 15", &code);
    EXPECT_INT(code, 4);
    Run(p, "exit 15", &code); /* the next run is not stopped */
    EXPECT_INT(code, 15);
}

/* Runs of one program: the host object stays, variables and members go; the
 * program handles; call-backs made outside any entry point. */
static void TestRunsAndAccess(TallowProgramHandle p) {
    int code = 0;
    double number = -1;
    const char* err;

    Run(p, "keep# = 1\r\nhost.m# = 2\r\nexit 1", &code);
    EXPECT_INT(code, 1);
    err = Run(p, "exit keep#", &code);
    EXPECT_CONTAINS(err, "unknown variable encountered");
    err = Run(p, "exit host.m#", &code);
    EXPECT_CONTAINS(err, "unknown variable encountered");
    EXPECT_INT(code, 1);
    Run(p, "host.evalnum 20\r\nexit Got#", &code);
    EXPECT_INT(code, 20);
    EXPECT_INT(host.creates, 1);

    Run(p, "host.access", &code);
#if defined(_WIN32)
    CHECK(host.seenStdout == GetStdHandle(STD_OUTPUT_HANDLE));
#else
    CHECK(host.seenStdout == (TallowFile)(intptr_t)1);
#endif

    /* Outside an entry point nothing raises: neutral results, no jump. */
    EvalNum(host.handle, &number);
    CHECK(number == -1);
    EXPECT_INT(HasFirstParam(host.handle, 1), 0);
    ThrowError(host.handle, 1, "outside");
    /* Nor is anything left of the last run's text read, though this one
     * stopped before its parameters. */
    Run(p, "host.stop 5, \"six\"\r\nexit 1", &code);
    EXPECT_INT(HasFirstParam(host.handle, 0), 0);
    EvalNum(host.handle, &number);
    CHECK(number == -1);
    EXPECT_INT(HasNextParam(host.handle, 0), 0);
    EXPECT_INT(Test(host.handle), 0);
    CHECK(GetNumVar(host.handle, "nosuch") == 0);
    SetNumVar(host.handle, "pre", 3); /* a host may set globals before a run */
    Run(p, "exit pre#", &code);
    EXPECT_INT(code, 3);
}

/* Objects and types a host adds, and what goes wrong with them. */
static void TestHostObjectsAndTypes(TallowProgramHandle p) {
    int code = 0;
    const char* err;

    BeginCapture();
    InsertObject("broken", 0, p, HostCreate, NULL, HostStatement, HostNumFunction, HostStringFunction);
    err = EndCapture();
    EXPECT_CONTAINS(err, "Could not create extension object!");
    err = Run(p, "broken.evalnum 3", &code);
    EXPECT_CONTAINS(err, "undefined object");
    EXPECT_INT(host.creates, 1);

    /* No member lists at all: member variables still work. */
    InsertObject("bare", 0, p, BareCreate, HostDestroy, HostStatement, HostNumFunction, HostStringFunction);
    Run(p, "bare.x$ = \"abc\"\r\nexit len(bare.x$)", &code);
    EXPECT_INT(code, 3);
    err = Run(p, "bare.evalnum 1", &code);
    EXPECT_CONTAINS(err, "unknown statement encountered");

    InsertFactory("hostthing", 5, p, ThingCreate, ThingDestroy, HostStatement, HostNumFunction,
                  HostStringFunction);
    Run(p, "new t as hostthing\r\nt.evalnum 4\r\nexit Got#", &code);
    EXPECT_INT(code, 4);
    EXPECT_INT(host.thingCreates, 1);
    EXPECT_INT(host.thingDestroys, 1); /* the end of the run destroyed it */
    EXPECT_INT(host.thingData, 5);
    Run(p, "new u as HOSTTHING\r\ndelete u\r\nexit 2", &code);
    EXPECT_INT(host.thingCreates, 2);
    EXPECT_INT(host.thingDestroys, 2);
    ExpectNeutralObject(host.thingHandle); /* deleted, in a program that lives on */
    InsertFactory("nullthing", 0, p, NULL, NULL, NULL, NULL, NULL);
    Run(p, "try\r\nnew v as nullthing\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 17\r\nendtry", &code);
    EXPECT_INT(code, 17);
    EXPECT_STR(host.text, "Could not create extension object!");
}

static void TestHostProgram(void) {
    TallowProgramHandle p = CreateProgram();
    CHECK(p != NULL);
    if (!p) return;
    memset(&host, 0, sizeof host);
    InsertHost(p, 42);
    EXPECT_INT(host.creates, 1);
    EXPECT_INT(host.createData, 42);

    TestParameters(p);
    TestData(p);
    TestErrors(p);
    TestEndProgram(p);
    TestRunsAndAccess(p);
    TestHostObjectsAndTypes(p);

    DestroyProgram(p);
    EXPECT_INT(host.destroys, 2); /* host and bare */
    CHECK(host.destroyedReadBack == 3);
}

/* RunTallowBuffer, RunTallowBufferRedirected and the script settings. */
static void TestRunners(void) {
    int code = 0;
    const char* err;
    const char* args[] = {"one", "three"};
    char output[64] = "";
    TallowProgramHandle p;
#if defined(_WIN32)
    DWORD n = 0;
    char name[64];
    HANDLE file;
    snprintf(name, sizeof name, "api_host_%lu.out", ProcessId());
    file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
    EXPECT_INT(
        RunTallowBufferRedirected("print \"redirected\"\r\nexit 4", GetStdHandle(STD_INPUT_HANDLE), file), 4);
    SetFilePointer(file, 0, NULL, FILE_BEGIN);
    if (!ReadFile(file, output, sizeof output - 1, &n, NULL)) n = 0;
    output[n] = '\0';
    CloseHandle(file);
#else
    char name[] = "/tmp/api_host_outXXXXXX";
    int fd = mkstemp(name);
    ssize_t n;
    unlink(name);
    EXPECT_INT(RunTallowBufferRedirected("print \"redirected\"\r\nexit 4", (TallowFile)(intptr_t)0,
                                         (TallowFile)(intptr_t)fd),
               4);
    lseek(fd, 0, SEEK_SET);
    n = read(fd, output, sizeof output - 1);
    output[n > 0 ? n : 0] = '\0';
    close(fd);
#endif
    EXPECT_STR(output, "redirected");
    EXPECT_INT(RunTallowBuffer("exit 5"), 5);
    EXPECT_INT(RunTallowBuffer(NULL), 0);

    /* The standard output went back to what it was. */
    p = CreateProgram();
    InsertHost(p, 0);
    Run(p, "host.access", &code);
#if defined(_WIN32)
    CHECK(host.seenStdout == GetStdHandle(STD_OUTPUT_HANDLE));
#else
    CHECK(host.seenStdout == (TallowFile)(intptr_t)1);
#endif
    SetScriptFileName(p, "demo.tal");
    err = Run(p, "exit (1", &code);
    EXPECT_CONTAINS(err, "aborting script execution.\ndemo.tal\n");
    SetScriptArguments(p, 2, args);
    Run(p, "exit len(argv$[2]) + argv.getsize() * 10", &code);
    EXPECT_INT(code, 25);
    DestroyProgram(p);
}

/* ---- Extension libraries through the registry --------------------------------- */

/* Paths arrive as Unix paths; under Wine they live on drive Z:. */
static void LibraryPath(char* out, size_t size, const char* path) {
#if defined(_WIN32)
    snprintf(out, size, "%s%s", path[0] == '/' ? "Z:" : "", path);
#else
    snprintf(out, size, "%s", path);
#endif
}

static void RemoveExampleRegistrations(void) {
    WriteExtensionRegistration("Objects", "textkit", NULL);
    WriteExtensionRegistration("Factories", "tally", NULL);
}

static void TestRegistrationWriter(void) {
    char longData[1100];
    memset(longData, 'x', sizeof longData);
    longData[1024] = '\0'; /* 1025 bytes with its NUL: one too many */
    EXPECT_INT(WriteExtensionRegistration("Other", "x", "1;y"), 0);
    EXPECT_INT(WriteExtensionRegistration(NULL, "x", "1;y"), 0);
    EXPECT_INT(WriteExtensionRegistration("Objects", "", "1;y"), 0);
    EXPECT_INT(WriteExtensionRegistration("Objects", NULL, "1;y"), 0);
    EXPECT_INT(WriteExtensionRegistration("Objects", "abcdefghijklmnopqrstuvwxyz012345", "1;y"), 0);
    EXPECT_INT(WriteExtensionRegistration("Objects", "x", longData), 0);
    EXPECT_INT(WriteExtensionRegistration("Objects", "apihostneverwritten", NULL), 0);
}

static void TestRegistered(const char* probe, const char* example, const char* core) {
    char object[32], type[32], bad[32], data[1100], script[2400];
    TallowProgramHandle p;
    int code = 0;
    const char* err;
    unsigned long pid = ProcessId();

    snprintf(object, sizeof object, "probe%lu", pid);
    snprintf(type, sizeof type, "probetype%lu", pid);
    snprintf(bad, sizeof bad, "bad%lu", pid);

    snprintf(data, sizeof data, "7;%s", probe);
    EXPECT_INT(WriteExtensionRegistration("Objects", object, data), 1);
    snprintf(data, sizeof data, "2;%s", probe);
    EXPECT_INT(WriteExtensionRegistration("factories", type, data), 1);

    p = CreateProgram();
    InsertHost(p, 0);
    snprintf(script, sizeof script, "exit %s.data() * 10 + %s.creates()", object, object);
    Run(p, script, &code);
    EXPECT_INT(code, 71);
    /* A second run keeps the object loaded by the first. */
    snprintf(script, sizeof script, "exit %s.creates() + 20", object);
    Run(p, script, &code);
    EXPECT_INT(code, 21);
    /* An error raised inside the library's own frames reaches TRY. */
    snprintf(script, sizeof script, "try\r\n%s.fail\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 6\r\nendtry",
             object);
    Run(p, script, &code);
    EXPECT_INT(code, 6);
    EXPECT_STR(host.text, "probe failed");
    snprintf(script, sizeof script, "exit len(%s.nothing()) + 3", object);
    Run(p, script, &code);
    EXPECT_INT(code, 3);
    /* A library type whose objects have no members. */
    snprintf(script, sizeof script, "new q as %s\r\nq.x$ = \"abcd\"\r\nexit len(q.x$)", type);
    Run(p, script, &code);
    EXPECT_INT(code, 4);
    DestroyProgram(p);

    /* Data without ";" has no path; a library without the entry points. */
    EXPECT_INT(WriteExtensionRegistration("Objects", bad, "7"), 1);
    BeginCapture();
    EXPECT_INT(RunTallowBuffer("exit 1"), 0);
    EXPECT_CONTAINS(EndCapture(), "Could not initialize extension library!");
    p = CreateProgram();
    err = Run(p, "exit 1", &code);
    EXPECT_INT(code, 0);
    EXPECT_STR(err,
               "Error: Could not initialize extension library!\n"
               "Exception raised at line 1...aborting script execution.\n\n");
    snprintf(data, sizeof data, "0;%s", core);
    EXPECT_INT(WriteExtensionRegistration("Objects", bad, data), 1);
    err = Run(p, "exit 1", &code);
    EXPECT_INT(code, 0);
    EXPECT_CONTAINS(err, "Could not initialize extension library!");
    EXPECT_INT(WriteExtensionRegistration("Objects", bad, NULL), 1);
    Run(p, "exit 1", &code);
    EXPECT_INT(code, 1);
    DestroyProgram(p);

    EXPECT_INT(WriteExtensionRegistration("Objects", object, NULL), 1);
    EXPECT_INT(WriteExtensionRegistration("Factories", type, NULL), 1);

    /* Registered during a run, an object is there in the next nested run. */
    snprintf(host.lateName, sizeof host.lateName, "late%lu", pid);
    snprintf(host.lateData, sizeof host.lateData, "9;%s", probe);
    p = CreateProgram();
    InsertHost(p, 0);
    snprintf(script, sizeof script, "host.regprobe\r\neval \"exit %s.data()\"\r\nexit 1", host.lateName);
    Run(p, script, &code);
    EXPECT_INT(host.flag, 1);
    EXPECT_INT(code, 9);
    DestroyProgram(p);
    EXPECT_INT(WriteExtensionRegistration("Objects", host.lateName, NULL), 1);

    /* registerextension, its failures, and the new object in the same run. */
    p = CreateProgram();
    InsertHost(p, 0);
    snprintf(script, sizeof script,
             "try\r\nregisterextension \"%s\"\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 1\r\nendtry", probe);
    Run(p, script, &code);
    EXPECT_STR(host.text, "Extension library failed to self-register!");
    snprintf(script, sizeof script,
             "try\r\nregisterextension \"%s\"\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 2\r\nendtry", core);
    Run(p, script, &code);
    EXPECT_STR(host.text, "Extension library cannot self-register!");
    snprintf(script, sizeof script,
             "try\r\nregisterextension \"%s.missing\"\r\ncatch\r\nhost.evalstr ErrMsg$\r\nexit 3\r\nendtry",
             probe);
    Run(p, script, &code);
    EXPECT_INT(code, 3);
    EXPECT_STR(host.text, "Could not load extension library!");

    snprintf(script, sizeof script,
             "registerextension \"%s\"\r\n"
             "textkit.split \"x-y-z\", \"-\", parts\r\n"
             "new t as tally\r\n"
             "t.add 10, 20\r\n"
             "try\r\n"
             "  n# = textkit.count(\"abc\", \"\")\r\n"
             "catch\r\n"
             "  host.evalstr ErrMsg$\r\n"
             "endtry\r\n"
             "exit parts.getsize() * 100 + t.total()",
             example);
    Run(p, script, &code);
    EXPECT_INT(code, 330);
    EXPECT_STR(host.text, "The text to count is empty!");
    /* A missing parameter inside the library is a syntax error. */
    err = Run(p, "textkit.split \"a\"\r\nexit 1", &code);
    EXPECT_INT(code, 330);
    EXPECT_CONTAINS(err, "required parameter missing\nException raised at line 1");
    DestroyProgram(p);
    RemoveExampleRegistrations();
}

/* A statement budget ends runaway runs; each run gets the whole budget. */
static void TestStatementLimit(void) {
    TallowProgramHandle p = CreateProgram();
    SetStatementLimit(p, 50);
    CHECK(RunProgram(p, "exit 4\rwhile 1 = 1\rendwhile") == 4);
    CHECK(RunProgram(p, "i# = 0\rwhile 1 = 1\ri# = i# + 1\rif i# > 100 then exit 9 endif\rendwhile") == 4);
    SetStatementLimit(p, 1000);
    CHECK(RunProgram(p, "i# = 0\rwhile 1 = 1\ri# = i# + 1\rif i# > 100 then exit 9 endif\rendwhile") == 9);
    SetStatementLimit(p, 0);
    CHECK(RunProgram(p, "for i# = 1 to 5000\rnext\rexit 1") == 1);
    SetStatementLimit(NULL, 5);
    DestroyProgram(p);
}

/* A time limit ends a loop and a long wait alike; each run gets all of it. */
static void TestTimeLimit(void) {
    TallowProgramHandle p = CreateProgram();
    SetTimeLimit(p, 300);
    CHECK(RunProgram(p, "exit 3\rsleep 100") == 3);
    CHECK(RunProgram(p, "sleep 100\rexit 5") == 3);
    CHECK(GetRunOutcome(p) == TALLOW_RUN_TIME);
    CHECK(RunProgram(p, "while 1 = 1\rendwhile") == 3);
    CHECK(GetRunOutcome(p) == TALLOW_RUN_TIME);
    SetTimeLimit(p, 0);
    CHECK(RunProgram(p, "sleep 1\rexit 6") == 6);
    CHECK(GetRunOutcome(p) == TALLOW_RUN_ENDED);
    SetTimeLimit(NULL, 5);
    DestroyProgram(p);
}

/* After a run a host can ask how it ended and why it failed. */
static void TestRunOutcome(void) {
    char message[64], token[16];
    int line = -1, column = -1, kind = -1;
    TallowProgramHandle p = CreateProgram();
    CHECK(GetTallowVersion() == TALLOW_VERSION_NUMBER);
    CHECK(GetRunOutcome(p) == TALLOW_RUN_NONE);
    CHECK(GetLastRunError(p, message, sizeof message, &line, &column, &kind, token, sizeof token) == 0);
    RunProgram(p, "x# = 1\n  y# = 2 +\n  pritn \"x\"");
    CHECK(GetRunOutcome(p) == TALLOW_RUN_FAILED);
    CHECK(GetLastRunError(p, message, sizeof message, &line, &column, &kind, token, sizeof token) == 1);
    CHECK(strcmp(message, "unknown statement encountered") == 0);
    CHECK(line == 3 && column == 3 && kind == 0);
    CHECK(strcmp(token, "pritn") == 0);
    /* A small buffer gets the start of the text; NULL parts are skipped. */
    CHECK(GetLastRunError(p, message, 8, NULL, NULL, NULL, NULL, 0) == 1);
    CHECK(strcmp(message, "unknown") == 0);
    RunProgram(p, "try\rthrow \"caught\"\rcatch\rendtry");
    CHECK(GetRunOutcome(p) == TALLOW_RUN_ENDED);
    CHECK(GetLastRunError(p, message, sizeof message, &line, &column, &kind, token, sizeof token) == 0);
    SetStatementLimit(p, 10);
    RunProgram(p, "while 1 = 1\rendwhile");
    CHECK(GetRunOutcome(p) == TALLOW_RUN_BUDGET);
    CHECK(GetRunOutcome(NULL) == TALLOW_RUN_NONE);
    CHECK(GetLastRunError(NULL, message, sizeof message, &line, &column, &kind, token, sizeof token) == 0);
    DestroyProgram(p);
}

/* The notes on an error, the value of a session's expression entry, and
 * where error boxes go: a program's own setting over the process's. */
static void TestNotesValuesAndErrorOutput(void) {
    char text[128];
    const char* err;
    int line = -1, column = -1, code = 0;
    TallowProgramHandle p = CreateProgram();
    RunProgram(p, "z# = flor(2.5)");
    CHECK(GetLastRunErrorNote(p, 0, text, sizeof text, &line, &column) == 1);
    EXPECT_STR(text, "did you mean 'floor'?");
    CHECK(line == 1 && column == 6);
    CHECK(GetLastRunErrorNote(p, 1, text, sizeof text, NULL, NULL) == 0);
    CHECK(GetLastRunErrorNote(NULL, 0, text, sizeof text, NULL, NULL) == 0);
    /* A value only in a session, and only for an expression. */
    CHECK(RunProgram(p, "2 + 2") == 0);
    CHECK(GetRunValue(p, text, sizeof text) == 0);
    SetSession(p, 1);
    RunProgram(p, "x# = 40");
    CHECK(GetRunValue(p, text, sizeof text) == 0);
    RunProgram(p, "x# / 16");
    CHECK(GetRunValue(p, text, sizeof text) == 3);
    EXPECT_STR(text, "2.5");
    RunProgram(p, "\"a\" + 34");
    CHECK(GetRunValue(p, text, 4) == 8); /* the whole length; the text cut to fit */
    EXPECT_STR(text, "\"a\"");
    CHECK(GetRunValue(NULL, text, sizeof text) == 0);
    SetSession(p, 0);
    /* With HOST the error that ends a run is left to the host: no box, but
     * GetLastRunError still has it. */
    SetErrorOutput(p, TALLOW_ERRORS_HOST);
    err = Run(p, "y# = nothere#", &code);
    EXPECT_STR(err, "");
    CHECK(GetLastRunError(p, text, sizeof text, &line, &column, NULL, NULL, 0) == 1);
    EXPECT_STR(text, "unknown variable encountered");
    SetErrorOutput(p, TALLOW_ERRORS_PROCESS);
    err = Run(p, "y# = nothere#", &code);
    EXPECT_CONTAINS(err, "unknown variable encountered");
    SetErrorOutput(p, 77); /* ignored */
    SetErrorOutput(NULL, 77);
    SetErrorOutput((TallowProgramHandle)(void*)text, TALLOW_ERRORS_HOST); /* no program: ignored */
    DestroyProgram(p);
}

/* A memory budget fails the growing statement; fast paths off change no
 * result. */
static void TestMemoryLimitAndFastPaths(void) {
    const char* grow = "dim a$[1000000]\rexit 2";
    const char* sum = "s# = 0\rfor i# = 1 to 10\rs# = s# + i#\rnext\rexit s#";
    TallowProgramHandle p = CreateProgram();
    CHECK(RunProgram(p, "exit 1") == 1);
    SetMemoryLimit(p, 8 << 20);
    CHECK(RunProgram(p, grow) == 1); /* failed: the exit code stays */
    SetMemoryLimit(p, 0);
    CHECK(RunProgram(p, grow) == 2);
    SetFastPaths(p, 0);
    CHECK(RunProgram(p, sum) == 55);
    SetFastPaths(p, 1);
    CHECK(RunProgram(p, sum) == 55);
    SetMemoryLimit(NULL, 1);
    SetFastPaths(NULL, 0);
    DestroyProgram(p);
}

/* Scripts reach only memory their Heap object handed out, unless the host
 * trusts them with raw addresses (memory of its own, here). */
static void TestTrustAddresses(void) {
    static unsigned char outside[4] = {42, 0, 0, 0};
    char text[200];
    const char* err;
    int code = -1;
    TallowProgramHandle p = CreateProgram();
    snprintf(text, sizeof text,
             "x# = Heap.readnumber(%.0f, hnByte@)\rHeap.writenumber %.0f, 7, hnByte@\rexit x#",
             (double)(uintptr_t)outside, (double)(uintptr_t)(outside + 1));
    err = Run(p, text, &code);
    EXPECT_INT(code, 0);
    EXPECT_CONTAINS(err, "Invalid heap address!\nException raised at line 1");
    SetTrustAddresses(p, 1);
    err = Run(p, text, &code);
    EXPECT_INT(code, 42);
    EXPECT_STR(err, "");
    EXPECT_INT(outside[1], 7);
    /* Trusted or not, only the program's own blocks can be freed. */
    snprintf(text, sizeof text, "Heap.free %.0f\rexit 5", (double)(uintptr_t)outside);
    err = Run(p, text, &code);
    EXPECT_CONTAINS(err, "Invalid heap address!");
    EXPECT_INT(code, 42);
    SetTrustAddresses(p, 0);
    outside[2] = 9;
    snprintf(text, sizeof text, "exit Heap.readnumber(%.0f, hnByte@)", (double)(uintptr_t)(outside + 2));
    err = Run(p, text, &code);
    EXPECT_CONTAINS(err, "Invalid heap address!");
    SetTrustAddresses(NULL, 1);
    DestroyProgram(p);
}

int main(int argc, char** argv) {
    char probe[1024], example[1024], core[1024];
    SetUnattended(1);
    if (argc == 2 && strcmp(argv[1], "--cleanup") == 0) {
        RemoveExampleRegistrations();
        return 0;
    }
    if (argc != 4) {
        fprintf(stderr, "usage: api_host PROBE.tlx EXAMPLE.tlx CORE-LIBRARY | --cleanup\n");
        return 2;
    }
    LibraryPath(probe, sizeof probe, argv[1]);
    LibraryPath(example, sizeof example, argv[2]);
    LibraryPath(core, sizeof core, argv[3]);
    RemoveExampleRegistrations();

    TestNullHandles();
    TestStaleHandles();
    TestDestroyInsideARun();
    TestDestroyWhileInserting();
    TestStatementLimit();
    TestMemoryLimitAndFastPaths();
    TestTrustAddresses();
    TestRunOutcome();
    TestNotesValuesAndErrorOutput();
    TestTimeLimit();
    TestHostProgram();
    TestRunners();
    TestRegistrationWriter();
    TestRegistered(probe, example, core);

    printf("%d passed, %d failed\n", checks - failures, failures);
    return failures ? 1 : 0;
}
