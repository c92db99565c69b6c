#!/usr/bin/env python3
"""Characters, not bytes: lexoquill-batch against a reference that decodes GBK.

Seeded random GBK lines, rich in double-byte characters whose second byte is an ASCII
letter, "@", "[", "\\" or "|", go through the program's replace (plain in both case modes,
regular expressions), find, dedupe and case operations. The reference decodes each line,
does the same on code points with Python and encodes back; the bytes must be identical.

Usage: char_model_oracle.py LEXOQUILL_BATCH [SEED]
"""

import os
import random
import re
import subprocess
import sys
import tempfile

BATCH = sys.argv[1]
SEED = int(sys.argv[2]) if len(sys.argv) > 2 else 1417

# Characters from real text that differ only in a trail byte that ASCII folding equates,
# or whose trail byte is a character that patterns treat specially.
FIXED = "結統鍵鎖丂文件中夹说誠機"
TRAILS = b"@[\\|]^`{}" + bytes(range(0x41, 0x5B)) + bytes(range(0x61, 0x7B))
ASCII = "abcxyzABCXYZ019 _-@[\\|.,"


def gbk_chars_with_ascii_trails(rng, count):
    chars = set()
    while len(chars) < count:
        pair = bytes([rng.randrange(0x81, 0xFF), rng.choice(TRAILS)])
        try:
            c = pair.decode("gbk")
        except UnicodeDecodeError:
            continue
        if len(c) == 1 and c.encode("gbk") == pair:
            chars.add(c)
    return sorted(chars)


def make_lines(rng, pool, n):
    lines = []
    for _ in range(n):
        k = rng.randrange(0, 24)
        line = "".join(rng.choice(pool) if rng.random() < 0.55 else rng.choice(ASCII)
                       for _ in range(k))
        lines.append(line)
        if rng.random() < 0.15 and lines:
            # Near duplicates for dedupe: other letter case, blanks around.
            lines.append("  " + line.swapcase() + "\t")
    return lines


ASCII_UPPER = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz")
ASCII_LOWER = str.maketrans("abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ")


def fold(s):
    return s.translate(ASCII_UPPER)


def plain_replace(line, search, repl, case_sensitive):
    hay = line if case_sensitive else fold(line)
    needle = search if case_sensitive else fold(search)
    out, at = [], 0
    while True:
        k = hay.find(needle, at)
        if k < 0:
            break
        out.append(line[at:k])
        out.append(repl)
        at = k + len(needle)
    out.append(line[at:])
    return "".join(out)


def find_results(lines, query):
    found = []
    for index, line in enumerate(lines):
        hay, needle, at = fold(line), fold(query), 0
        while True:
            k = hay.find(needle, at)
            if k < 0:
                break
            found.append((index, len(line[:k].encode("gbk")) + 1))
            at = k + len(needle)
    return found


def dedupe(lines):
    seen, kept = set(), []
    for line in lines:
        key = fold(line.strip("".join(chr(c) for c in range(0x21))))
        if key not in seen:
            seen.add(key)
            kept.append(line)
    return kept


def encode(lines):
    return b"".join(l.encode("gbk") + b"\r\n" for l in lines)


def run(args, path, env):
    cmd = [BATCH, "--no-journal", "-q"] + args + [path]
    done = subprocess.run(cmd, env=env, capture_output=True)
    if done.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(cmd), done.stderr.decode(errors="replace")))
    return done.stdout


def main():
    rng = random.Random(SEED)
    pool = gbk_chars_with_ascii_trails(rng, 120) + list(FIXED)
    lines = make_lines(rng, pool, 1500)
    # The faults seen on real text, each on a line of its own.
    lines += ["結統鍵鎖", "文件夹里", "丂@", "中文", "Ab說cD機", "x統y結z"]
    failures = []

    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, LEXOQUILL_HOME=home, LC_ALL="C.UTF-8")
        path = os.path.join(home, "t.txt")

        def check(name, args, expected_lines, results=None):
            with open(path, "wb") as f:
                f.write(encode(lines))
            out = run(args, path, env)
            with open(path, "rb") as f:
                got = f.read()
            want = encode(expected_lines)
            if got != want:
                got_lines = got.split(b"\r\n")
                for k, (g, w) in enumerate(zip(got_lines, want.split(b"\r\n"))):
                    if g != w:
                        failures.append("%s: line %d: got %r, want %r (input %r)"
                                        % (name, k, g, w, lines[k].encode("gbk")))
                        break
                else:
                    failures.append("%s: %d lines, want %d" % (name, len(got_lines),
                                                                 len(want.split(b"\r\n"))))
            if results is not None:
                got_results = []
                for row in out.decode("utf-8").splitlines():
                    fields = dict(item.split("=", 1) for item in row.split(";")[:3])
                    got_results.append((int(fields["行"]), int(fields["列"])))
                if got_results != results:
                    failures.append("%s: results %r..., want %r..." % (name, got_results[:5],
                                                                        results[:5]))

        for search in ["結", "y", "Y", "@", "a結", "\\", "[", "鍵", "|x"]:
            for case_sensitive in (False, True):
                flag = "--case-sensitive" if case_sensitive else "--ignore-case"
                check("replace %r %s" % (search, flag),
                      ["--op", "4", flag, "--set", "Edit_th1=" + search, "--set", "Edit_th2=<R>"],
                      [plain_replace(l, search, "<R>", case_sensitive) for l in lines])

        # Python writes a modifier for the rest of the pattern as a group.
        for pattern, caseless in [("文件.", True), (".{2}", True), ("[^a]", True), ("\\W", True),
                                  ("[a-z]+", True), ("鍵|結", True), ("[A-Z]+", False),
                                  ("\\\\|@", False), ("(?-i)y.", True)]:
            flags = re.ASCII | re.DOTALL | (re.IGNORECASE if caseless else 0)
            rx = re.compile(pattern.replace("(?-i)y.", "(?-i:y.)"), flags)
            flag = "--ignore-case" if caseless else "--case-sensitive"
            check("regex %r %s" % (pattern, flag),
                  ["--op", "4", flag, "--set", "CheckBox_th_r2=1", "--set", "Edit_th1=" + pattern,
                   "--set", "Edit_th2=<R>"],
                  [rx.sub(lambda m: "<R>", l) for l in lines])

        for query in ["結", "y", "@", "\\", "鎖"]:
            check("find %r" % query, ["--op", "6", "--ignore-case", "--set", "Edit_find1=" + query],
                  lines, find_results(lines, query))

        check("dedupe", ["--op", "22"], dedupe(lines))
        check("upper", ["--op", "10"], [l.translate(ASCII_LOWER) for l in lines])
        check("lower", ["--op", "9"], [l.translate(ASCII_UPPER) for l in lines])

    for f in failures:
        print(f)
    print("%d checks failed" % len(failures) if failures else "all checks agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
