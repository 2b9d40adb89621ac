#!/usr/bin/env python3
"""Times zelkfile on large inputs: import of a table of N rows (the worked lab table of
examples/ repeated, every water unit and steam form), export of the file that gives, check
of it, and its report (report+: as CSV, with the Na-K-Mg diagram). Prints the CPU time (user + system) and the peak memory of each run, the median
of three runs, for each size.

Usage: bench/zelkfile_bench.py path/to/zelkfile [ROWS...]   (default 10000 100000)
"""
import os
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def run(command, stdout):
    """CPU seconds and peak resident memory (KiB) of one run of command. Measured by
    /usr/bin/time (Debian package time): the peak memory of a child of this script would
    count the script's own, which the child had before it became the program."""
    timed = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", *command], stdout=stdout, stderr=subprocess.PIPE)
    lines = timed.stderr.decode(errors="replace").splitlines()
    if timed.returncode != 0 or not lines:
        sys.exit(f"{' '.join(command)}: exit status {timed.returncode}: {' '.join(lines)}")
    user, system, peak = lines[-1].split()
    return float(user) + float(system), int(peak)


def measure(command, output_path=None):
    runs = []
    for _ in range(3):
        with open(output_path or os.devnull, "wb") as out:
            runs.append(run(command, out))
    return statistics.median(r[0] for r in runs), max(r[1] for r in runs)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    zelkfile = sys.argv[1]
    sizes = [int(n) for n in sys.argv[2:]] or [10000, 100000]
    with open(os.path.join(HERE, "..", "examples", "lab-table.csv"), encoding="latin-1") as table:
        header, *rows = table.read().splitlines()
    print(f"{'rows':>8} {'verb':>8} {'CPU s':>7} {'peak MiB':>9}")
    with tempfile.TemporaryDirectory() as work:
        for size in sizes:
            table_path = os.path.join(work, "lab.csv")
            with open(table_path, "w", encoding="latin-1") as table:
                table.write(header + "\n")
                for i in range(size):
                    table.write(rows[i % len(rows)] + "\n")
            out = os.path.join(work, "kavix.in")
            for verb, command, output in (
                ("import", [zelkfile, "import", table_path, "-o", out], None),
                ("export", [zelkfile, "export", out], None),
                ("check", [zelkfile, "check", out], None),
                ("report", [zelkfile, "report", out], None),
                ("report+", [zelkfile, "report", out, "--csv", "--svg", os.path.join(work, "na-k-mg.svg")], None),
            ):
                seconds, peak = measure(command, output)
                print(f"{size:>8} {verb:>8} {seconds:>7.2f} {peak / 1024:>9.1f}")
            for name in os.listdir(work):
                if name.startswith("kavix.in.~") or name.startswith("na-k-mg.svg.~"):
                    os.remove(os.path.join(work, name))


if __name__ == "__main__":
    main()
