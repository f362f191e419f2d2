#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

"""Builds the API reference with qdoc and reports what qdoc warns about and which public names
of the headers have no documentation (qdoc 6 leaves those out silently).

With --check the exit status is 1 when there is anything to report, so the test suite fails on it.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

AGGREGATES = {"class", "struct", "union"}
NAMED = AGGREGATES | {"function", "enum", "typedef", "variable", "property"}
ACCESS = re.compile(r"^\s*(?:(public|protected|private)\b[^:]*|(Q_SIGNALS|signals))\s*:(?!:)")


def strip_code(text):
    """The text without comments and literals, so that their braces and colons count for nothing."""
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    text = re.sub(r"//[^\n]*", "", text)
    return re.sub(r'"(?:\\.|[^"\\])*"', '""', text)


class Headers:
    def __init__(self):
        self.lines = {}

    def get(self, path):
        if path not in self.lines:
            with open(path, encoding="utf-8") as header:
                self.lines[path] = strip_code(header.read()).split("\n")
        return self.lines[path]

    def access(self, aggregate, member):
        """The access in force at the member's line inside the aggregate's braces."""
        lines = self.get(aggregate.get("filepath"))
        access = "private" if aggregate.tag == "class" else "public"
        depth = 0
        opened = False
        for number in range(int(aggregate.get("lineno")) - 1, int(member.get("lineno")) - 1):
            line = lines[number]
            match = ACCESS.match(line)
            if match and depth == 1:
                access = match.group(1) or "public"
            depth += line.count("{") - line.count("}")
            opened = opened or depth > 0
            if opened and depth <= 0:
                break
        return access

    def template_follows(self, path, number):
        """True when the declaration after line `number` is a function template: qdoc 6.4 ties
        no comment to those, neither in place nor by an explicit fn command."""
        lines = self.get(path)
        for line in lines[number - 1:]:
            if line.strip():
                return line.strip().startswith("template<")
        return False

    def declares(self, node):
        """False for what a macro declares, e.g. the operators of Q_DECLARE_OPERATORS_FOR_FLAGS."""
        line = self.get(node.get("filepath"))[int(node.get("lineno")) - 1]
        return node.get("name").lstrip("~") in line


def undocumented(index_path, header_dirs):
    headers = Headers()
    found = []

    def public(node):
        return node.get("filepath", "").startswith(tuple(header_dirs))

    def visit(parent, is_namespace):
        for node in parent:
            if node.tag not in NAMED or not public(node):
                continue
            access = "public" if is_namespace else headers.access(parent, node)
            wanted = access == "public" or (access == "protected" and node.tag == "function")
            if not wanted:
                continue
            # A Q_DECLARE_FLAGS type is documented with its enum.
            documented = node.get("documented") == "true" or node.get("enum")
            if not documented and headers.declares(node):
                name = node.get("fullname") or node.get("name")
                where = f"{node.get('filepath')}:{node.get('lineno')}"
                if headers.template_follows(node.get("filepath"), int(node.get("lineno")) - 1):
                    print(f"{where}: note: qdoc cannot document the function template {name}")
                else:
                    found.append(f"{where}: no documentation for {node.tag} {name}")
            if node.tag in AGGREGATES:
                visit(node, False)

    root = ElementTree.parse(index_path).getroot()
    for namespace in root.iter("namespace"):
        visit(namespace, True)
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--qdoc", required=True)
    parser.add_argument("--config", required=True)
    parser.add_argument("--includes", required=True, help="file naming one include directory a line")
    parser.add_argument("--output", required=True)
    parser.add_argument("--sources", required=True, help="where the headers were copied as .cpp files")
    parser.add_argument("--headers", nargs="+", required=True, help="the public header directories")
    parser.add_argument("--check", action="store_true", help="fail on any warning or undocumented name")
    args = parser.parse_args()

    with open(args.includes, encoding="utf-8") as includes:
        include_args = ["-I" + line.strip() for line in includes if line.strip()]
    # qdoc refuses to write into a folder with an earlier reference in it.
    shutil.rmtree(args.output, ignore_errors=True)
    # --showinternal keeps the undocumented names in the index, where they can be found.
    command = [args.qdoc, "--outputdir", args.output, "--showinternal", *include_args, args.config]
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    # Warnings about a copy name the header itself: the copy has the same lines.
    copies = {}
    for directory in args.headers:
        for name in os.listdir(directory):
            if name.endswith(".h"):
                copies[os.path.join(args.sources, name[:-2] + ".cpp")] = os.path.join(directory, name)
    headers = Headers()
    warnings = 0
    skip_hint = False
    for line in result.stdout.splitlines():
        # qdoc's progress lines, and the hint that follows a warning turned into a note.
        if line.startswith("qt.qdoc: ") or (skip_hint and line.startswith("    [")):
            continue
        skip_hint = False
        for copy, header in copies.items():
            line = line.replace(copy + ":", header + ":")
        untied = re.match(r"(.*\.h):(\d+): \(qdoc\) warning: Cannot tie", line)
        if untied and headers.template_follows(untied.group(1), int(untied.group(2))):
            print(f"{untied.group(1)}:{untied.group(2)}: note: qdoc cannot tie a comment to a function template")
            skip_hint = True
            continue
        if re.search(r"\b(warning|error):", line):
            warnings += 1
        print(line)

    index = os.path.join(args.output, "qkestshared.index")
    missing = undocumented(index, args.headers) if os.path.exists(index) else []
    for line in missing:
        print(line)

    print(f"docs: {warnings} qdoc warnings, {len(missing)} undocumented public names; "
          f"the reference is {os.path.join(args.output, 'index.html')}")
    if result.returncode != 0:
        print(f"docs: qdoc failed with exit status {result.returncode}")
        return 1
    return 1 if args.check and (warnings or missing) else 0


if __name__ == "__main__":
    sys.exit(main())
