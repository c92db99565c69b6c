#!/usr/bin/env python3
"""GBK and UTF-8 files side by side: lexoquill-batch against a reference that decodes
each file in its own code page.

A tree holds GBK and UTF-8 files (with and without a byte-order mark), with LF and CR LF
line ends, with and without a final line end, an ASCII file and a binary one. Each
operation runs over the whole tree; the reference decodes every file, does the same on
code points with Python, and encodes back in the file's code page with its line ends and
mark. The bytes must be identical; the binary file must stay untouched and be named.

Usage: mixed_tree_oracle.py LEXOQUILL_BATCH
"""

import os
import re
import subprocess
import sys
import tempfile

BATCH = sys.argv[1]

TEXT = [
    "附录 A. 文件系统与文件名",
    "Debian 的文件处理: debian 软件包, DEBIAN 目录",
    "",
    "复杂的设置说明, 打开文件.txt 然后保存",
    "  行首空白 与 行尾空白  ",
    "統一碼 結構 鍵盤 文件夹里的文件",
    "\u3000全角空格\u3000在家乡",
]
EMOJI_LINE = "表情 😀 不在 GBK 中的文件"

# name: (encoding, bom, line end, final line end, extra line only UTF-8 can hold)
FILES = {
    "gbk_crlf.txt": ("gbk", False, "\r\n", True, False),
    "gbk_lf_nofinal.txt": ("gbk", False, "\n", False, False),
    "utf8_lf.txt": ("utf-8", False, "\n", True, True),
    "utf8_bom_nofinal.txt": ("utf-8", True, "\n", False, True),
    "utf8_crlf.txt": ("utf-8", False, "\r\n", True, False),
}
ASCII_FILE = "ascii.txt"
ASCII_LINES = ["plain ascii text", "debian Debian", "no final end"]
BINARY_FILE = "data.txt"
BINARY = b"PK\x03\x04\x00\x00binary \xce\xc4\xbc\xfe\r\nmore\x00\n"


def lines_of(name):
    if name == ASCII_FILE:
        return list(ASCII_LINES)
    enc, bom, eol, final, emoji = FILES[name]
    return TEXT + ([EMOJI_LINE] if emoji else []) + ["行内的 \r 回车 保留"]


def encode(name, lines, enc=None, bom=None):
    if name == ASCII_FILE:
        return ("\n".join(lines)).encode("ascii")
    e, b, eol, final, _ = FILES[name]
    enc = enc or e
    b = b if bom is None else bom
    body = eol.join(lines) + (eol if final else "")
    return (b"\xef\xbb\xbf" if b else b"") + body.encode(enc, errors="replace")


def write_tree(root):
    for name in list(FILES) + [ASCII_FILE]:
        with open(os.path.join(root, name), "wb") as f:
            f.write(encode(name, lines_of(name)))
    with open(os.path.join(root, BINARY_FILE), "wb") as f:
        f.write(BINARY)


def read(root, name):
    with open(os.path.join(root, name), "rb") as f:
        return f.read()


ASCII_UPPER = str.maketrans("abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ")


