#!/usr/bin/env python3
"""Every catalogue covers every text id the programs use.

The ids are found in the sources, never in a hand-kept list: each string
literal (adjacent literals joined, as the compiler joins them) that is a
whole text id ("WDS_...", "IDS_...", "LDS_...", "KESTO_...") counts. For each
text domain every catalogue must translate each id, keep the English text's
format markers (%d, %s, %1$s ...), name its language and plural forms, and
pass msgfmt --check.

check_catalogues.py --root SOURCE_DIR [--msgfmt PATH]
check_catalogues.py --self-test [--msgfmt PATH]   (the checker finds planted faults)
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

# Text domain: its catalogues and the programs whose texts it holds.
DOMAINS = {
    "zentrel": ("app/po", ["app", "widget", "alert", "cloud", "ZentrelLib"]),
    "ostra": ("platform/po", ["platform/tools/ostra-privacy-guide",
                              "platform/tools/ostra-connection-popup"]),
}
SOURCE_SUFFIXES = (".cpp", ".h", ".c", ".edc")
TEXT_ID = re.compile(r"(WDS|IDS|LDS|KESTO)_[A-Z0-9_]+")
# printf conversions: %% , %d, %s, %1$s, %.2f ...
MARKER = re.compile(r"%(?:(\d+)\$)?[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|z)?([diouxXeEfgGcsp%])")
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|\s+|.',
                   re.S)


def literals(code):
    """The string literals of C-like code, adjacent ones joined."""
    joined, current = [], None
    for token in TOKEN.findall(code):
        if token.startswith('"'):
            current = (current or "") + token[1:-1]
        elif token.isspace() or token.startswith("//") or token.startswith("/*"):
            continue
        elif current is not None:
            joined.append(current)
            current = None
    if current is not None:
        joined.append(current)
    return joined


def used_ids(root, folders):
    ids = {}
    for folder in folders:
        for top, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(top, name)
                with open(path, encoding="utf-8") as f:
                    for text in literals(f.read()):
                        if TEXT_ID.fullmatch(text):
                            ids.setdefault(text, os.path.relpath(path, root))
    return ids


def unquote(text):
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def parse_po(path):
    """msgid -> list of translations (one, or one per plural form); fuzzy ones left out."""
    entries, fuzzy = {}, False
    key, field, values = None, None, {}

    def finish():
        if key is not None and not fuzzy:
            entries[key] = [values[k] for k in sorted(values)]

    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("#,") and "fuzzy" in line:
                fuzzy = True
            m = re.match(r'(msgid|msgid_plural|msgstr(?:\[(\d+)\])?)\s+"(.*)"$', line)
            if m:
                if m.group(1) == "msgid":
                    finish()
                    key, values = unquote(m.group(3)), {}
                    field = "msgid"
                    fuzzy = fuzzy and not entries.get(key)
                elif m.group(1) == "msgid_plural":
                    field = "plural"
                else:
                    field = int(m.group(2) or 0)
                    values[field] = unquote(m.group(3))
                continue
            if line.startswith('"') and field is not None:
                part = unquote(line[1:-1])
                if field == "msgid":
                    key += part
                elif isinstance(field, int):
                    values[field] += part
            elif not line:
                finish()
                key, field, values, fuzzy = None, None, {}, False
    finish()
    return entries


def markers(text):
    """The format markers as (argument position, conversion), in argument order."""
    found, position = [], 0
    for m in MARKER.finditer(text):
        if m.group(2) == "%":
            continue
        position += 1
        found.append((int(m.group(1)) if m.group(1) else position, m.group(2)))
    return sorted(found)


def header_field(entries, name):
    m = re.search(r"^%s:\s*(.*)$" % re.escape(name), (entries.get("") or [""])[0], re.M)
    return m.group(1).strip() if m else None


def check_domain(root, domain, msgfmt):
    po_dir, folders = DOMAINS[domain]
    problems = []
    ids = used_ids(root, folders)
    po_path = os.path.join(root, po_dir)
    catalogues = sorted(f for f in os.listdir(po_path) if f.endswith(".po")) \
        if os.path.isdir(po_path) else []
    if "en.po" not in catalogues:
        return ["%s: no English catalogue in %s" % (domain, po_dir)]
    english = parse_po(os.path.join(po_path, "en.po"))
    for name in catalogues:
        language = name[:-3]
        path = os.path.join(po_path, name)
        where = os.path.join(po_dir, name)
        entries = parse_po(path)
        for text_id, source in sorted(ids.items()):
            texts = entries.get(text_id)
            if not texts or not all(texts):
                problems.append("%s: %s (used in %s) has no text" % (where, text_id, source))
        if language != "en":
            for text_id in sorted(english):
                if not text_id or text_id not in entries:
                    continue
                expected = markers(english[text_id][0])
                for text in entries[text_id]:
                    if text and markers(text) != expected:
                        problems.append("%s: %s has markers %s, English has %s" %
                                        (where, text_id, markers(text), expected))
            if not header_field(entries, "Plural-Forms"):
                problems.append("%s: no Plural-Forms in the header" % where)
        if header_field(entries, "Language") != language:
            problems.append("%s: the header's Language is not %s" % (where, language))
        check = subprocess.run([msgfmt, "--check", "-o", os.devnull, path],
                               capture_output=True, text=True)
        if check.returncode != 0:
            problems.append("%s: msgfmt --check: %s" % (where, check.stderr.strip()))
    print("%s: %d ids used, catalogues %s" % (domain, len(ids), " ".join(catalogues)))
    return problems


def check(root, msgfmt):
    problems = []
    for domain in DOMAINS:
        problems += check_domain(root, domain, msgfmt)
    return problems


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


HEADER = ('msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n'
          '"Language: %s\\n"\n"Plural-Forms: nplurals=2; plural=(n != 1);\\n"\n\n')


def self_test(msgfmt):
    """Plants the faults the check exists for and expects each one reported."""
    with tempfile.TemporaryDirectory() as root:
        write(os.path.join(root, "app/src/Page.cpp"),
              '// "WDS_IN_A_COMMENT" is no use\n'
              'show(i18n_get_text("WDS_SPLIT_"\n   "ACROSS_LINES"), "IDS_COUNT");\n'
              'show("WDS_NEW_TEXT");\n')
        write(os.path.join(root, "platform/tools/ostra-privacy-guide/main.cpp"),
              'tr("IDS_COM_SK_YES");\n')
        write(os.path.join(root, "app/po/en.po"), HEADER % "en" +
              'msgid "WDS_SPLIT_ACROSS_LINES"\nmsgstr "Split"\n\n'
              'msgid "IDS_COUNT"\nmsgstr "%1$d of %2$s"\n\n'
              'msgid "WDS_NEW_TEXT"\nmsgstr "New"\n')
        write(os.path.join(root, "app/po/de.po"), HEADER % "de" +
              'msgid "WDS_SPLIT_ACROSS_LINES"\nmsgstr "Geteilt"\n\n'
              'msgid "IDS_COUNT"\nmsgstr "%1$s von %2$s"\n')
        write(os.path.join(root, "platform/po/en.po"), HEADER % "en" +
              'msgid "IDS_COM_SK_YES"\nmsgstr "Yes"\n')
        problems = check(root, msgfmt)
    expected = ["app/po/de.po: WDS_NEW_TEXT", "app/po/de.po: IDS_COUNT has markers"]
    unexpected = ["WDS_IN_A_COMMENT", "WDS_SPLIT_", "platform/po"]
    ok = all(any(p.startswith(e) for p in problems) for e in expected) and \
        not any(u in p for p in problems for u in unexpected)
    print("\n".join(problems))
    print("self-test: %s" % ("1 passed, 0 failed" if ok else "0 passed, 1 failed"))
    return ok


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), "..", ".."))
    parser.add_argument("--msgfmt", default="msgfmt")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return 0 if self_test(args.msgfmt) else 1
    problems = check(os.path.abspath(args.root), args.msgfmt)
    for problem in problems:
        print(problem)
    print("catalogues: %s" % ("every id covered" if not problems else
                              "%d problems" % len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
