#!/usr/bin/env python3
"""Writes a YARA rule file of the shape XProtect and the public rule sets have.

The output is the same for the same arguments (fixed seed), so timings taken on different
machines or days are taken on the same text. Standard library only.

    generate_rules.py [-n COUNT] [--seed SEED] [--without base64] [-o FILE]
"""
import argparse
import random
import sys

FAMILIES = [
    "Adload", "Pirrit", "Bundlore", "Shlayer", "Genieo", "MaxOfferDeal", "Dolittle", "Eleanor",
    "Keranger", "Proton", "Silver", "Xcsset", "Cimpli", "Vsearch", "Mughthesec", "Geneio",
    "Crossrider", "Toydrops", "Dummy", "Imuler", "Fruitfly", "Windtail", "Lazarus", "Bella",
]
PLATFORMS = ["MACOS", "OSX", "MAC", "DARWIN"]
KINDS = ["GEN", "DROPPER", "LOADER", "AGENT", "INSTALLER", "PERSIST", "BACKDOOR", "STEALER"]
AUTHORS = ["Malware Lab", "J. Doe", "threat-intel@example.org", "Incident Response", "A. Researcher"]
WORDS = [
    "launchctl", "LaunchAgents", "NSTask", "curl", "osascript", "/tmp/", "com.apple.", "Safari",
    "Chrome", "keychain", "payload", "update", "helper", "agent", "daemon", "plist", "install",
    "search", "proxy", "inject", "dylib", "Contents/MacOS", "CFBundleIdentifier", "base64",
    "decrypt", "xattr", "quarantine", "spctl", "defaults write", "killall", "system_profiler",
    "ioreg", "sw_vers", "hdiutil", "Gatekeeper", "codesign", "Resources", "Frameworks",
]
TAGS = ["macos", "adware", "trojan", "backdoor", "stealer", "dropper", "pup", "apt", "mach_o", "script"]
ESCAPES = ["\\\"", "\\\\", "\\n", "\\t", "\\x00", "\\x41", "\\x7f"]

# Private rules the generated rules lean on, as XProtect's own rules do.
PRELUDE = """\
import "macho"
import "hash"

/*
    Generated rule set for benchmarking rule converters.
    Shape after XProtect and public YARA rule collections.
*/

private rule Macho
{
    meta:
        description = "Mach-O executables, thin or fat"
    condition:
        uint32(0) == 0xfeedface or uint32(0) == 0xcefaedfe or
        uint32(0) == 0xfeedfacf or uint32(0) == 0xcffaedfe or
        uint32(0) == 0xcafebabe or uint32(0) == 0xbebafeca
}

private rule Script
{
    condition:
        uint16(0) == 0x2123 // "#!"
}

global rule SizeLimit
{
    condition:
        filesize < 100MB
}

"""
PRELUDE_RULES = 3


