#!/usr/bin/env python3
"""Compares the matches of the yara command and of tarnwick-scan on one tree.

    check_matches.py YARA_OUTPUT TARNWICK_JSON TREE [MANIFEST]

YARA_OUTPUT holds yara's "RULE PATH" lines, TARNWICK_JSON tarnwick-scan's scan record. Paths are
compared relative to TREE. With the tree's manifest (make_tree.py writes it beside the tree),
also checks that every (rule, file) pair its markers were made for was found, and that
tarnwick-scan counted every file.

Prints "pairs N" and "markers FOUND EXPECTED" and the differences; exits 0 when the two sets are
equal and every marker was found, 1 otherwise.
"""
import json
import os
import sys


def relative(path, tree):
    return os.path.relpath(os.path.normpath(path), tree)


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    yara_output, record_file, tree = sys.argv[1:4]
    tree = os.path.normpath(tree)
    ok = True

    yara = set()
    with open(yara_output, "rb") as f:
        for raw in f:
            line = raw.rstrip(b"\n").decode("utf-8", "surrogateescape")
            if not line:
                continue
            rule, sep, path = line.partition(" ")
            if not sep:
                print("yara printed a line that is no match: %r" % line)
                ok = False
                continue
            yara.add((rule, relative(path, tree)))

    with open(record_file, encoding="utf-8") as f:
        record = json.load(f)
    tarnwick = {(m["identifier"], relative(m["filepath"], tree)) for m in record.get("matches", [])}
    if record.get("scanStatus") != "complete":
        print("tarnwick-scan's scan ended %r, not complete" % record.get("scanStatus"))
        ok = False

    for name, only in (("yara", yara - tarnwick), ("tarnwick-scan", tarnwick - yara)):
        for rule, path in sorted(only)[:10]:
            print("only %s: %s %s" % (name, rule, path))
        if only:
            print("only %s: %d pairs in all" % (name, len(only)))
            ok = False
    print("pairs %d %d" % (len(yara), len(tarnwick)))

    if len(sys.argv) == 5:
        with open(sys.argv[4], encoding="utf-8") as f:
            manifest = json.load(f)
        expected = {(rule, os.path.normpath(path)) for rule, path in manifest["expected"]}
        missed = sorted(expected - (yara & tarnwick))
        for rule, path in missed[:10]:
            print("marker not found by both: %s %s" % (rule, path))
        print("markers %d %d" % (len(expected) - len(missed), len(expected)))
        if missed:
            ok = False
        if record.get("fileCount") != manifest["files"]:
            print("tarnwick-scan counted %s files; the tree has %d" % (record.get("fileCount"), manifest["files"]))
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
