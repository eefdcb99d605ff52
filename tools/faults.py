#!/usr/bin/env python3
"""Fault injection over the window-free code: how many faults the native tests catch.

Each fault of a list (tools/faults/*.txt by default) is put into a copy of the
sources, the native tree (g++, ASan and UBSan, as ./test builds it but without
debug information) is built from that copy and its tests are run; then the
fault is taken out again. A fault is caught when a test fails (a crash, a
sanitizer report and a test that hangs until its time limit count as
failures). The working tree is only read: the faults go into
$NORVIX_BUILD_DIR/faults/src (build/faults/src by default), which is brought
up to date with the working tree at every start, and the file a fault
changed is put back even when the run is interrupted (a run that is killed
outright leaves it to the next start to put back).

It is run by hand (./test does not run it): a fault takes about ten seconds,
so give it one list, or one area of a list, at a time.

    tools/faults.py -j4 tools/faults/second.txt   # one list, four jobs
    tools/faults.py                       # every list in tools/faults
    tools/faults.py tools/faults/first.txt --area engine
    tools/faults.py --list                # what would be run, nothing built
    tools/faults.py --only 3,7            # faults by their number in the run

A list holds faults like this one; a "-" line is taken out (it must occur
exactly once in the file, compared without its leading blanks) and the "+"
line after it put in its place ("+" with nothing after it deletes). Lines
indented by two blanks continue the "-" or "+" line above them.

    == engine | src/battle/attack.cpp | a disarmed unit fires with its full attack
    - const uint32_t attack = unit.Disarmed ? 0 : rules.attack;
    + const uint32_t attack = rules.attack;
"""

import argparse
import filecmp
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD_ROOT = Path(os.environ.get("NORVIX_BUILD_DIR", ROOT / "build"))
WORK = BUILD_ROOT / "faults"
COPY = WORK / "src"
TREE = WORK / "native"
# What the native tree is built and tested from.
COPIED = ["CMakeLists.txt", "cmake", "src", "tests", "tools", "bench", "data"]
AREAS = ["skin core", "skin layout", "engine", "readers"]


class Fault:
    def __init__(self, area, path, title, origin):
        self.area, self.path, self.title, self.origin = area, path, title, origin
        self.edits = []  # (old, new) pairs


def read_lists(paths):
    faults = []
    for list_path in paths:
        current = None
        for number, raw in enumerate(Path(list_path).read_text(encoding="utf-8").splitlines(), 1):
            where = f"{list_path}:{number}"
            line = raw.rstrip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("=="):
                parts = [p.strip() for p in line[2:].split("|")]
                if len(parts) != 3 or parts[0] not in AREAS:
                    sys.exit(f"{where}: expected '== area | file | what goes wrong', area one of {AREAS}")
                current = Fault(parts[0], parts[1], parts[2], where)
                faults.append(current)
            elif line.startswith("-") and current:
                current.edits.append([[line[1:].strip()], None])
                last = current.edits[-1][0]
            elif line.startswith("+") and current and current.edits and current.edits[-1][1] is None:
                current.edits[-1][1] = [line[1:].strip()]
                last = current.edits[-1][1]
            elif line.startswith("  ") and current and current.edits:
                last.append(line.strip())  # a further line of the same block
            else:
                sys.exit(f"{where}: not a fault line: {raw}")
    for f in faults:
        if not f.edits or any(new is None for _, new in f.edits):
            sys.exit(f"{f.origin}: every '-' line needs its '+' line")
    return faults


def faulty_text(fault, text):
    """The file's text with the fault in it, or an error message."""
    for old, new in fault.edits:
        # Compared without the leading blanks of each line; the first keeps its indentation.
        pattern = r"\n[ \t]*".join(re.escape(line) for line in old)
        hits = list(re.finditer(pattern, text))
        if len(hits) != 1:
            return None, f"'{' / '.join(old)}' occurs {len(hits)} times in {fault.path}"
        start, end = hits[0].span()
        text = text[:start] + "\n".join(new) + text[end:]
    return text, None


def sync_copy():
    """Makes the copy equal to the working tree, touching only what differs."""
    wanted = set()
    for top in COPIED:
        src = ROOT / top
        if src.is_file():
            items = [src]
        else:
            items = [p for p in src.rglob("*") if p.is_file() and "__pycache__" not in p.parts]
        for item in items:
            rel = item.relative_to(ROOT)
            wanted.add(rel)
            target = COPY / rel
            if not target.exists() or not filecmp.cmp(item, target, shallow=False):
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copy2(item, target)
                os.utime(target)  # newer than any object built from an earlier content
    for item in list(COPY.rglob("*")):
        if item.is_file() and item.relative_to(COPY) not in wanted:
            item.unlink()


def run(command, log, timeout=None):
    """Runs a build or the tests in a process group of their own: when the run is
    interrupted, the compilers and tests below it are stopped as well, so that
    none of them writes an object of the faulty file after it has been put back."""
    with open(log, "w") as out:
        process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            return process.wait(timeout=timeout)
        except BaseException:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
            raise


