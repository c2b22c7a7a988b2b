#!/usr/bin/python3
"""Runs every benchmark of bench/ and prints one table, each figure beside its target.

    bench/run_all.py [--bin build/bin] [--quick]

--quick runs fewer start-ups and scanning steps (a rough figure in a minute).
A benchmark that cannot run here (no X server for the real key events, say)
shows "not run" instead of a figure. Exit status 1 when a target is missed.

To add a benchmark: add its command to COMMANDS and one Row per figure it prints.
"""

import argparse
import os
import re
import subprocess
import sys
from dataclasses import dataclass
from typing import Callable, Optional


@dataclass
class Row:
    label: str
    command: str  # a key of COMMANDS
    pattern: str  # a regular expression whose first group is the figure
    unit: str
    target: str  # as the reader sees it
    met: Callable[[float], bool]


def google(name: str) -> str:
    """The time column of a Google Benchmark console line."""
    return r"^" + name + r"\s+([\d.]+) ms"


# Each command runs once; its output serves all its rows. (full, quick) arguments.
COMMANDS = {
    "startup": (["bench_startup", "21"], ["bench_startup", "5"]),
    "exercise": (["bench_exercise"], ["bench_exercise", "--benchmark_min_time=0.1"]),
    "wordload": (["bench_wordload"], ["bench_wordload", "--benchmark_min_time=0.1"]),
    "scanning": (["bench_scanning"], ["bench_scanning", "20"]),
    "speech": (["bench_speech", "50"], ["bench_speech", "10"]),
    "history": (["bench_history"], ["bench_history"]),
}

ROWS = [
    Row("launch to the start window mapped (X server), median", "startup", r"^Velmora:\s+([\d.]+)", "ms",
        "reported", lambda x: True),
    Row("launch to a bare Qt window mapped (X server), median", "startup", r"^bare Qt window:\s+([\d.]+)", "ms",
        "reported", lambda x: True),
    Row("start window mapped, against a bare Qt window (medians)", "startup", r"^ratio:\s+([\d.]+)", "×",
        "≤ 1.25 ×", lambda x: x <= 1.25),
    Row("resident memory at the start window, against a bare Qt window", "startup",
        r"^ratio:\s+[\d.]+\s+([\d.]+)", "×", "≤ 1.25 ×", lambda x: x <= 1.25),
    Row("answer to sign shown", "exercise", google("BM_AnswerToSignShown"), "ms", "< 5 ms", lambda x: x < 5),
    Row("\"avanti\" to next word shown", "exercise", google("BM_AvantiToNextWordShown"), "ms", "< 5 ms",
        lambda x: x < 5),
    Row("word list, 12000 records", "wordload", google("wordList"), "ms", "< 20 ms", lambda x: x < 20),
    Row("sentence list, 12000 lines", "wordload", google("sentenceList"), "ms", "< 20 ms", lambda x: x < 20),
    Row("automatic steps at 0.25 s: median deviation", "scanning", r"interval\s+250 ms.*median deviation ([\d.]+)",
        "ms", "≤ 2 ms", lambda x: x <= 2),
    Row("automatic steps at 0.25 s: worst deviation", "scanning", r"interval\s+250 ms.*worst ([\d.]+)", "ms",
        "≤ 15 ms", lambda x: x <= 15),
    Row("automatic steps at 0.25 s: drift over the run", "scanning", r"interval\s+250 ms.*drift (-?[\d.]+)", "ms",
        "no drift (≤ 2 ms)", lambda x: abs(x) <= 2),
    Row("automatic steps at 1 s: median deviation", "scanning", r"interval\s+1000 ms.*median deviation ([\d.]+)",
        "ms", "≤ 2 ms", lambda x: x <= 2),
    Row("automatic steps at 1 s: worst deviation", "scanning", r"interval\s+1000 ms.*worst ([\d.]+)", "ms",
        "≤ 15 ms", lambda x: x <= 15),
    Row("automatic steps at 1 s: drift over the run", "scanning", r"interval\s+1000 ms.*drift (-?[\d.]+)", "ms",
        "no drift (≤ 2 ms)", lambda x: abs(x) <= 2),
    Row("largest topic menu: average steps to a button, one by one", "scanning",
        r"one by one: steps to reach a button: average ([\d.]+)", "steps", "reported", lambda x: True),
    Row("largest topic menu: average steps to a button, by rows and columns", "scanning",
        r"by rows and columns: steps to reach a button: average ([\d.]+)", "steps", "reported", lambda x: True),
    Row("largest topic menu: by rows and columns against one by one, on average", "scanning",
        r"by rows and columns: steps to reach a button: average [\d.]+, worst \d+, 2 selections \(([\d.]+) of",
        "× one by one", "≤ 0.6 ×", lambda x: x <= 0.6),
    Row("largest topic menu: worst steps to a button, one by one", "scanning",
        r"one by one: steps to reach a button: average [\d.]+, worst (\d+)", "steps", "reported", lambda x: True),
    Row("largest topic menu: worst steps to a button, by rows and columns", "scanning",
        r"by rows and columns: steps to reach a button: average [\d.]+, worst (\d+)", "steps", "reported",
        lambda x: True),
    Row("space release to highlight repainted, guard off (median)", "scanning",
        r"^space release.*guard off.*median ([\d.]+)", "ms", "< 5 ms", lambda x: x < 5),
    Row("space release to highlight repainted, guard on (median)", "scanning",
        r"^space release.*guard on.*median ([\d.]+)", "ms", "< 5 ms", lambda x: x < 5),
    Row("real X space release to highlight repainted, guard off (median)", "scanning",
        r"^real X space release.*guard off.*median ([\d.]+)", "ms", "< 5 ms", lambda x: x < 5),
    Row("real X space release to highlight repainted, guard on (median)", "scanning",
        r"^real X space release.*guard on.*median ([\d.]+)", "ms", "< 5 ms", lambda x: x < 5),
    Row("controller release to highlight repainted, against a space release (median)", "scanning",
        r"^controller release.*guard off.*against a space release: ([-+\d.]+)", "ms", "within 1 ms",
        lambda x: abs(x) <= 1),
    Row("real X mouse click to highlight repainted, against a space release (median)", "scanning",
        r"^real X mouse click against a space release, guard off: ([-+\d.]+)", "ms", "within 1 ms",
        lambda x: abs(x) <= 1),
    Row("processor while scanning automatically, with the countdown", "scanning",
        r"^processor while scanning automatically: ([\d.]+)", "% of a core", "≤ 2 %", lambda x: x <= 2),
    Row("processor with the menu at rest", "scanning", r"^processor while scanning.*idle: ([\d.]+)",
        "% of a core", "reported", lambda x: True),
    Row("\"leggi\" to first samples handed to the audio output (worst)", "speech",
        r"^leggi to first samples.*worst ([\d.]+)", "ms", "< 30 ms", lambda x: x < 30),
    Row("highlight step to the cue's first samples handed to the audio output (worst)", "speech",
        r"^highlight step to the cue's first samples.*worst ([\d.]+)", "ms", "< 30 ms", lambda x: x < 30),
    Row("resident memory, character shown and speaking", "speech", r"^resident memory:.*, ([\d.]+) MB with the character",
        "MB", "reported", lambda x: True),
    Row("answer history: one answer recorded and committed (median)", "history",
        r"^record one answer: median ([\d.]+)", "ms", "< 1 ms", lambda x: x < 1),
    Row("answer history: file size per 10000 answers", "history", r"^database size per 10000 answers: ([\d.]+)",
        "KB", "reported", lambda x: True),
    Row("answer history: opening a file of 110000 answers (median)", "history",
        r"^open the file with \d+ answers: median ([\d.]+)", "ms", "reported", lambda x: True),
    Row("answer history: \"Progressi\" of a pupil with 100000 answers (median)", "history",
        r"^progress, all: median ([\d.]+) ms.*\(100000 answers", "ms", "< 300 ms", lambda x: x < 300),
]