class Generator:
    def __init__(self, seed, base64):
        self.rnd = random.Random(seed)
        self.base64 = base64

    # --- pieces ----------------------------------------------------------------------------

    def word(self):
        return self.rnd.choice(WORDS)

    def text_value(self):
        r = self.rnd
        parts = [self.word()]
        for _ in range(r.randint(0, 3)):
            parts.append(r.choice([" ", "_", ".", "/", "-", ""]))
            parts.append(self.word())
        if r.random() < 0.3:
            parts.insert(r.randint(0, len(parts)), r.choice(ESCAPES))
        if r.random() < 0.15:
            parts.append("%08x" % r.getrandbits(32))
        return "".join(parts)

    def text_modifiers(self, value):
        r = self.rnd
        roll = r.random()
        if roll < 0.35:
            return []
        if roll < 0.42 and len(value) >= 3:
            mods = [r.choice(["base64", "base64wide"])]
            if r.random() < 0.2:
                mods.append("private")
            # Drawn either way, so a file without base64 differs from the full one only there.
            return mods if self.base64 else []
        if roll < 0.52:
            mods = [r.choice(["xor", "xor(1-255)", "xor(0x20)", "xor(1-31)"])]
            if r.random() < 0.5:
                mods.insert(0, "ascii")
            if r.random() < 0.3:
                mods.insert(1 if mods[0] == "ascii" else 0, "wide")
            return mods
        mods = []
        if r.random() < 0.4:
            mods.append("ascii")
        if r.random() < 0.45:
            mods.append("wide")
        if r.random() < 0.5:
            mods.append("nocase")
        if r.random() < 0.3:
            mods.append("fullword")
        if r.random() < 0.08:
            mods.append("private")
        return mods

    def hex_byte(self):
        r = self.rnd
        roll = r.random()
        if roll < 0.06:
            return "??"
        if roll < 0.09:
            return "?%X" % r.randint(0, 15)
        if roll < 0.12:
            return "%X?" % r.randint(0, 15)
        return "%02X" % r.randint(0, 255)

    def hex_run(self, n):
        # A run starts and ends with a fixed byte so jumps and alternatives sit inside it.
        r = self.rnd
        out = ["%02X" % r.randint(0, 255)]
        out += [self.hex_byte() for _ in range(max(0, n - 2))]
        out.append("%02X" % r.randint(0, 255))
        return out

    def hex_value(self):
        r = self.rnd
        tokens = self.hex_run(r.randint(4, 10))
        for _ in range(r.randint(0, 3)):
            roll = r.random()
            if roll < 0.4:
                lo = r.randint(0, 8)
                hi = lo + r.randint(1, 24)
                tokens.append(r.choice(["[%d]" % lo if lo else "[2]", "[%d-%d]" % (lo, hi), "[%d-]" % (lo + 1), "[-]"]))
            elif roll < 0.75:
                alts = [" ".join(self.hex_run(r.randint(2, 4))) for _ in range(r.randint(2, 3))]
                tokens.append("( " + " | ".join(alts) + " )")
            tokens += self.hex_run(r.randint(2, 6))
        if r.random() < 0.15:
            # A hex string spread over lines with comments of both kinds, as hand-written ones are.
            cut = r.randint(1, len(tokens) - 1)
            return ("{ // header\n            " + " ".join(tokens[:cut]) +
                    "\n            /* body */ " + " ".join(tokens[cut:]) + "\n        }")
        if r.random() < 0.1:
            cut = r.randint(1, len(tokens) - 1)
            return "{ " + " ".join(tokens[:cut]) + " /* marker */ " + " ".join(tokens[cut:]) + " }"
        return "{ " + " ".join(tokens) + " }"

    def regex_value(self):
        r = self.rnd
        pieces = []
        for _ in range(r.randint(2, 4)):
            pieces.append(r.choice([
                self.word().replace(".", "\\.").replace("/", "\\/"),
                "[0-9a-f]{%d}" % r.randint(4, 16),
                "[A-Za-z0-9_]{%d,%d}" % (r.randint(1, 4), r.randint(5, 20)),
                "\\w+", "\\s*", "\\d{2,4}", "(http|https|ftp)", "\\x2e(app|pkg|dmg)",
                "(%s|%s)" % (self.word().replace(".", "\\.").replace("/", "\\/"), self.word().replace(".", "\\.").replace("/", "\\/")),
            ]))
        # Lead with a literal so every regex has a usable atom.
        body = "".join(pieces)
        lead = self.word().replace(".", "\\.").replace("/", "\\/")
        flags = r.choice(["", "", "i", "s", "is"])
        mods = []
        if r.random() < 0.25:
            mods.append(r.choice(["ascii", "wide", "nocase", "fullword"]))
        if r.random() < 0.08:
            mods.append("private")
        return "/" + lead + body + "/" + flags, mods

    def meta(self, name, family):
        r = self.rnd
        lines = ['description = "%s %s"' % (family, r.choice(["adware", "dropper component", "loader", "persistence agent", "stealer"]))]
        if r.random() < 0.7:
            lines.append('author = "%s"' % r.choice(AUTHORS))
        if r.random() < 0.6:
            lines.append('reference = "https://example.org/reports/%s/%d"' % (family.lower(), r.randint(1000, 99999)))
        if r.random() < 0.6:
            lines.append('date = "%04d-%02d-%02d"' % (r.randint(2012, 2024), r.randint(1, 12), r.randint(1, 28)))
        if r.random() < 0.5:
            lines.append("score = %d" % r.randint(0, 100))
        if r.random() < 0.3:
            lines.append("version = %d" % r.randint(1, 20))
        if r.random() < 0.3:
            lines.append("active = %s" % r.choice(["true", "false"]))
        if r.random() < 0.2:
            lines.append('hash = "%064x"' % r.getrandbits(256))
        if r.random() < 0.1:
            lines.append('note = "contains \\"quoted\\" text and a \\\\ backslash"')
        return lines

    # --- a rule ----------------------------------------------------------------------------

    def strings(self):
        r = self.rnd
        n = r.randint(1, 12)
        groups = {"a": [], "h": [], "r": []}
        for _ in range(n):
            kind = r.choices(["a", "h", "r"], weights=[55, 33, 12])[0]
            ident = "$%s%d" % (kind, len(groups[kind]) + 1)
            if kind == "a":
                value = self.text_value()
                mods = self.text_modifiers(value)
                line = '%s = "%s"' % (ident, value)
            elif kind == "h":
                mods = ["private"] if r.random() < 0.05 else []
                line = "%s = %s" % (ident, self.hex_value())
            else:
                value, mods = self.regex_value()
                line = "%s = %s" % (ident, value)
            if mods:
                line += " " + " ".join(mods)
            if r.random() < 0.08:
                line += " // %s" % self.word()
            groups[kind].append(line)
        return groups

    def group_term(self, kind, count):
        r = self.rnd
        sel = "($%s*)" % kind
        if count == 1:
            one = "$%s1" % kind
            return r.choice([one, one, "%s at 0" % one, "#%s1 > %d" % (kind, r.randint(1, 5)),
                             "%s in (0..%d)" % (one, r.choice([256, 1024, 4096])), "any of %s" % sel])
        return r.choice([
            "any of %s" % sel, "all of %s" % sel, "%d of %s" % (r.randint(1, count), sel),
            "#%s1 > %d" % (kind, r.randint(1, 5)) + " and any of %s" % sel,
            "for any of %s : ( $ in (0..%d) )" % (sel, r.choice([512, 4096, 65536])),
            "for all of %s : ( # > 0 )" % sel,
            "for any i in (1..#%s1) : ( @%s1[i] < 0x%x )" % (kind, kind, r.choice([0x1000, 0x8000])) + " and any of %s" % sel,
        ])

    def guard(self):
        r = self.rnd
        return r.choice([
            "Macho", "Macho", "Script",
            "uint32(0) == 0xfeedfacf", "(uint32(0) == 0xfeedfacf or uint32(0) == 0xcafebabe)",
            "uint32be(0) == 0xcafebabe", "uint16(0) == 0x5a4d",
            "macho.number_of_segments > %d" % r.randint(1, 4),
            "macho.filetype == macho.MH_EXECUTE",
            "macho.cputype == macho.CPU_TYPE_X86_64",
            "for any i in (0..macho.number_of_segments - 1) : ( macho.segments[i].segname == \"__TEXT\" )",
        ])

    def condition(self, groups):
        r = self.rnd
        kinds = [k for k in ("a", "h", "r") if groups[k]]
        if r.random() < 0.15:
            total = sum(len(groups[k]) for k in kinds)
            body = r.choice(["any of them", "all of them", "%d of them" % r.randint(1, total),
                             "for any of them : ( $ at 0 or $ in (filesize - 1024..filesize) )"])
        else:
            terms = [self.group_term(k, len(groups[k])) for k in kinds]
            if len(terms) > 1:
                body = "(" + (" or " if r.random() < 0.5 else " and ").join(terms) + ")"
            else:
                body = terms[0]
            # A single-name term does not cover the group's later strings: name the rest.
            for k in kinds:
                if len(groups[k]) > 1 and not any(("($%s*)" % k) in t for t in terms):
                    body += " and any of ($%s*)" % k
        parts = []
        if r.random() < 0.75:
            parts.append(self.guard())
        if r.random() < 0.6:
            parts.append("filesize < %d%s" % (r.randint(1, 20), r.choice(["MB", "KB"])) if r.random() < 0.8
                         else "filesize < %d" % r.randint(10000, 9000000))
        parts.append(body)
        if r.random() < 0.07:
            parts.append('hash.md5(0, filesize) == "%032x"' % r.getrandbits(128))
        elif r.random() < 0.04:
            parts.append('not (hash.sha256(0, filesize) == "%064x")' % r.getrandbits(256))
        text = " and ".join(parts)
        if r.random() < 0.2 and len(text) > 60:
            # Long conditions are wrapped, as in hand-written rules.
            text = text.replace(" and ", " and\n        ", 1)
        return text

    def rule(self, index):
        r = self.rnd
        family = r.choice(FAMILIES)
        name = "%s_%s_%s_%d" % (r.choice(PLATFORMS), family.upper(), r.choice(KINDS), index)
        out = []
        if r.random() < 0.1:
            out.append("// %s, seen %d samples" % (family, r.randint(1, 500)))
        head = "rule " + name
        roll = r.random()
        if roll < 0.04:
            head = "private " + head
        elif roll < 0.0405:
            # A global rule gates every rule of the file, so real ones only bound the input.
            head = r.choice(["global ", "global private "]) + head
            out += [head, "{", "    condition:",
                    "        filesize < %dMB and not Script" % r.randint(20, 200), "}", ""]
            return "\n".join(out) + "\n"
        if r.random() < 0.3:
            head += " : " + " ".join(r.sample(TAGS, r.randint(1, 3)))
        out.append(head)
        out.append("{")
        if r.random() < 0.85:
            out.append("    meta:")
            out += ["        " + line for line in self.meta(name, family)]
        groups = self.strings()
        out.append("    strings:")
        for k in ("a", "h", "r"):
            out += ["        " + line for line in groups[k]]
        if r.random() < 0.05:
            out.append("        /* more strings were dropped\n           as too noisy */")
        out.append("    condition:")
        out.append("        " + self.condition(groups))
        out.append("}")
        out.append("")
        return "\n".join(out) + "\n"


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("-n", "--count", type=int, default=20000,
                    help="rules in the file, the %d shared private and global ones included (default 20000)" % PRELUDE_RULES)
    ap.add_argument("--seed", type=int, default=20240601)
    ap.add_argument("--without", action="append", default=[], choices=["base64"],
                    help="leave out a feature a peer parser does not know")
    ap.add_argument("-o", "--output", help="file to write (default: standard output)")
    args = ap.parse_args()
    if args.count < PRELUDE_RULES:
        ap.error("--count must be at least %d" % PRELUDE_RULES)

    gen = Generator(args.seed, base64="base64" not in args.without)
    out = open(args.output, "w", encoding="utf-8") if args.output else sys.stdout
    try:
        out.write(PRELUDE)
        for i in range(args.count - PRELUDE_RULES):
            out.write(gen.rule(i + 1))
    finally:
        if out is not sys.stdout:
            out.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