def build(jobs):
    return run(["cmake", "--build", str(TREE), "-j", str(jobs)], WORK / "build.log") == 0


def failing_tests(jobs):
    """The names of the tests that fail (empty when all pass); stops at the first failure."""
    log = WORK / "ctest.log"
    rc = run(["ctest", "--test-dir", str(TREE), "-j", str(jobs), "--stop-on-failure"], log)
    if rc == 0:
        return []
    text = log.read_text(errors="replace")
    summary = text.split("The following tests FAILED:")[-1] if "The following tests FAILED:" in text else ""
    return re.findall(r"^\s*\d+ - (\S+) \(", summary, re.M) or [f"ctest (see {log})"]


class Interrupted(Exception):
    pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("lists", nargs="*", help="fault lists (default: tools/faults/*.txt)")
    parser.add_argument("--area", choices=AREAS, help="only the faults of this area")
    parser.add_argument("--only", help="only these faults, by number (1,4,9)")
    parser.add_argument("--list", action="store_true", help="show the faults and check that they apply")
    parser.add_argument("-j", "--jobs", type=int, default=int(os.environ.get("NORVIX_JOBS", os.cpu_count() or 2)))
    args = parser.parse_args()

    lists = args.lists or sorted(str(p) for p in (ROOT / "tools" / "faults").glob("*.txt"))
    faults = read_lists(lists)
    numbered = list(enumerate(faults, 1))
    if args.area:
        numbered = [(n, f) for n, f in numbered if f.area == args.area]
    if args.only:
        chosen = {int(n) for n in args.only.split(",")}
        numbered = [(n, f) for n, f in numbered if n in chosen]

    broken = []
    for n, f in numbered:
        path = ROOT / f.path
        _, error = faulty_text(f, path.read_text(encoding="utf-8")) if path.is_file() else (None, "no such file")
        if error:
            broken.append(f"{f.origin}: {error}")
    if broken:
        sys.exit("Faults that no longer apply (the code has changed; mend the list):\n  " + "\n  ".join(broken))
    if args.list:
        for n, f in numbered:
            print(f"{n:3} [{f.area}] {f.path}: {f.title}")
        return 0

    def stop(signum, frame):
        raise Interrupted()

    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, stop)

    WORK.mkdir(parents=True, exist_ok=True)
    print(f"Copying the sources to {COPY} and building the native tree in {TREE} ...", flush=True)
    sync_copy()
    if not (TREE / "CMakeCache.txt").exists():
        # As ./test builds it, less the debug information, and linked by lld where there is one:
        # most of a fault's time goes into linking every test again.
        options = ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG",
                   "-DNORVIX_SANITIZE=ON"]
        if shutil.which("ld.lld"):
            options.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
        if run(["cmake", "-S", str(COPY), "-B", str(TREE)] + options, WORK / "configure.log") != 0:
            sys.exit(f"cmake failed: see {WORK / 'configure.log'}")
    if not build(args.jobs):
        sys.exit(f"The tree does not build without faults: see {WORK / 'build.log'}")
    already = failing_tests(args.jobs)
    if already:
        sys.exit(f"The tests fail without any fault ({', '.join(already)}): see {WORK / 'ctest.log'}")

    results = {}  # number -> "caught" / "survived" / "no build"
    try:
        for n, f in numbered:
            target = COPY / f.path
            original = target.read_text(encoding="utf-8")
            started = time.time()
            try:
                text, _ = faulty_text(f, original)
                target.write_text(text, encoding="utf-8")
                if not build(args.jobs):
                    results[n] = "no build"
                    verdict = "does not build (not counted)"
                else:
                    failed = failing_tests(args.jobs)
                    results[n] = "caught" if failed else "survived"
                    verdict = f"caught by {', '.join(failed)}" if failed else "SURVIVED"
            finally:
                target.write_text(original, encoding="utf-8")
            print(f"{n:3} [{f.area}] {f.path}: {f.title}: {verdict} ({time.time() - started:.0f} s)", flush=True)
    except Interrupted:
        print("Interrupted; the faulty file has been put back.")
    finally:
        # Leaves the tree built from the sources as they are.
        build(args.jobs)

    counted = [(n, f) for n, f in numbered if results.get(n) in ("caught", "survived")]
    if not counted:
        return 1
    print()
    total_caught = 0
    for area in AREAS:
        mine = [n for n, f in counted if f.area == area]
        if not mine:
            continue
        caught = sum(results[n] == "caught" for n in mine)
        total_caught += caught
        print(f"{area:12} {caught:3} of {len(mine):3} caught ({100 * caught // len(mine)} %)")
    print(f"{'all':12} {total_caught:3} of {len(counted):3} caught ({100 * total_caught // len(counted)} %)")
    survivors = [f"{n} {f.path}: {f.title}" for n, f in counted if results[n] == "survived"]
    if survivors:
        print("Survivors:\n  " + "\n  ".join(survivors))
    return 0


if __name__ == "__main__":
    sys.exit(main())
