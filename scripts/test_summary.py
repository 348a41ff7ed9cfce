#!/usr/bin/env python3
"""The one summary of a test run over several build trees.

Arguments: one TREE:BUILT:BUILD_LOG:JUNIT_XML per tree, BUILT being "yes" or "no". Prints,
per tree, whether it built and how many of its tests passed, failed and were skipped, then
every failing test by name with the file and line of each failure it reported. A test
program that runs many GoogleTest tests as one CTest entry (the window's tests) is looked
into, so the summary names the test inside it, not only the program. Exits 1 when a tree
did not build or a test failed, else 0.
"""

import re
import sys
import xml.etree.ElementTree as ElementTree

RUN = re.compile(r"^\[ RUN      \] (\S+)")
FAILED = re.compile(r"^\[  FAILED  \] (\S+) \(")
FAILURE_PLACE = re.compile(r"^(\S+?):(\d+): (?:Failure|error:)")
SANITIZER = re.compile(r"^(?:SUMMARY: \w+Sanitizer: .*|==\d+==ERROR: .*)")
COMPILE_ERROR = re.compile(r"^(\S+?):(\d+)(?::\d+)?: (?:fatal )?error: (.*)")


def gtest_failures(output):
    """(test, [(file, line)], note) for each GoogleTest test that failed or never ended."""
    failures = []
    current, places = None, []
    for line in output.splitlines():
        run = RUN.match(line)
        if run:
            current, places = run.group(1), []
            continue
        place = FAILURE_PLACE.match(line)
        if place and current:
            places.append((place.group(1), place.group(2)))
            continue
        failed = FAILED.match(line)
        if failed and failed.group(1) == current:
            failures.append((current, places, ""))
            current, places = None, []
        elif line.startswith("[       OK ] ") and current and line.split()[3] == current:
            current, places = None, []
    if current:  # started and never finished: the program died in it
        failures.append((current, places, "the program stopped in this test"))
    return failures


def short_place(path):
    for top in ("/tests/", "/src/", "/bench/", "/tools/"):
        at = path.rfind(top)
        if at >= 0:
            return path[at + 1:]
    return path


def read_junit(path):
    try:
        root = ElementTree.parse(path).getroot()
    except (OSError, ElementTree.ParseError):
        return None
    cases = []
    for case in root.iter("testcase"):
        status = case.get("status", "")
        if case.find("failure") is not None or status == "fail":
            state = "failed"
        elif case.find("skipped") is not None or status in ("notrun", "disabled"):
            state = "skipped"
        else:
            state = "passed"
        out = case.find("system-out")
        cases.append((case.get("name", "?"), state, out.text if out is not None and out.text else ""))
    return cases


def describe_failure(name, output):
    lines = []
    inner = gtest_failures(output)
    for test, places, note in inner:
        where = ", ".join(f"{short_place(f)}:{l}" for f, l in places) or "no file and line reported"
        label = test if test == name else f"{name}: {test}"
        lines.append(f"    FAILED {label}  ({where}){'  ' + note if note else ''}")
    if not inner:
        sanitizer = [l for l in output.splitlines() if SANITIZER.match(l)]
        detail = sanitizer[-1] if sanitizer else (output.strip().splitlines() or ["no output"])[-1]
        lines.append(f"    FAILED {name}  ({detail.strip()[:200]})")
    return lines


def main(args):
    report, details, bad = [], [], False
    for arg in args:
        tree, built, build_log, junit = arg.split(":", 3)
        if built != "yes":
            bad = True
            report.append(f"  {tree:7} did not build")
            try:
                with open(build_log, errors="replace") as log:
                    errors = [m for m in map(COMPILE_ERROR.match, log) if m]
            except OSError:
                errors = []
            for m in errors[:10]:
                details.append(f"    {tree}: {short_place(m.group(1))}:{m.group(2)}: {m.group(3).strip()}")
            if not errors:
                details.append(f"    {tree}: the build failed; see {build_log}")
            continue
        cases = read_junit(junit)
        if cases is None:
            bad = True
            report.append(f"  {tree:7} ran no tests (no CTest results in {junit})")
            continue
        counts = {"passed": 0, "failed": 0, "skipped": 0}
        for name, state, output in cases:
            counts[state] += 1
            if state == "failed":
                details.extend(f"{tree}: {line.strip()}" for line in describe_failure(name, output))
        bad = bad or counts["failed"] > 0
        report.append(f"  {tree:7} {counts['passed']} passed, {counts['failed']} failed, "
                      f"{counts['skipped']} skipped")
    print("\n==== Summary")
    print("\n".join(report))
    if details:
        print("Failures:")
        print("\n".join("  " + d.strip() for d in details))
    print("All trees built and passed." if not bad else "Some trees failed (see above).")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
