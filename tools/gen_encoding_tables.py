#!/usr/bin/env python3
"""Generates the encoding tables of src/core/encoding/ from published mappings.

Run on a machine with glibc (its GBK, GB2312 and BIG5 charsets, through ctypes), the
opencc and libopencc-data packages (character dictionaries) and unicode-data (Unihan
readings). The build itself needs none of these: the generated C++ sources are committed.

    tools/gen_encoding_tables.py [OUTPUT_DIR]   (default: src/core/encoding)

Prints the figures of every table on stderr.
"""

import bz2
import ctypes
import ctypes.util
import os
import subprocess
import sys
import tempfile
import unicodedata

OPENCC_DIR = "/usr/share/opencc"
UNIHAN_READINGS = "/usr/share/unicode/Unihan_Readings.txt.bz2"

# ---------------------------------------------------------------------------------------
# glibc iconv, one character at a time


class _Iconv:
    _libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    _libc.iconv_open.restype = ctypes.c_void_p
    _libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
    _libc.iconv.restype = ctypes.c_size_t
    _libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4

    def __init__(self, to, frm):
        self.cd = self._libc.iconv_open(to.encode(), frm.encode())
        if self.cd in (None, ctypes.c_void_p(-1).value):
            sys.exit(f"iconv cannot convert {frm} to {to}")

    def __call__(self, data):
        """The whole of data converted, or None when any of it does not convert."""
        lib = self._libc
        lib.iconv(self.cd, None, None, None, None)
        src = ctypes.create_string_buffer(data, len(data))
        src_p = ctypes.c_void_p(ctypes.addressof(src))
        src_left = ctypes.c_size_t(len(data))
        dst = ctypes.create_string_buffer(64)
        dst_p = ctypes.c_void_p(ctypes.addressof(dst))
        dst_left = ctypes.c_size_t(64)
        args = [ctypes.byref(src_p), ctypes.byref(src_left), ctypes.byref(dst_p),
                ctypes.byref(dst_left)]
        if lib.iconv(self.cd, *args) == ctypes.c_size_t(-1).value or src_left.value:
            return None
        lib.iconv(self.cd, None, None, args[2], args[3])
        return dst.raw[: 64 - dst_left.value]


def decoder(charset):
    conv = _Iconv("UTF-32LE", charset)

    def decode(code_bytes):
        out = conv(code_bytes)
        return chr(int.from_bytes(out, "little")) if out and len(out) == 4 else None

    return decode


def encoder(charset):
    conv = _Iconv(charset, "UTF-32LE")
    return lambda ch: conv(ord(ch).to_bytes(4, "little"))


def code_of(b):
    return (b[0] << 8) | b[1] if b and len(b) == 2 else None


# ---------------------------------------------------------------------------------------
# Source data

gbk_decode, gbk_encode = decoder("GBK"), encoder("GBK")
gb2312_decode = decoder("GB2312")
big5_decode, big5_encode = decoder("BIG5"), encoder("BIG5")


def opencc_dict(name):
    """OpenCC character dictionary: character -> candidates in their published order."""
    with tempfile.TemporaryDirectory() as tmp:
        txt = os.path.join(tmp, name + ".txt")
        subprocess.run(["opencc_dict", "-i", os.path.join(OPENCC_DIR, name + ".ocd2"), "-o",
                        txt, "-f", "ocd2", "-t", "text"], check=True)
        result = {}
        with open(txt, encoding="utf-8") as f:
            for line in f:
                key, values = line.rstrip("\n").split("\t")
                result[key] = values.split(" ")
        return result


def mandarin_readings():
    readings = {}
    with bz2.open(UNIHAN_READINGS, "rt", encoding="utf-8") as f:
        for line in f:
            if "\tkMandarin\t" in line:
                cp, _, value = line.rstrip("\n").split("\t")
                readings[chr(int(cp[2:], 16))] = value.split(" ")[0]
    # Two readings where the common one is not Unihan's first (嗳 ǎi as in 嗳气, 钻 zuàn as
    # in 钻石), which puts them where Chinese readers look for them.
    readings["嗳"] = "ǎi"
    readings["钻"] = "zuàn"
    return readings


