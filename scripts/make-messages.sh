#!/usr/bin/env bash
# Writes the two lists of what the messages say from docs/messages.txt, where
# every sentence stands once: docs/messages.md for the web, and the Windows
# read-me, scripts/windows-readme.txt, from its own text in
# scripts/windows-readme.in with the list in place of its @MESSAGES@ line.
# Usage: make-messages.sh          writes both files
#        make-messages.sh --check  fails when a file is not what it would write
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh python3

check=0
if [ "${1:-}" = "--check" ]; then
  check=1
elif [ $# -gt 0 ]; then
  echo "Usage: $0 [--check]" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - docs/messages.txt scripts/windows-readme.in "$work/messages.md" "$work/windows-readme.txt" <<'EOF'
import sys
import textwrap

source, template, web_out, readme_out = sys.argv[1:5]


def read_entries(path):
    """Returns the groups, each a title and its entries of sentences and explanation lines."""
    groups = []
    entry = None
    for number, line in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
        if line.startswith("#") and not line.startswith("## "):
            continue
        if line.startswith("## "):
            groups.append((line[3:], []))
            entry = None
        elif not line.strip():
            entry = None
        elif line.startswith("    "):
            if entry is None or not entry["sentences"]:
                sys.exit(f"{path}:{number}: an explanation without the sentences it explains")
            entry["lines"].append(line.strip())
        else:
            if not groups:
                sys.exit(f"{path}:{number}: a sentence before the first '## ' group")
            if entry is None or entry["lines"]:
                entry = {"sentences": [], "lines": []}
                groups[-1][1].append(entry)
            entry["sentences"].append(line.strip())
    for title, entries in groups:
        for entry in entries:
            if not entry["lines"]:
                sys.exit(f"{path}: no explanation for: {entry['sentences'][0]}")
    return groups


def explanation(entry, system):
    """Joins the lines both lists share with the lines of one list ('Windows' or 'Web')."""
    words = []
    for line in entry["lines"]:
        for prefix in ("Windows:", "Web:"):
            if line.startswith(prefix):
                if prefix[:-1] != system:
                    break
                line = line[len(prefix):].strip()
        else:
            words.append(line)
    return " ".join(words)


def spans(sentences):
    quoted = [f"`{s}`" for s in sentences]
    return quoted[0] if len(quoted) == 1 else ", ".join(quoted[:-1]) + " and " + quoted[-1]


groups = read_entries(source)

web = [
    "# What the messages say",
    "",
    "<!-- Written by scripts/make-messages.sh from messages.txt: change that file, not this one. -->",
    "",
    "Every message is made of the sentences below; `N` and `...` stand for what a",
    "run fills in. The read-me in the Windows zip says the same.",
]
for title, entries in groups:
    web += ["", f"## {title}", ""]
    for entry in entries:
        web.append(f"- {spans(entry['sentences'])}:")
        web += textwrap.wrap(explanation(entry, "Web"), 78, initial_indent="  ",
                             subsequent_indent="  ", break_on_hyphens=False)
with open(web_out, "w", encoding="utf-8") as out:
    out.write("\n".join(web) + "\n")

readme = []
for title, entries in groups:
    readme += [f"{title}:", ""]
    for entry in entries:
        for sentence in entry["sentences"]:
            readme += textwrap.wrap(sentence, 78, break_on_hyphens=False, break_long_words=False)
        readme += textwrap.wrap(explanation(entry, "Windows"), 78, initial_indent="    ",
                                subsequent_indent="    ", break_on_hyphens=False)
        readme.append("")
text = open(template, encoding="utf-8").read()
if text.count("@MESSAGES@\n") != 1:
    sys.exit(f"{template}: no line @MESSAGES@, where the list of messages goes")
with open(readme_out, "w", encoding="utf-8") as out:
    out.write(text.replace("@MESSAGES@\n", "\n".join(readme).rstrip("\n") + "\n"))
EOF

status=0
for pair in "messages.md:docs/messages.md" "windows-readme.txt:scripts/windows-readme.txt"; do
  written=$work/${pair%%:*}
  target=${pair#*:}
  if [ "$check" = 1 ]; then
    if ! cmp -s "$written" "$target"; then
      echo "$target is not what scripts/make-messages.sh writes from docs/messages.txt:" >&2
      diff -u "$target" "$written" >&2 || true
      status=1
    fi
  else
    cp "$written" "$target"
    echo "Wrote $target"
  fi
done
if [ "$check" = 1 ] && [ "$status" = 0 ]; then
  echo "docs/messages.md and scripts/windows-readme.txt are what docs/messages.txt gives."
fi
exit "$status"
