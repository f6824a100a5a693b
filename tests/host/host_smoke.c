/* host_smoke.c - a host written in plain C that drives TallowCore through
 * tallow.h and the shared library alone: exit codes, repeated runs of one
 * program, and the null handles every export must accept. */
#include <stdio.h>

#include "tallow.h"

static int failures = 0;
static int checks = 0;

/* Records one comparison of a result with the value it must have. */
static void Expect(int line, const char* what, long actual, long expected) {
    ++checks;
    if (actual == expected) return;
    ++failures;
    fprintf(stderr, "host_smoke.c:%d: %s gave %ld, expected %ld\n", line, what, actual, expected);
}

#define EXPECT(call, expected) Expect(__LINE__, #call, (long)(call), (long)(expected))

/* The one-shot runner. */
static void TestRunTallowBuffer(void) {
    EXPECT(RunTallowBuffer("exit 5"), 5);
    EXPECT(RunTallowBuffer("x# = 1\r\nexit x# + 40"), 41);
    EXPECT(RunTallowBuffer("x# = 1"), 0);  /* no exit: 0 */
    EXPECT(RunTallowBuffer("exit (3"), 0); /* a syntax error before any exit */
    EXPECT(RunTallowBuffer(NULL), 0);
    EXPECT(RunTallowBuffer("exit 6"), 6); /* earlier failures leave nothing behind */
}

/* One program run several times: each run starts from empty variables, the
 * exit code lasts until an exit with an argument changes it. */
static void TestRepeatedRuns(void) {
    TallowProgramHandle program = CreateProgram();
    EXPECT(program != NULL, 1);
    if (!program) return;

    EXPECT(RunProgram(program, "x# = 1\r\nexit 7"), 7);
    /* x# is gone: reading it is an error that ends the run before exit. */
    EXPECT(RunProgram(program, "exit x# + 40"), 7);
    EXPECT(RunProgram(program, "y# = 2"), 7);
    EXPECT(RunProgram(program, "exit"), 7);
    EXPECT(RunProgram(program, NULL), 7);

    EXPECT(RunProgram(program, "exit 9"), 9);
    EXPECT(RunProgram(program, "if 1 = 1 exit 3"), 9);    /* THEN expected */
    EXPECT(RunProgram(program, "exit (3"), 9);            /* unbalanced parenthesis */
    EXPECT(RunProgram(program, "endwhile\r\nexit 3"), 9); /* WEND without WHILE */
    EXPECT(RunProgram(program, "try\r\nthrow \"x\"\r\ncatch\r\nendtry\r\nexit 12"), 12);
    EXPECT(RunProgram(program, "exit 0"), 0);

    /* A second program keeps its own exit code. */
    TallowProgramHandle other = CreateProgram();
    EXPECT(other != NULL, 1);
    EXPECT(RunProgram(other, "exit 21"), 21);
    EXPECT(RunProgram(program, "x# = 1"), 0);
    EXPECT(RunProgram(other, "x# = 1"), 21);
    DestroyProgram(other);
    DestroyProgram(program);
}

/* Script arguments reach every later run as argv, until a negative count. */
static void TestScriptArguments(void) {
    static const char* const args[] = {"a", "bcd"};
    TallowProgramHandle program = CreateProgram();
    EXPECT(program != NULL, 1);
    if (!program) return;
    SetScriptFileName(program, "host_smoke.tal");
    SetScriptArguments(program, 2, args);
    EXPECT(RunProgram(program, "exit argv.getsize() * 10 + len(argv$[2])"), 23);
    EXPECT(RunProgram(program, "exit argv.getsize() * 10 + len(argv$[2])"), 23);
    SetScriptArguments(program, -1, NULL);
    EXPECT(RunProgram(program, "exit 0"), 0);
    EXPECT(RunProgram(program, "exit 20 + len(argv$[2])"), 0); /* no argv any more */
    DestroyProgram(program);
}

/* Every export that takes a program ignores a null one. */
static void TestNullProgram(void) {
    static const char* const args[] = {"a"};
    EXPECT(RunProgram(NULL, "exit 3"), 0);
    DestroyProgram(NULL);
    SetScriptFileName(NULL, "x.tal");
    SetScriptArguments(NULL, 1, args);
}

int main(void) {
    SetUnattended(1); /* script errors go to standard error, no box waits */
    TestRunTallowBuffer();
    TestRepeatedRuns();
    TestScriptArguments();
    TestNullProgram();
    printf("host_smoke: %d passed, %d failed\n", checks - failures, failures);
    return failures ? 1 : 0;
}
