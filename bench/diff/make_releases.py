#!/usr/bin/env python3
"""Writes two XProtect releases, OLD and NEW, as Contents/Resources folders, for timing tarnwick-diff.

OLD holds a rule file from rules/generate_rules.py and a meta property list; NEW is OLD with what
a release changes: 2 % of the rules dropped, 3 % rewritten (a condition or a meta value), 2 %
added, plug-in minimums raised, extensions dropped and given new developers, Gatekeeper checks
added and dropped, the Java minimum raised. manifest.json beside them holds the counts the
comparison should find. Standard library only, fixed seeds: the same files every time.

    make_releases.py -n RULES -o DIR      (writes DIR/old, DIR/new and DIR/manifest.json)
"""
import argparse
import json
import os
import plistlib
import random
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "rules"))
import generate_rules  # noqa: E402


def rule_name(text):
    head = text[text.index("rule ") + 5:]
    return head.split()[0]


def meta_plist(version, java, plugins, extensions, checks):
    return {
        "Version": float(version),  # a real, as Apple writes it
        "JavaWebComponentVersionMinimum": java,
        "PlugInBlacklist": {"10": {pid: {"MinimumPlugInBundleVersion": minimum, "PlugInUpdateAvailable": update}
                                   for pid, minimum, update in plugins}},
        "ExtensionBlacklist": {"Extensions": [{"CFBundleIdentifier": eid, "Developer Identifier": dev}
                                              for eid, dev in extensions]},
        "GKChecks": {"CodeSignatureIDs": checks},
    }


def write_release(folder, rules_text, meta):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "XProtect.yara"), "w", encoding="utf-8") as out:
        out.write(rules_text)
    with open(os.path.join(folder, "XProtect.meta.plist"), "wb") as out:
        plistlib.dump(meta, out, fmt=plistlib.FMT_XML)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("-n", "--count", type=int, default=5000, help="rules in OLD (default 5000)")
    ap.add_argument("-o", "--output", required=True, help="folder to write old/, new/ and manifest.json into")
    args = ap.parse_args()
    if args.count < 50:
        ap.error("--count must be at least 50")

    gen = generate_rules.Generator(20240601, base64=True)
    generated = args.count - generate_rules.PRELUDE_RULES
    rules = [gen.rule(i + 1) for i in range(generated)]
    added = [gen.rule(generated + i + 1) for i in range(max(1, args.count * 2 // 100))]

    # The shared private and global rules of the prelude are never touched: other rules name them.
    change = random.Random(16)
    indices = list(range(len(rules)))
    change.shuffle(indices)
    dropped = set(indices[:max(1, args.count * 2 // 100)])
    rewritten = set(indices[len(dropped):len(dropped) + max(1, args.count * 3 // 100)])
    new_rules = []
    for i, text in enumerate(rules):
        if i in dropped:
            continue
        if i in rewritten:
            if i % 2 and 'description = "' in text:
                text = text.replace('description = "', 'description = "Updated: ', 1)
            else:
                text = text.replace("    condition:\n        ", "    condition:\n        filesize > 16 and ", 1)
        new_rules.append(text)
    new_rules += added

    count = max(10, args.count // 20)
    plugins = [("com.example.plugin%d" % i, "%d.%d" % (i % 9 + 1, i % 7), i % 3 == 0) for i in range(count)]
    extensions = [("com.example.extension%d" % i, "DEV%06d" % i) for i in range(2 * count)]
    checks = ["com.example.check%d" % i for i in range(4 * count)]
    raised = set(range(0, count, 10))
    new_plugins = [(pid, minimum + ".1" if i in raised else minimum, update)
                   for i, (pid, minimum, update) in enumerate(plugins)]
    new_plugins += [("com.example.newplugin%d" % i, "1.0", False) for i in range(2)]
    new_extensions = [(eid, dev + "X" if i == 5 else dev) for i, (eid, dev) in enumerate(extensions) if i not in (1, 2)]
    new_checks = checks[1:] + ["com.example.newcheck%d" % i for i in range(3)]

    write_release(os.path.join(args.output, "old"), generate_rules.PRELUDE + "".join(rules),
                  meta_plist(5000, "1.6.0_45-b06", plugins, extensions, checks))
    write_release(os.path.join(args.output, "new"), generate_rules.PRELUDE + "".join(new_rules),
                  meta_plist(5001, "1.8.0_20", new_plugins, new_extensions, new_checks))
    manifest = {
        "rules": {"old": args.count, "new": args.count - len(dropped) + len(added),
                  "added": [rule_name(t) for t in added],
                  "removed": sorted(rule_name(rules[i]) for i in dropped),
                  "changed": sorted(rule_name(rules[i]) for i in rewritten)},
        "plugins": {"added": 2, "removed": 0, "changed": len(raised)},
        "extensions": {"added": 0, "removed": 2, "changed": 1},
        "gkChecks": {"added": 3, "removed": 1},
        "javaMinimum": True,
    }
    with open(os.path.join(args.output, "manifest.json"), "w", encoding="utf-8") as out:
        json.dump(manifest, out, indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
