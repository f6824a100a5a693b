"""Checks of bench/run's own logic: the program files, the count rewriting and the checksum
parsing. Run with: python3 bench/test_run.py"""

import importlib.machinery
import importlib.util
import os
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
_loader = importlib.machinery.SourceFileLoader("bench_run", os.path.join(HERE, "run"))
_spec = importlib.util.spec_from_loader("bench_run", _loader)
run = importlib.util.module_from_spec(_spec)
_loader.exec_module(run)

INTERPS = [run.Interp("tallow", "tallow", ".tal", [])] + run.PEERS


class ProgramFiles(unittest.TestCase):
    def test_every_benchmark_has_a_program_per_interpreter(self):
        for bench in run.BENCHES:
            for interp in INTERPS:
                names = [bench.name] + ([bench.fallback] if bench.fallback else [])
                paths = [os.path.join(HERE, interp.folder, n + interp.ext) for n in names]
                self.assertTrue(any(map(os.path.exists, paths)), f"{interp.name} {bench.name}")

    def test_each_program_has_exactly_one_count_line_with_the_full_count(self):
        for bench in run.BENCHES:
            for interp in INTERPS:
                path = os.path.join(HERE, interp.folder, bench.name + interp.ext)
                if not os.path.exists(path):
                    continue
                with open(path, encoding="latin-1") as f:
                    matches = run.COUNT_LINE.findall(f.read())
                self.assertEqual(len(matches), 1, path)
                self.assertEqual(int(matches[0][1]), bench.full, path)

    def test_count_rewrite_keeps_the_rest_of_the_line(self):
        text = "' x\nn# = 30 ' COUNT\nm# = 30\n"
        out = run.COUNT_LINE.sub(lambda m: m.group(1) + "7" + m.group(3), text, count=1)
        self.assertEqual(out, "' x\nn# = 7 ' COUNT\nm# = 30\n")
        lua = run.COUNT_LINE.sub(lambda m: m.group(1) + "7" + m.group(3), "local r = 300 -- COUNT\n")
        self.assertEqual(lua, "local r = 7 -- COUNT\n")


class Parsing(unittest.TestCase):
    def test_checksum_skips_banners_and_normalises_blanks(self):
        out = "\rBywater BASIC Interpreter\n\r \nwhile  1143957473   5208336  519\n\n"
        self.assertEqual(run.Checksum(out, "while"), "while 1143957473 5208336 519")

    def test_checksum_takes_the_last_line_and_handles_cr_lf(self):
        self.assertEqual(run.Checksum("fib 1\r\nfib 2\r\n", "fib"), "fib 2")
        self.assertIsNone(run.Checksum("fibonacci 3\nError: x\n", "fib"))

    def test_callgrind_total_is_the_last_collected_line(self):
        err = ("==7== Callgrind, a call-graph generating cache profiler\n==7== Events    : Ir\n"
               "==7== Collected : 218767462\n==7== \n==7== I   refs:      218,767,462\n")
        self.assertEqual(run.CollectedInstructions(err), 218767462)
        self.assertIsNone(run.CollectedInstructions("count 3000000\n"))

    def test_fib_call_count(self):
        self.assertEqual([run.FibCalls(n) for n in range(5)], [1, 1, 3, 5, 9])
        self.assertEqual(run.FibCalls(32), 7049155)


if __name__ == "__main__":
    unittest.main()