READINGS = mandarin_readings()
TONE_MARKS = {"\u0304": 1, "\u0301": 2, "\u030c": 3, "\u0300": 4}


def reading_key(ch, fallback=None):
    """Pinyin letters (ü after u), then tone 1-4 (5 for none), then the code point."""
    reading = READINGS.get(ch) or (READINGS.get(fallback) if fallback else None) or "~"
    letters, tone = "", 5
    for c in unicodedata.normalize("NFD", reading):
        if c in TONE_MARKS:
            tone = TONE_MARKS[c]
        elif c == "\u0308":
            letters = letters[:-1] + "v"
        else:
            letters += c
    return (letters, tone, ord(ch))


# GB2312 positions and their characters. Where glibc's GB2312 and GBK differ (A1A4, A1AA),
# the GBK character is the one the program's text holds.
GB_POSITIONS = [(lead, trail) for lead in range(0xA1, 0xF8) for trail in range(0xA1, 0xFF)]
GB_CHARS = {}  # GB2312 code -> character, for the 7445 assigned positions only
for lead, trail in GB_POSITIONS:
    if gb2312_decode(bytes([lead, trail])) is not None:
        GB_CHARS[(lead << 8) | trail] = gbk_decode(bytes([lead, trail]))
GB_CODE_OF = {ch: code for code, ch in GB_CHARS.items()}


def is_gb_ideograph(code):
    return code >= 0xB0A1


def in_gbk(ch):
    return code_of(gbk_encode(ch)) is not None


# ---------------------------------------------------------------------------------------
# Simplified <-> traditional pairs

ST = opencc_dict("STCharacters")
TS = opencc_dict("TSCharacters")
# Regional forms: the Taiwan and Hong Kong standard forms of characters (爲 -> 為, 着 -> 著)
# and, reversed, the common form of each regional one (為 -> 爲).
REGIONAL = [opencc_dict("TWVariants"), opencc_dict("HKVariants")]
REGIONAL_REV = [opencc_dict("TWVariantsRev"), opencc_dict("HKVariantsRev")]

# Characters that are standard in traditional text as they are and whose traditional
# counterpart depends on the meaning: they are never changed (台 as in 兄台 and 天台, 咨 as
# in 咨文; 諮 comes from its unambiguous simplified form 谘).
KEEP_AS_IS = {"台", "咨"}
# The traditional form of 么 is 麽 here, not 麼.
GB2OLD_OVERRIDES = {"么": "麽"}
# Simplified characters that some variant lists merge into a traditional character although
# they are characters of their own (埝 a small dike, 磙 a roller, 漤 to pickle persimmons,
# 犟 stubborn, 嚯 an interjection, 垅 a ridge). They must not change in simplified ->
# traditional, so they appear only in the reverse table, after the common simplified form
# of the same traditional character, where a lookup never reaches them.
REVERSE_ONLY = [("墊", "埝"), ("滾", "磙"), ("濫", "漤"), ("壟", "垅"), ("強", "犟"),
                ("謔", "嚯")]


def build_gb2old():
    pairs = []
    for code, simp in GB_CHARS.items():
        if not is_gb_ideograph(code) or simp in KEEP_AS_IS:
            continue
        trad = GB2OLD_OVERRIDES.get(simp) or (ST.get(simp) or [simp])[0]
        if trad != simp and in_gbk(trad):
            pairs.append((simp, trad))
    pairs.sort(key=lambda p: reading_key(p[0]))
    return pairs


def is_gb_ideograph_char(ch):
    return ch in GB_CODE_OF and is_gb_ideograph(GB_CODE_OF[ch])


