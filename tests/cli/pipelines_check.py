#!/usr/bin/env python3
"""lexoquill-batch in pipelines: find --json read by a JSON parser, paths from
`find -print0` through --files-from - -0, standard input to standard output, and runs in
parallel processes under xargs -P.

Usage: pipelines_check.py LEXOQUILL_BATCH
"""

import json
import os
import subprocess
import sys
import tempfile

BATCH = os.path.abspath(sys.argv[1])
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def run(args, cwd, env, stdin=b""):
    return subprocess.run([BATCH] + args, cwd=cwd, env=env, input=stdin, capture_output=True)


def sh(command, cwd, env):
    return subprocess.run(["sh", "-c", command], cwd=cwd, env=env, capture_output=True)


def journal_runs(home):
    d = os.path.join(home, "batch")
    return sorted(os.listdir(d)) if os.path.isdir(d) else []


def find_json(root, env):
    """--json: every line parses; path, line from 1, byte column, decoded text, encoding."""
    files = {
        # name (bytes): content bytes, encoding the reader must report
        b"utf8.txt": ("first\n\u4e2d\u6587 key \u00e9 key\n\u8868\u60c5 \U0001F600 key\n".encode(), "UTF-8"),
        b"gbk.txt": ("\u4e2d\u6587key\r\nnone\r\n\u5173\u952e key".encode("gbk"), "GBK"),
        b'odd "name"\\\t.txt': (b'key "quoted" \\ back\tand tab\x01\n', None),
        b"\xd6\xd0.txt": (b"a key\n", None),  # a name that is not UTF-8
    }
    for name, (content, _) in files.items():
        with open(os.path.join(root, os.fsdecode(name)), "wb") as f:
            f.write(content)
    names = [os.fsdecode(n) for n in files]
    r = run(["find", "key", "--json", "-q"] + names, root, env)
    check(r.returncode == 0, "find --json exits 0: %r" % r.stderr)
    got = [json.loads(line) for line in r.stdout.decode("utf-8").splitlines()]
    want = []
    for name, (content, enc) in files.items():
        enc = enc or "GBK"
        shown = name.decode("utf-8") if name != b"\xd6\xd0.txt" else "\u4e2d.txt"
        codec = "utf-8" if enc == "UTF-8" else "gbk"
        for k, line in enumerate(content.replace(b"\r\n", b"\n").split(b"\n")):
            at = line.find(b"key")
            while at >= 0:
                want.append({"path": shown, "line": k + 1, "column": at + 1, "match": "key",
                             "text": line.decode(codec), "encoding": enc})
                at = line.find(b"key", at + 3)
    for g in got:
        g.pop("path_base64", None)
    check(got == want, "find --json objects:\n got %r\nwant %r" % (got, want))
    raw = [json.loads(line) for line in r.stdout.decode().splitlines()]
    check(any(o.get("path_base64") == "1tAudHh0" for o in raw), "a non-UTF-8 path keeps its bytes")
    # The stored text form stays as it was.
    r = run(["find", "key", "-q", "utf8.txt"], root, env)
    check(r.stdout.decode().splitlines()[0] == "文件名=utf8.txt;行=1;列=8;查找内容=key;内容=中文 key é key",
          "text results keep their format: %r" % r.stdout)


def files_from(root, env):
    """find -print0 | --files-from - -0, with a name holding a line break."""
    d = os.path.join(root, "tree")
    os.makedirs(os.path.join(d, "sub"))
    names = ["a.txt", "line\nbreak.txt", "sub/c.txt", "skip.dat"]
    for n in names:
        with open(os.path.join(d, n), "wb") as f:
            f.write(b"abc\n")
    r = sh("find tree -name '*.txt' -print0 | '%s' upper --files-from - -0 -q" % BATCH, root, env)
    check(r.returncode == 0, "files-from -0 exits 0: %r" % r.stderr)
    for n in names:
        with open(os.path.join(d, n), "rb") as f:
            want = b"abc\n" if n.endswith(".dat") else b"ABC\n"
            check(f.read() == want, "files-from -0: %r" % n)
    # A list of lines from a file; a missing entry is an error before anything is done.
    with open(os.path.join(root, "list"), "w") as f:
        f.write("tree/a.txt\ntree/gone.txt\n")
    r = run(["lower", "--files-from", "list"], root, env)
    check(r.returncode == 1 and b"tree/gone.txt" in r.stderr, "missing listed path: %r" % r.stderr)
    with open(os.path.join(d, "a.txt"), "rb") as f:
        check(f.read() == b"ABC\n", "nothing done after a missing listed path")


def stdin_stdout(root, env, home):
    """'-' reads standard input and writes standard output, through a pipe, no journal."""
    before = journal_runs(home)
    r = sh("printf 'one\\r\\ntwo' | '%s' upper - | '%s' prefix '> ' -" % (BATCH, BATCH), root, env)
    check(r.returncode == 0, "pipe exits 0: %r" % r.stderr)
    check(r.stdout == b"> ONE\r\n> TWO", "pipe output keeps line ends: %r" % r.stdout)
    check(r.stderr == b"", "pipe says nothing on standard error: %r" % r.stderr)
    gbk = "\u4e2d\u6587\n".encode("gbk")
    r = run(["s2t", "-"], root, env, gbk)
    check(r.stdout == "\u4e2d\u6587\n".encode("gbk"), "GBK through a pipe stays GBK: %r" % r.stdout)
    r = run(["find", "b", "--json", "-"], root, env, b"abc\n")
    check(json.loads(r.stdout)["path"] == "-", "find on standard input names it '-'")
    check(journal_runs(home) == before, "standard input is not journaled")
    r = run(["upper", "-", "tree/a.txt"], root, env)
    check(r.returncode == 2, "'-' with other paths is bad usage")


def xargs_parallel(root, env, home):
    """Four processes at once under xargs -P, each with its own journal run."""
    d = os.path.join(root, "many")
    os.makedirs(d)
    for k in range(40):
        with open(os.path.join(d, "f%02d.txt" % k), "wb") as f:
            f.write(b"x%d\n" % k)
    before = len(journal_runs(home))
    r = sh("find many -name '*.txt' -print0 | xargs -0 -P 4 -n 5 '%s' upper -q" % BATCH, root, env)
    check(r.returncode == 0, "xargs -P exits 0: %r" % r.stderr)
    for k in range(40):
        with open(os.path.join(d, "f%02d.txt" % k), "rb") as f:
            check(f.read() == b"X%d\n" % k, "xargs -P: f%02d.txt" % k)
    check(len(journal_runs(home)) - before == 8, "one journal run per process")


def main():
    with tempfile.TemporaryDirectory() as root:
        home = os.path.join(root, "home")
        os.makedirs(home)
        env = dict(os.environ, LEXOQUILL_HOME=home)
        find_json(root, env)
        files_from(root, env)
        stdin_stdout(root, env, home)
        xargs_parallel(root, env, home)
    if failures:
        sys.exit("%d check(s) failed" % len(failures))
    print("pipelines: all checks passed")


main()
