#!/usr/bin/env python3
"""skipped-summary.py <JUnit file of a CTest run>...

Says, once each, what the CTest runs skipped and why: the line of a group of suites that stood
in for a missing optional package ("skipped: <suites>: <reason>"), and each GoogleTest case
that skipped itself, with its message. "skipped: nothing" when nothing was.
"""
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path


def skips(case):
    output = (case.findtext("system-out") or "").splitlines()
    said = [line for line in output if line.startswith("skipped: ")]
    if said:
        return said
    # GoogleTest: "<file>:<line>: Skipped" and the message on the next line.
    for i, line in enumerate(output[:-1]):
        if line.endswith(": Skipped"):
            return [f"skipped: {case.get('name')}: {output[i + 1]}"]
    return [f"skipped: {case.get('name')}"]


def main(files):
    seen = []
    for file in files:
        if not Path(file).exists():
            continue
        for case in ElementTree.parse(file).getroot().iter("testcase"):
            if case.get("status") == "notrun" or case.find("skipped") is not None:
                seen += [line for line in skips(case) if line not in seen]
    print("\n".join(seen) if seen else "skipped: nothing")


if __name__ == "__main__":
    main(sys.argv[1:])