def simplified_of(trad):
    """The simplified form of a traditional character for traditional -> simplified: the
    first of OpenCC's candidates that is a GB2312 ideograph, looked up through the common
    form of a regional one (為 via 爲); None when the character is standard as it is."""
    for form in [trad] + [f for rev in REGIONAL_REV for f in rev.get(trad, [])]:
        candidates = TS.get(form)
        if not candidates:
            continue
        if candidates[0] == trad:
            return None
        return next((c for c in candidates if c != trad and is_gb_ideograph_char(c)), None)
    return None


def build_old2gb(gb2old):
    keys = {simp for simp, _ in gb2old}
    # A value that is itself a traditional form of another GB2312 character gives way to
    # that one: 麼 goes to 么, not to 麽.
    def simplest(simp):
        form = TS.get(simp, [simp])[0]
        return form if is_gb_ideograph_char(form) else simp

    pairs = [(trad, simplest(simp)) for simp, trad in gb2old if trad not in keys]
    pairs += REVERSE_ONLY
    # Every other traditional character of GBK whose simplified form is a GB2312 ideograph,
    # not only the forms chosen by simplified -> traditional: 為 and 爲, 啟 and 啓, 裡, 製,
    # 複. GB2312's own characters are left out: in simplified text they stand for themselves
    # (乾 as in 乾坤, 著 as in 著名).
    taken = {trad for trad, _ in pairs}
    candidates = set(TS) | {t for rev in REGIONAL_REV for t in rev}
    for trad in sorted(candidates):
        if len(trad) != 1 or trad in taken or trad in GB_CODE_OF or not in_gbk(trad):
            continue
        simp = simplified_of(trad)
        if simp:
            pairs.append((trad, simp))

    def preference(pair):
        trad, simp = pair
        # Of two lines with the same key, the one a lookup uses comes first: the form that
        # OpenCC gives first for the traditional character, else the one in GB2312's first
        # (more frequent) level.
        candidates = TS.get(trad, [])
        rank = candidates.index(simp) if simp in candidates else len(candidates)
        return (rank, GB_CODE_OF.get(simp, 0xFFFF))

    # A traditional key is ordered by the reading of its simplified form (the one a lookup
    # uses), which keeps the lines of a repeated key together.
    pairs.sort(key=preference)
    first_value = {}
    for trad, simp in pairs:
        first_value.setdefault(trad, simp)
    pairs.sort(key=lambda p: reading_key(first_value[p[0]])[:2] + (ord(p[0]),))
    return pairs


# ---------------------------------------------------------------------------------------
# GB2312 <-> Big5


# Traditional characters by the simplified ones they convert to, in the order of
# preference of each traditional character for that simplified one.
TRADITIONAL_OF = {}
for _trad, _simps in sorted(TS.items(), key=lambda kv: kv[0]):
    for _rank, _simp in enumerate(_simps):
        TRADITIONAL_OF.setdefault(_simp, []).append((_rank, _trad))


def traditional_forms(simp, first):
    """The forms a simplified character may take in Big5 text, most wanted first: the table's
    choice, OpenCC's candidates, the Taiwan and Hong Kong forms of those (爲 -> 為), every
    traditional character that converts back to it, and at last the character itself."""
    forms = [first] + ST.get(simp, [])
    forms += [v for f in list(forms) + [simp] for regional in REGIONAL for v in regional.get(f, [])]
    forms += [trad for _, trad in sorted(TRADITIONAL_OF.get(simp, []))]
    forms.append(simp)
    return list(dict.fromkeys(forms))


def build_gb_to_big5(gb2old_map):
    overrides = {0xA1A1: 0x2020,  # the ideographic space has no use in Big5 text here
                 0xA9A5: 0xF9F9,  # ━ as the box-drawing line of Big5's extension rows
                 0xB9E8: 0x2020}  # 硅 (silicon) is written 矽 in Big5 text
    table = []
    for lead, trail in GB_POSITIONS:
        code = (lead << 8) | trail
        ch = GB_CHARS.get(code)
        if code in overrides:
            table.append(overrides[code])
        elif ch is None:
            table.append(0x2020)
        elif not is_gb_ideograph(code):
            table.append(code_of(big5_encode(ch)) or 0x2020)
        else:
            # The first form Big5 holds; only a character with none at all becomes blanks.
            forms = traditional_forms(ch, gb2old_map.get(ch, ch))
            table.append(next((c for c in map(code_of, map(big5_encode, forms)) if c), 0x2020))
    return table


