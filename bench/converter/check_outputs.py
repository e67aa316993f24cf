#!/usr/bin/env python3
"""Checks that the converters saw the same rules: same count, same names in the same order.

    check_outputs.py EXPECTED_COUNT converter:FILE yaramod:FILE plyara:FILE

A converter or yaramod file is the converter's JSON document ({"ruleset":[{"rules":[...]}]});
a plyara file is plyara's list of rule dictionaries. A missing file is skipped. Prints one line
per tool, "tool count", and exits 1 when any count or name list differs.
"""
import json
import sys


def values(collection):
    # The converter's collections are arrays, but an object in their place is read by its values.
    if isinstance(collection, list):
        return collection
    if isinstance(collection, dict):
        return list(collection.values())
    return []


def converter_names(doc):
    names = []
    if not isinstance(doc, dict):
        return names
    for entry in values(doc.get("ruleset")):
        if isinstance(entry, dict):
            for rule in values(entry.get("rules")):
                names.append(rule.get("name", "") if isinstance(rule, dict) else "")
    return names


def plyara_names(doc):
    return [rule.get("rule_name", "") for rule in doc] if isinstance(doc, list) else []


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    expected = int(argv[1])
    results = []
    for arg in argv[2:]:
        tool, _, path = arg.partition(":")
        try:
            with open(path, "r", encoding="utf-8", errors="replace") as fh:
                doc = json.load(fh)
        except FileNotFoundError:
            continue
        except ValueError as exc:
            print("%s: output is not JSON (%s)" % (tool, exc), file=sys.stderr)
            results.append((tool, None))
            continue
        results.append((tool, plyara_names(doc) if tool == "plyara" else converter_names(doc)))

    ok = True
    reference = None
    for tool, names in results:
        if names is None:
            print("%s -" % tool)
            ok = False
            continue
        print("%s %d" % (tool, len(names)))
        if len(names) != expected:
            print("%s: %d rules, expected %d" % (tool, len(names), expected), file=sys.stderr)
            ok = False
        if reference is None:
            reference = (tool, names)
        elif names != reference[1]:
            first = next((i for i, (a, b) in enumerate(zip(names, reference[1])) if a != b),
                         min(len(names), len(reference[1])))
            print("%s and %s differ from rule %d on" % (tool, reference[0], first + 1), file=sys.stderr)
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
