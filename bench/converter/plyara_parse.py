#!/usr/bin/python3
"""Parses a YARA rule file with plyara, writes plyara's own JSON of it, prints the rule count.

Writing the JSON is part of the measured work, as our converter writes its JSON too.

    plyara_parse.py RULEFILE [--json FILE]     (FILE defaults to /dev/null)
"""
import argparse
import json
import sys

import plyara


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("rulefile")
    ap.add_argument("--json", default="/dev/null", help="where to write plyara's JSON")
    args = ap.parse_args()

    with open(args.rulefile, "r", encoding="utf-8") as fh:
        text = fh.read()
    try:
        rules = plyara.Plyara().parse_string(text)
    except Exception as exc:  # plyara raises its own ParseError and plain exceptions alike
        print("plyara: %s" % exc, file=sys.stderr)
        return 1
    with open(args.json, "w", encoding="utf-8") as out:
        json.dump(rules, out, sort_keys=True, indent=4)
    print(len(rules))
    return 0


if __name__ == "__main__":
    sys.exit(main())
