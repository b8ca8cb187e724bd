#!/usr/bin/python3
"""Cuts the program's embedded Japanese font.

The desktop program draws its Japanese texts with "Meiryo UI" where that font is installed and with an
embedded font everywhere else. The embedded font is Noto Sans CJK JP Regular (SIL Open Font License
1.1, Debian package fonts-noto-cjk), subset to the characters the program can draw and renamed
"Corvane Sans JP" so that it never stands in for a full installed Noto. The result and its licence are
committed, so building needs neither fonts-noto-cjk nor fonttools; run this again after adding texts
with characters the subset lacks:

    apt-get install fonts-noto-cjk python3-fonttools
    tools/cut-font/cut_font.py            # writes src/app/resources/fonts/

Characters kept: printable ASCII, the kana, CJK and full-width punctuation, every non-ASCII character
of a string literal in the program's sources (src/), and a short list of kanji that dates, weekdays
and settings commonly need. The app tests check that every such character is in the subset.
"""

import argparse
import pathlib
import sys

from fontTools import subset
from fontTools.ttLib import TTCollection

ROOT = pathlib.Path(__file__).resolve().parents[2]
SOURCE_TTC = pathlib.Path("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc")
LICENCE = pathlib.Path("/usr/share/doc/fonts-noto-cjk/copyright")
OUT_DIR = ROOT / "src" / "app" / "resources" / "fonts"
OUT_FONT = "CorvaneSansJP-Regular.otf"
FAMILY = "Corvane Sans JP"
POSTSCRIPT = "CorvaneSansJP-Regular"

EXTRA_KANJI = (
    "年月日時分秒週曜毎火水木金土前次今昨明午後朝夜間"
    "一二三四五六七八九十百千万円"
    "設定保存開閉始終了停止再表示非選択確認削除更新送信受取得失敗成功完中止"
    "心拍数値平均最大小高低正常異警告注意休憩測計記録履歴出力入読書込"
    "件枚個台回度目上下左右側中央全部合総距離移動速"
)


def program_characters() -> set[str]:
    chars = {chr(c) for c in range(0x20, 0x7F)}
    chars |= {chr(c) for c in range(0x3000, 0x3040)}  # CJK symbols and punctuation
    chars |= {chr(c) for c in range(0x3041, 0x3097)}  # hiragana
    chars |= {chr(c) for c in range(0x30A0, 0x3100)}  # katakana
    chars |= {chr(c) for c in range(0xFF01, 0xFF5F)}  # full-width forms
    chars |= set("・※…‐―〜×÷°±→←↑↓■□●○◆◇★☆♥")
    chars |= set(EXTRA_KANJI)
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix in {".h", ".cpp"} and path.is_file():
            for literal in string_literals(path.read_text(encoding="utf-8")):
                chars |= {c for c in literal if ord(c) > 0x7F}
    return {c for c in chars if c.isprintable() or c == " "}


def string_literals(source: str) -> list[str]:
    """The contents of the string and character literals of a C++ source, comments skipped (raw
    strings are taken up to their closing quote, which is good enough for the texts we draw)."""
    out = []
    i, n = 0, len(source)
    while i < n:
        c = source[i]
        if source.startswith("//", i):
            i = source.find("\n", i)
            i = n if i < 0 else i
        elif source.startswith("/*", i):
            i = source.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif c in "\"'":
            j = i + 1
            while j < n and source[j] != c and source[j] != "\n":
                j += 2 if source[j] == "\\" else 1
            out.append(source[i + 1 : j])
            i = j + 1
        else:
            i += 1
    return out


def rename(font) -> None:
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (1, 3, 4, 6, 16, 17, 18, 21, 22):
            names.removeNames(nameID=record.nameID)
    for plat, enc, lang in ((3, 1, 0x409), (1, 0, 0)):
        names.setName(FAMILY, 1, plat, enc, lang)
        names.setName("Regular", 2, plat, enc, lang)
        names.setName(f"{FAMILY} Regular; derived from Noto Sans CJK JP", 3, plat, enc, lang)
        names.setName(FAMILY, 4, plat, enc, lang)
        names.setName(POSTSCRIPT, 6, plat, enc, lang)
    if "CFF " in font:
        cff = font["CFF "].cff
        cff.fontNames = [POSTSCRIPT]
        top = cff.topDictIndex[0]
        top.FamilyName = FAMILY
        top.FullName = FAMILY
        # A CID-keyed font keeps one more name per font dictionary; Qt reads the name table only.


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", type=pathlib.Path, default=SOURCE_TTC)
    parser.add_argument("--out-dir", type=pathlib.Path, default=OUT_DIR)
    args = parser.parse_args()
    if not args.source.exists():
        print(f"cut-font: {args.source} not found; apt-get install fonts-noto-cjk", file=sys.stderr)
        return 1

    collection = TTCollection(str(args.source))
    font = next(
        (f for f in collection.fonts if f["name"].getDebugName(1) == "Noto Sans CJK JP"), None
    )
    if font is None:
        print("cut-font: no Noto Sans CJK JP in the collection", file=sys.stderr)
        return 1

    chars = program_characters()
    options = subset.Options()
    options.layout_features = ["*"]
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.recalc_bounds = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in chars])
    subsetter.subset(font)
    rename(font)

    args.out_dir.mkdir(parents=True, exist_ok=True)
    out = args.out_dir / OUT_FONT
    font.save(str(out))
    if LICENCE.exists():
        text = LICENCE.read_text(encoding="utf-8")
        start = text.find("License: SIL-1.1\n -----")
        body = text[start:] if start >= 0 else text
        end = body.find("OTHER DEALINGS IN THE FONT SOFTWARE.")
        if end >= 0:
            body = body[: end + len("OTHER DEALINGS IN THE FONT SOFTWARE.")]
        lines = [l[1:] if l.startswith(" ") else l for l in body.splitlines()[1:]]
        lines = ["" if l == "." else l for l in lines]
        header = (
            f"{OUT_FONT} is a subset of Noto Sans CJK JP Regular, renamed \"{FAMILY}\".\n"
            "Copyright 2014-2021 Adobe (http://www.adobe.com/), with the Noto fonts of Google.\n"
            "Noto is a trademark of Google Inc.\n"
            "Licensed under the SIL Open Font License, Version 1.1, reproduced below.\n\n"
        )
        (args.out_dir / "OFL.txt").write_text(header + "\n".join(lines).strip() + "\n", encoding="utf-8")
    print(f"cut-font: {len(chars)} characters -> {out} ({out.stat().st_size} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
