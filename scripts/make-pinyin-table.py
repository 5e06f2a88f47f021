#!/usr/bin/env python3
"""Writes src/pinyin/PinyinData.cpp: the toneless pinyin readings of every
CJK ideograph that GBK holds, for type-to-find.

The readings come from Debian's golang-github-mozillazg-go-pinyin-dev
(pinyin_dict.go, derived from Unicode's Unihan data; MIT licence). Only
this script needs the package; the generated file is committed:

    apt-get install golang-github-mozillazg-go-pinyin-dev
    python3 scripts/make-pinyin-table.py            # writes the file
    python3 scripts/make-pinyin-table.py --check    # fails if it is stale
"""

import os
import re
import subprocess
import sys
import unicodedata

PACKAGE = "golang-github-mozillazg-go-pinyin-dev"
OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "pinyin", "PinyinData.cpp")
NONE = 0xFFFF
MORE = 0x8000  # a character's value with this bit: its readings start there in kMoreReadings
LAST = 0x8000  # in kMoreReadings: the character's last reading
MAX_SYLLABLE = 6  # letters; the table is sized for it
MOST_READINGS = 8  # pinyin::kMostReadings
MERGE_GAP = 16  # code points without readings that a run bridges rather than starting a new one


def package_file(name):
    try:
        files = subprocess.run(["dpkg", "-L", PACKAGE], check=True, capture_output=True, text=True).stdout
    except (OSError, subprocess.CalledProcessError):
        sys.exit(f"{PACKAGE} is not installed: apt-get install {PACKAGE}")
    for path in files.splitlines():
        if path.endswith("/" + name):
            return path
    sys.exit(f"{PACKAGE} holds no {name}")


def package_version():
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", PACKAGE], check=True, capture_output=True,
                          text=True).stdout.strip()


def read_dictionary(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return {int(code, 16): readings.split(",") for code, readings in re.findall(r'0x([0-9A-Fa-f]+): "([^"]*)"', text)}


def toneless(reading):
    # ǖ is u, diaeresis, macron once decomposed: the diaeresis makes it v.
    spelled = unicodedata.normalize("NFD", reading.strip().lower()).replace("u\u0308", "v")
    plain = "".join(c for c in spelled if not unicodedata.combining(c))
    if not re.fullmatch(r"[a-z]+", plain):
        sys.exit(f"unexpected reading {reading!r}")
    return plain


def gbk_ideographs():
    found = set()
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            try:
                text = bytes([lead, trail]).decode("gbk")
            except UnicodeDecodeError:
                continue
            if len(text) == 1:
                c = ord(text)
                name = unicodedata.name(text, "")
                if name.startswith(("CJK UNIFIED IDEOGRAPH", "CJK COMPATIBILITY IDEOGRAPH")) or c == 0x3007:
                    found.add(c)
    return sorted(found)


def readings_of(c, dictionary):
    raw = dictionary.get(c)
    if raw is None:
        # A compatibility ideograph reads as the unified one it stands for.
        canonical = unicodedata.normalize("NFC", chr(c))
        raw = dictionary.get(ord(canonical), []) if canonical != chr(c) else []
    readings = []
    for reading in raw:
        plain = toneless(reading)
        if plain not in readings:
            readings.append(plain)
    return readings


def runs_of(codes):
    runs = []
    for c in codes:
        if runs and c - runs[-1][1] <= MERGE_GAP:
            runs[-1][1] = c
        else:
            runs.append([c, c])
    return runs


def rows(values, per_line, width):
    items = [f"0x{v:0{width}X}" for v in values]
    return "\n".join("    " + ", ".join(items[i:i + per_line]) + "," for i in range(0, len(items), per_line))


def generate():
    dictionary = read_dictionary(package_file("pinyin_dict.go"))
    by_code = {c: readings_of(c, dictionary) for c in gbk_ideographs()}
    by_code = {c: r for c, r in by_code.items() if r}
    syllables = sorted({s for readings in by_code.values() for s in readings})
    if max(len(r) for r in by_code.values()) > MOST_READINGS:
        sys.exit("a character has more readings than pinyin::kMostReadings")
    if max(len(s) for s in syllables) > MAX_SYLLABLE or len(syllables) >= MORE:
        sys.exit("the syllables no longer fit the table's layout")
    number = {s: i for i, s in enumerate(syllables)}

    runs = runs_of(sorted(by_code))
    values = []
    more = []
    run_rows = []
    for first, last in runs:
        run_rows.append((first, last - first + 1, len(values)))
        for c in range(first, last + 1):
            readings = by_code.get(c, [])
            if len(readings) == 1:
                values.append(number[readings[0]])
            elif readings:
                if len(more) >= MORE:
                    sys.exit("too many characters with more than one reading for the table's layout")
                values.append(MORE | len(more))
                more.extend(number[s] for s in readings[:-1])
                more.append(LAST | number[readings[-1]])
            else:
                values.append(NONE)
    if len(values) > 0xFFFF:
        sys.exit("too many code points for 16-bit run offsets")

    syllable_rows = []
    for i in range(0, len(syllables), 8):
        syllable_rows.append("    " + " ".join(f'"{s}",' for s in syllables[i:i + 8]))
    run_lines = "\n".join(f"    {{0x{f:04X}, {n}, {at}}}," for f, n, at in run_rows)
    return f"""// Generated by scripts/make-pinyin-table.py: do not edit.
// Toneless pinyin readings of the CJK ideographs that GBK holds, from the
// Debian package {PACKAGE} {package_version()}
// (pinyin_dict.go, derived from Unicode's Unihan data; MIT licence,
// copyright 2016 mozillazg). {len(by_code)} characters, {len(syllables)} syllables.

#include "pinyin/PinyinData.h"

#include <iterator>

namespace pinyin::data {{

const char kSyllables[][kSyllableSize] = {{
{chr(10).join(syllable_rows)}
}};

const Run kRuns[] = {{
{run_lines}
}};

const std::uint16_t kReadings[] = {{
{rows(values, 12, 4)}
}};

const std::uint16_t kMoreReadings[] = {{
{rows(more, 12, 4)}
}};

const std::size_t kSyllableCount = std::size(kSyllables);
const std::size_t kRunCount = std::size(kRuns);
const std::size_t kTableBytes = sizeof kSyllables + sizeof kRuns + sizeof kReadings + sizeof kMoreReadings;

}} // namespace pinyin::data
""", f"{len(by_code)} characters, {len(syllables)} syllables, {len(runs)} runs"


def main():
    text, summary = generate()
    if "--check" in sys.argv[1:]:
        with open(OUTPUT, encoding="utf-8") as f:
            if f.read() != text:
                sys.exit(f"{OUTPUT} is stale: run {sys.argv[0]}")
        return
    with open(OUTPUT, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    print(f"wrote {os.path.normpath(OUTPUT)}: {summary}")


if __name__ == "__main__":
    main()