def build_gbk_to_big5(gb_big5):
    """Every GBK position (lead 0x81-0xFE times trail 0x40-0xFE): GB2312's own positions as
    GBToBig5Table has them, every other GBK character as the first of its forms that Big5
    holds (儲 as itself, 啰 as 囉), 0x2020 where Big5 has none and where no character is."""
    table = []
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            if 0xA1 <= lead <= 0xF7 and trail >= 0xA1:
                table.append(gb_big5[(lead - 0xA1) * 94 + (trail - 0xA1)])
                continue
            ch = gbk_decode(bytes([lead, trail])) if trail != 0x7F else None
            if ch is None:
                table.append(0x2020)
                continue
            forms = traditional_forms(ch, (ST.get(ch) or [ch])[0])
            table.append(next((c for c in map(code_of, map(big5_encode, forms)) if c), 0x2020))
    return table


BIG5_TRAILS = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
BIG5_POSITIONS = [(lead, trail) for lead in range(0xA1, 0xFF) for trail in BIG5_TRAILS]


def build_big5_to_gb():
    overrides = {"\u3000": 0x2020, "\u2027": 0xA1A4}
    table = []
    for lead, trail in BIG5_POSITIONS:
        ch = big5_decode(bytes([lead, trail]))
        if ch is None:
            table.append(0x2020)
        elif ch in overrides:
            table.append(overrides[ch])
        else:
            code = 0x2020
            for candidate in TS.get(ch, []) + [ch]:
                if candidate in GB_CODE_OF:
                    code = GB_CODE_OF[candidate]
                    break
            table.append(code)
    return table


# ---------------------------------------------------------------------------------------
# GBK <-> Unicode


def build_gbk_to_unicode():
    table = []
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            ch = gbk_decode(bytes([lead, trail])) if trail != 0x7F else None
            table.append(ord(ch) if ch else 0)
    return table


# ---------------------------------------------------------------------------------------
# Output

HEADER = "// Generated by tools/gen_encoding_tables.py; do not edit.\n"