def fold(s):
    return s.translate(str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz"))


def caseless_replace(line, search, repl):
    hay, needle, out, at = fold(line), fold(search), [], 0
    while (k := hay.find(needle, at)) >= 0:
        out += [line[at:k], repl]
        at = k + len(needle)
    return "".join(out) + line[at:]


def main():
    failures = []
    with tempfile.TemporaryDirectory() as work:
        home = os.path.join(work, "home")
        root = os.path.join(work, "tree")
        os.makedirs(home)
        os.makedirs(root)
        env = dict(os.environ, LEXOQUILL_HOME=home, LC_ALL="C.UTF-8")

        def run(args, expect_rc=0):
            cmd = [BATCH, "--no-journal", "--ext", ".txt"] + args + [root]
            done = subprocess.run(cmd, env=env, capture_output=True)
            if done.returncode != expect_rc:
                failures.append("%s: exit %d, want %d: %s" % (" ".join(args), done.returncode,
                                                              expect_rc, done.stderr.decode()))
            return done

        def check(title, args, expected):
            """expected: name -> bytes (files left out must stay as written)."""
            write_tree(root)
            before = {n: read(root, n) for n in os.listdir(root)}
            stamps = {n: os.stat(os.path.join(root, n)).st_mtime_ns for n in os.listdir(root)}
            done = run(args)
            for name in before:
                want = expected.get(name, before[name])
                got = read(root, name)
                if got != want:
                    failures.append("%s: %s:\n  got  %r\n  want %r" % (title, name, got, want))
                elif got == before[name] and os.stat(os.path.join(root, name)).st_mtime_ns != \
                        stamps[name]:
                    failures.append("%s: %s rewritten though unchanged" % (title, name))
            err = done.stderr.decode()
            if BINARY_FILE not in err or "skipped" not in err:
                failures.append("%s: the binary file is not named as skipped: %s" % (title, err))
            return done

        def each(fn, names=None):
            out = {}
            for name in names or list(FILES) + [ASCII_FILE]:
                out[name] = encode(name, [fn(l) for l in lines_of(name)])
            return out

        # Nothing to do, and a find: no file changes, none is rewritten.
        check("no operation", [], {})
        found = check("find", ["--op", "6", "--set", "Edit_find1=文件"], {})
        rows = found.stdout.decode().splitlines()
        want_rows = []
        for name in sorted(FILES):
            enc = FILES[name][0]
            for i, line in enumerate(lines_of(name)):
                at = 0
                while (k := line.find("文件", at)) >= 0:
                    want_rows.append((name, i, len(line[:k].encode(enc)) + 1))
                    at = k + 2
        got_rows = []
        for row in rows:
            fields = dict(item.split("=", 1) for item in row.split(";")[:3])
            got_rows.append((os.path.basename(fields["文件名"]), int(fields["行"]),
                             int(fields["列"])))
        if sorted(got_rows) != sorted(want_rows):
            failures.append("find: results %r, want %r" % (sorted(got_rows), sorted(want_rows)))

        check("replace", ["--op", "4", "--set", "Edit_th1=文件", "--set", "Edit_th2=档案"],
              each(lambda l: l.replace("文件", "档案")))
        check("replace caseless", ["--op", "4", "--ignore-case", "--set", "Edit_th1=debian",
                                   "--set", "Edit_th2=Debian"],
              each(lambda l: caseless_replace(l, "debian", "Debian")))
        rx = re.compile("文件.", re.DOTALL)
        check("regex", ["--op", "4", "--set", "CheckBox_th_r2=1", "--set", "Edit_th1=文件.",
                        "--set", "Edit_th2=<F>"], each(lambda l: rx.sub("<F>", l)))
        check("upper case", ["--op", "10"], each(lambda l: l.translate(ASCII_UPPER)))
        check("web blanks", ["--op", "13"], each(lambda l: l.replace("\u3000", "  ")))
        rows = os.path.join(work, "rows.txt")
        with open(rows, "w", encoding="utf-8") as f:
            f.write("文件=档案\n結構=结构\n")
        check("multi-replace rows", ["--op", "4", "--multi", rows],
              each(lambda l: l.replace("文件", "档案").replace("結構", "结构")))

        # GBK -> UTF-8 converts the GBK files only; UTF-8 -> GBK the UTF-8 files only, whose
        # byte-order mark goes; what GBK lacks becomes "?".
        to_utf8 = {}
        for name in FILES:
            if FILES[name][0] == "gbk":
                to_utf8[name] = encode(name, lines_of(name), enc="utf-8")
        check("gbk to utf-8", ["--op", "26", "--set", "RadioButton_Unicode3=1"], to_utf8)
        to_gbk = {}
        for name in FILES:
            if FILES[name][0] == "utf-8":
                to_gbk[name] = encode(name, lines_of(name), enc="gbk", bom=False)
        check("utf-8 to gbk", ["--op", "26", "--set", "RadioButton_Unicode2=1"], to_gbk)

        # Simplified -> traditional: a UTF-8 file comes out as its GBK twin does, decoded.
        write_tree(root)
        run(["--op", "21"])
        twin_gbk = read(root, "gbk_lf_nofinal.txt").decode("gbk").split("\n")
        twin_utf8 = read(root, "utf8_lf.txt").decode("utf-8").split("\n")
        if twin_utf8[:len(TEXT)] != twin_gbk[:len(TEXT)] or twin_utf8[:len(TEXT)] == TEXT:
            failures.append("simplified to traditional differs between code pages: %r / %r"
                            % (twin_utf8[:3], twin_gbk[:3]))
        if twin_utf8[len(TEXT)].count("😀") != 1:
            failures.append("simplified to traditional lost a character GBK lacks: %r"
                            % twin_utf8[len(TEXT)])

        # GB2312 -> Big5 leaves the UTF-8 files alone and names them.
        write_tree(root)
        done = run(["--op", "7"])
        for name in FILES:
            if FILES[name][0] == "utf-8":
                if read(root, name) != encode(name, lines_of(name)):
                    failures.append("gb2312 to big5 changed the UTF-8 file %s" % name)
                if name not in done.stderr.decode():
                    failures.append("gb2312 to big5 does not name the UTF-8 file %s" % name)

        # A parameter a file's code page cannot hold stops the run before that file.
        write_tree(root)
        done = run(["--op", "4", "--set", "Edit_th1=文件", "--set", "Edit_th2=😀"], expect_rc=1)
        err = done.stderr.decode()
        if "Edit_th2" not in err or "U+1F600" not in err:
            failures.append("unencodable parameter: message %r" % err)
        for name in FILES:
            if FILES[name][0] == "gbk" and read(root, name) != encode(name, lines_of(name)):
                failures.append("unencodable parameter: %s was written" % name)

        # Forced line ends: every line, the last one too, ends with LF; a CR inside a line
        # goes, as it always did when every line was written with CR LF.
        def lf_everywhere(name):
            lines = [l.replace("\r", "") for l in lines_of(name)]
            if name == ASCII_FILE:
                return ("\n".join(lines) + "\n").encode("ascii")
            enc, bom = FILES[name][0], FILES[name][1]
            return (b"\xef\xbb\xbf" if bom else b"") + ("\n".join(lines) + "\n").encode(enc)
        check("eol lf", ["--eol", "lf"], {n: lf_everywhere(n) for n in list(FILES) + [ASCII_FILE]})

    for f in failures:
        print(f)
    print("%d checks failed" % len(failures) if failures else "all checks agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
