#!/usr/bin/env python3
"""Checks that the README and docs/ point at what exists: every relative
link and image (with its #anchor), every script a shell block runs, every
preset it names, and that the README's test command is the one CI runs.
Prints each fault and exits 1 when there is one."""
import json
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parents[2]
pages = [root / "README.md", *sorted((root / "docs").glob("*.md"))]
presets = json.loads((root / "CMakePresets.json").read_text())
faults = []


def anchors(page):
    """The anchors GitHub gives a page's headings."""
    found = set()
    for line in page.read_text().splitlines():
        if line.startswith("#"):
            title = line.lstrip("#").strip().lower()
            found.add(re.sub(r"[^\w\- ]", "", title).replace(" ", "-"))
    return found


for page in pages:
    text = page.read_text()
    where = page.relative_to(root)
    for target in re.findall(r"\]\(([^)\s]+)\)", text):
        if re.match(r"[a-z]+:", target):
            continue  # a web address: not checked here, there is no network
        path, _, anchor = target.partition("#")
        linked = (page.parent / path).resolve() if path else page
        if not linked.exists():
            faults.append(f"{where}: links to {target}, which does not exist")
        elif anchor and linked.suffix == ".md" and anchor not in anchors(linked):
            faults.append(f"{where}: links to {target}, a heading that does not exist")
    for block in re.findall(r"```(?:sh|bash)\n(.*?)```", text, re.S):
        for line in block.splitlines():
            command = line.split("#")[0]
            for script in re.findall(r"\bbash ((?:scripts|bench|tests)/\S+)", command):
                if not (root / script).exists():
                    faults.append(f"{where}: runs {script}, which does not exist")
            for kind, name in re.findall(r"(--build |ctest )?--preset (\S+)", command):
                group = {"--build ": "buildPresets", "ctest ": "testPresets"}.get(kind, "configurePresets")
                if name not in {p["name"] for p in presets.get(group, [])}:
                    faults.append(f"{where}: names the preset {name}, which {group} lacks")

ci = (root / ".ci" / "run").read_text()
test_command = re.search(r"^exec (.+)$", ci, re.M).group(1)
first_block = re.search(r"```sh\n(.*?)```", (root / "README.md").read_text(), re.S).group(1)
if not any(line.split("#")[0].strip() == test_command for line in first_block.splitlines()):
    faults.append(f"README.md: its first commands lack CI's test command, {test_command}")

for fault in faults:
    print(fault)
print(f"{len(pages)} pages checked, {len(faults)} faults")
sys.exit(1 if faults else 0)