def c_array(values, per_line=12):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(f"0x{v:04X}" for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


def c_strings(pairs):
    return "\n".join(f'    "{a}={b}",' for a, b in pairs)


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def report(gb2old, old2gb, gb_big5, big5_gb, gbk_big5):
    out = sys.stderr
    mapped = sum(1 for v in gb_big5 if v != 0x2020)
    unassigned = len(GB_POSITIONS) - len(GB_CHARS)
    print(f"GBToBig5Table: {mapped} mapped, {len(gb_big5) - mapped} 0x2020 "
          f"({unassigned} unassigned positions, {len(GB_CHARS) - mapped} characters)", file=out)
    same = trad = none = 0
    for i, (lead, trail) in enumerate(GB_POSITIONS):
        code = (lead << 8) | trail
        if not is_gb_ideograph(code) or code not in GB_CHARS:
            continue
        if gb_big5[i] == 0x2020:
            none += 1
        elif big5_decode(bytes([gb_big5[i] >> 8, gb_big5[i] & 0xFF])) == GB_CHARS[code]:
            same += 1
        else:
            trad += 1
    print(f"  GB2312 ideographs: {same} same, {trad} traditional form, {none} 0x2020", file=out)
    beyond = [gbk_big5[(lead - 0x81) * 191 + (trail - 0x40)]
              for lead in range(0x81, 0xFF) for trail in range(0x40, 0xFF)
              if not (0xA1 <= lead <= 0xF7 and trail >= 0xA1) and trail != 0x7F
              and gbk_decode(bytes([lead, trail])) is not None]
    print(f"GbkToBig5Table: {len(beyond)} GBK characters outside GB2312, "
          f"{sum(1 for v in beyond if v != 0x2020)} of them mapped", file=out)
    mapped = sum(1 for v in big5_gb if v != 0x2020)
    print(f"Big5ToGBTable: {mapped} mapped, {len(big5_gb) - mapped} 0x2020", file=out)

    def mapped_in(lo, hi):
        n = m = 0
        for i, (lead, trail) in enumerate(BIG5_POSITIONS):
            if lo <= (lead << 8) | trail <= hi:
                n += 1
                m += big5_gb[i] != 0x2020
        return m, n

    for lo, hi in ((0xA440, 0xC67E), (0xC940, 0xF9D5)):
        m, n = mapped_in(lo, hi)
        print(f"  {lo:04X}-{hi:04X}: {m} of {n} mapped", file=out)
    shared = {}
    for v in big5_gb:
        if v != 0x2020:
            shared[v] = shared.get(v, 0) + 1
    print(f"  at most {max(shared.values())} Big5 codes per GB code", file=out)
    keys = {}
    for k, _ in old2gb:
        keys[k] = keys.get(k, 0) + 1
    repeated = [f"{k}({','.join(v for kk, v in old2gb if kk == k)})"
                for k in keys if keys[k] > 1]
    print(f"sl_lib_gb2old: {len(gb2old)} lines, {gb2old[0][0]}={gb2old[0][1]} .. "
          f"{gb2old[-1][0]}={gb2old[-1][1]}", file=out)
    print(f"sl_lib_old2gb: {len(old2gb)} lines, {old2gb[0][0]}={old2gb[0][1]} .. "
          f"{old2gb[-1][0]}={old2gb[-1][1]}; repeated keys: {' '.join(repeated)}", file=out)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "src", "core", "encoding")
    gb2old = build_gb2old()
    old2gb = build_old2gb(gb2old)
    gb_big5 = build_gb_to_big5(dict(gb2old))
    big5_gb = build_big5_to_gb()
    gbk_big5 = build_gbk_to_big5(gb_big5)
    gbk = build_gbk_to_unicode()

    write(os.path.join(out_dir, "gb_big5_tables.cpp"), HEADER + f"""
#include "core/encoding/gb_big5.h"
#include "core/encoding/gbk_table.h"

namespace lq {{

const std::uint16_t GBToBig5Table[kGBToBig5TableSize] = {{
{c_array(gb_big5)}
}};

const std::uint16_t Big5ToGBTable[kBig5ToGBTableSize] = {{
{c_array(big5_gb)}
}};

const std::uint16_t GbkToBig5Table[kGbkLeads * kGbkTrails] = {{
{c_array(gbk_big5)}
}};

}}  // namespace lq
""")
    write(os.path.join(out_dir, "simp_trad_tables.cpp"), HEADER + f"""
#include "core/encoding/simp_trad_tables.h"

namespace lq {{

// One pair per line, as published.
// clang-format off
const std::array<const char*, kGb2OldLines> gb2old_lines = {{
{c_strings(gb2old)}
}};

const std::array<const char*, kOld2GbLines> old2gb_lines = {{
{c_strings(old2gb)}
}};
// clang-format on

}}  // namespace lq
""")
    write(os.path.join(out_dir, "simp_trad_tables.h"), HEADER + f"""// The published pair tables
// as UTF-8 "key=value" lines in the order of the keys' readings.
#pragma once

#include <array>

namespace lq {{

inline constexpr int kGb2OldLines = {len(gb2old)};
inline constexpr int kOld2GbLines = {len(old2gb)};
extern const std::array<const char*, kGb2OldLines> gb2old_lines;
extern const std::array<const char*, kOld2GbLines> old2gb_lines;

}}  // namespace lq
""")
    write(os.path.join(out_dir, "gbk_table.cpp"), HEADER + f"""
#include "core/encoding/gbk_table.h"

namespace lq {{

const std::uint16_t kGbkToUnicode[kGbkLeads * kGbkTrails] = {{
{c_array(gbk)}
}};

}}  // namespace lq
""")
    report(gb2old, old2gb, gb_big5, big5_gb, gbk_big5)


if __name__ == "__main__":
    main()
