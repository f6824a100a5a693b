/* host.c - a small program in plain C that embeds Tallow.
 *
 * It creates a program, adds an object of its own called `host`, runs two
 * scripts on that program one after the other and destroys it. The object
 * keeps its C state across both runs, while the scripts' variables do not
 * survive from one run to the next.
 *
 *   host.log "text"        prints "[host] text" on a line of its own
 *   n# = host.lines()      how many lines were logged, in all runs so far
 *   s$ = host.name()       the host's name
 *
 * Usage: example_host [--unattended]
 */
#include <stdio.h>
#include <string.h>

#include "tallow.h"

/* Member ids: the position of the name in its list, from 1. */
enum { kLog = 1 };
enum { kLines = 1 };
enum { kName = 1 };

/* Longest text the host logs in one line. */
#define LINE_SIZE 512

static int linesLogged = 0;

static int TALLOW_ENTRY HostCreate(TallowObjectHandle object, TallowValue data, const char** statements,
                                   const char** numberFunctions, const char** stringFunctions) {
    (void)object;
    (void)data;
    *statements = "log\0";
    *numberFunctions = "lines\0";
    *stringFunctions = "name\0";
    return 1;
}

static int TALLOW_ENTRY HostDestroy(TallowObjectHandle object, TallowValue data) {
    (void)object;
    (void)data;
    printf("[host] destroyed after %d lines\n", linesLogged);
    fflush(stdout);
    return 1;
}

/* log text$ */
static int TALLOW_ENTRY HostStatement(TallowObjectHandle object, int id) {
    char text[LINE_SIZE];
    if (id != kLog) return 0;
    HasFirstParam(object, 1); /* does not return when the text is missing */
    EvalString(object, text, sizeof text);
    printf("[host] %s\n", text);
    fflush(stdout); /* the script's own print writes past this buffer */
    ++linesLogged;
    return 1;
}

static int TALLOW_ENTRY HostNumFunction(TallowObjectHandle object, int id, double* result) {
    (void)object;
    if (id == kLines) *result = linesLogged;
    return 1;
}

static int TALLOW_ENTRY HostStringFunction(TallowObjectHandle object, int id, const char** result) {
    (void)object;
    if (id == kName) *result = "example host";
    return 1;
}

static const char kFirstScript[] =
    "greeting$ = \"Hello from the first run\"\r\n"
    "host.log greeting$\r\n"
    "host.log \"I am talking to \" + host.name()\r\n";

/* greeting$ of the first run is gone here; the host object is not. */
static const char kSecondScript[] =
    "host.log \"Second run; lines so far: \" + str(host.lines())\r\n"
    "exit host.lines()\r\n";

int main(int argc, char** argv) {
    TallowProgramHandle program;
    int code;
    if (argc > 1 && strcmp(argv[1], "--unattended") == 0) SetUnattended(1);

    program = CreateProgram();
    if (!program) return 1;
    InsertObject("host", 0, program, HostCreate, HostDestroy, HostStatement, HostNumFunction,
                 HostStringFunction);

    code = RunProgram(program, kFirstScript);
    printf("first run: exit code %d\n", code);
    code = RunProgram(program, kSecondScript);
    printf("second run: exit code %d\n", code);
    fflush(stdout);

    DestroyProgram(program);
    return 0;
}