def run(bin_dir: str, arguments: list) -> str:
    program = os.path.join(bin_dir, arguments[0])
    if not os.access(program, os.X_OK):
        return ""
    environment = dict(os.environ)
    if not environment.get("DISPLAY") and not environment.get("WAYLAND_DISPLAY"):
        environment.setdefault("QT_QPA_PLATFORM", "offscreen")
    print("running " + " ".join(arguments) + " …", file=sys.stderr, flush=True)
    done = subprocess.run([program] + arguments[1:], env=environment, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, check=False)
    return done.stdout


def figure(output: str, pattern: str) -> Optional[float]:
    found = re.search(pattern, output, re.MULTILINE)
    return float(found.group(1)) if found else None


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--bin", default=os.path.join(here, "..", "build", "bin"))
    parser.add_argument("--quick", action="store_true")
    options = parser.parse_args()

    outputs = {name: run(options.bin, quick if options.quick else full)
               for name, (full, quick) in COMMANDS.items()}

    table = [("Benchmark", "Figure", "Target", "")]
    missed = False
    for row in ROWS:
        value = figure(outputs[row.command], row.pattern)
        if value is None:
            table.append((row.label, "not run", row.target, ""))
            continue
        ok = row.met(value)
        missed = missed or not ok
        table.append((row.label, f"{value:g} {row.unit}", row.target, "ok" if ok else "MISSED"))

    widths = [max(len(line[i]) for line in table) for i in range(4)]
    for i, line in enumerate(table):
        print("| " + " | ".join(cell.ljust(widths[c]) for c, cell in enumerate(line)) + " |")
        if i == 0:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
