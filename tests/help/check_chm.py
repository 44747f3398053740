#!/usr/bin/env python3
"""Check a compiled help file against the help sources.

Usage:
    check_chm.py WOrvan.chm help/toc.hhc [--project help/WOrvan.hhp]

The project file defaults to the .hhp file beside the contents file
(WOrvan.hhp when there are several). Exit code 0 when every check passes,
1 when one fails (each failure is explained on its own line), 2 on bad
usage. The last line is a summary: "check_chm: N passed, M failed".

Checks:
  1. the directory of the .chm can be read (list_chm.py's parser);
  2. every page of the contents (each <param name="Local" value="...">
     of the .hhc) is in the .chm;
  3. every file of the project's [FILES] section is in the .chm;
  4. the internal files /#SYSTEM, /#TOPICS, /#URLSTR, /#URLTBL and
     /#STRINGS are in the .chm;
  5. the contents file and the index file named by the project are in the
     .chm;
  6. every source file stored in the .chm is byte for byte the file in the
     source folder (decompressing the .chm's content);
  7. /#SYSTEM names the project's contents file, index file, default topic
     and title;
  8. every context number of the project's [MAP] section leads to its
     [ALIAS] topic through /#IVB, so that context 0 opens the start page;
  9. the compiled keyword index holds as many keywords as the index file.

The help project and sitemaps are read with help/tools/helpproject.py;
checks 6 to 9 use help/tools/chmfile.py from the same source tree.
"""

from __future__ import annotations

import argparse
import glob
import os
import re
import struct
import sys
from typing import Dict, List

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.normpath(os.path.join(HERE, "..", "..", "help",
                                                 "tools")))

import list_chm  # noqa: E402
from checkrun import CheckFailed, CheckRunner  # noqa: E402
from helpproject import (project_contexts, project_files,  # noqa: E402
                         project_options, read_project, sitemap_params)

try:
    import chmfile  # noqa: E402
except ImportError:  # pragma: no cover - only outside the source tree
    chmfile = None

INTERNAL_FILES = ["/#SYSTEM", "/#TOPICS", "/#URLSTR", "/#URLTBL",
                  "/#STRINGS"]


# --------------------------------------------------------------------------
# Source files


def sitemap_locals(path: str) -> List[str]:
    result = []
    for params in sitemap_params(path):
        local = params.get("local", "")
        if not local or re.match(r"^[a-z][a-z0-9+.-]*:", local, re.I):
            continue  # a book without a page, or an outside address
        result.append(local.split("#", 1)[0])
    return result


def chm_path(name: str) -> str:
    return "/" + name.replace("\\", "/").lstrip("/")


# --------------------------------------------------------------------------
# The checks


class Checker(CheckRunner):
    def __init__(self, chm: str, toc: str, project: str) -> None:
        super().__init__()
        self.chm = chm
        self.toc = toc
        self.project = project
        self.source_dir = os.path.dirname(os.path.abspath(project))
        self.sections = read_project(project)
        self.options = project_options(self.sections)
        self.names: List[str] = []
        self.folded: Dict[str, str] = {}
        self.chm_file = None

    def missing(self, wanted: List[str]) -> List[str]:
        return [w for w in wanted if chm_path(w).lower() not in self.folded]

    def need_chm_file(self):
        if chmfile is None:
            raise CheckFailed("help/tools/chmfile.py is not available")
        if self.chm_file is None:
            self.chm_file = chmfile.ChmFile.open(self.chm)
        return self.chm_file

    # 1
    def check_directory(self) -> str:
        try:
            entries = list_chm.read_chm_directory(self.chm)
        except list_chm.ChmError as exc:
            raise CheckFailed("%s: %s" % (self.chm, exc))
        self.names = [e.name for e in entries]
        self.folded = {n.lower(): n for n in self.names}
        return "%d entries" % len(entries)

    # 2
    def check_toc_pages(self) -> str:
        pages = sitemap_locals(self.toc)
        if not pages:
            raise CheckFailed("%s names no page" % self.toc)
        lost = self.missing(pages)
        if lost:
            raise CheckFailed("pages of %s missing from the .chm: %s"
                              % (os.path.basename(self.toc), ", ".join(lost)))
        return "%d pages" % len(pages)

    # 3
    def check_project_files(self) -> str:
        files = self.sections.get("FILES", [])
        if not files:
            raise CheckFailed("%s has no [FILES] entries" % self.project)
        lost = self.missing(files)
        if lost:
            raise CheckFailed("[FILES] entries missing from the .chm: %s"
                              % ", ".join(lost))
        return "%d files" % len(files)

    # 4
    def check_internal_files(self) -> str:
        lost = self.missing(INTERNAL_FILES)
        if lost:
            raise CheckFailed("internal files missing: %s" % ", ".join(lost))
        return ", ".join(INTERNAL_FILES)

    # 5
    def check_sitemaps(self) -> str:
        wanted = []
        for key in ("contents file", "index file"):
            if not self.options.get(key):
                raise CheckFailed("the project has no '%s' option" % key)
            wanted.append(self.options[key])
        lost = self.missing(wanted)
        if lost:
            raise CheckFailed("missing from the .chm: %s" % ", ".join(lost))
        return ", ".join(wanted)

    # 6
    def check_contents(self) -> str:
        chm = self.need_chm_file()
        files = project_files(self.sections)
        differ = []
        for name in files:
            stored = chm.read(chm_path(name))
            with open(os.path.join(self.source_dir, name), "rb") as handle:
                if stored != handle.read():
                    differ.append(name)
        if differ:
            raise CheckFailed("stored content differs from the source: %s"
                              % ", ".join(differ))
        return "%d files identical to their sources" % len(files)

    # 7
    def check_system(self) -> str:
        chm = self.need_chm_file()
        data = chm.read("/#SYSTEM")
        records: Dict[int, bytes] = {}
        pos = 4
        while pos + 4 <= len(data):
            code, length = struct.unpack_from("<HH", data, pos)
            records.setdefault(code, data[pos + 4:pos + 4 + length])
            pos += 4 + length
        expected = {0: "contents file", 1: "index file",
                    2: "default topic", 3: "title"}
        wrong = []
        for code, key in expected.items():
            want = self.options.get(key)
            if want is None:
                continue
            got = records.get(code, b"").split(b"\0", 1)[0].decode(
                "latin-1")
            if got.lower() != want.lower():
                wrong.append("%s is %r, not %r" % (key, got, want))
        if wrong:
            raise CheckFailed("; ".join(wrong))
        return "default topic %s" % self.options.get("default topic", "?")

    # 8
    def check_contexts(self) -> str:
        contexts = project_contexts(self.sections)
        if not contexts:
            return "the project maps no context numbers"
        chm = self.need_chm_file()
        found = chm.contexts()
        problems = []
        for name, number, topic in contexts:
            if topic is None:
                problems.append("%s has no [ALIAS] topic" % name)
                continue
            targets = [t for n, t in found if n == number]
            if not targets:
                problems.append("context %d (%s) is not in /#IVB"
                                % (number, name))
            elif targets[0].replace("\\", "/").lower() != \
                    topic.replace("\\", "/").lower():
                problems.append("context %d (%s) leads to %r, not %r"
                                % (number, name, targets[0], topic))
            elif chm_path(topic).lower() not in self.folded:
                problems.append("context %d leads to %s, which is not in"
                                " the .chm" % (number, topic))
        if problems:
            raise CheckFailed("; ".join(problems))
        return ", ".join("context %d -> %s" % (n, t)
                         for _, n, t in contexts)

    # 9
    def check_keywords(self) -> str:
        index = self.options.get("index file")
        if not index:
            return "the project has no index"
        keywords = [p for p in sitemap_params(
            os.path.join(self.source_dir, index)) if p.get("name")]
        if not keywords:
            raise CheckFailed("%s holds no keyword" % index)
        chm = self.need_chm_file()
        if chm.find("/$WWKeywordLinks/BTree") is None:
            return "%d keywords (no compiled keyword index)" % len(keywords)
        btree = chm.read("/$WWKeywordLinks/BTree")
        if len(btree) < 48 or btree[0:2] != b";)":
            raise CheckFailed("/$WWKeywordLinks/BTree has no B-tree header")
        count = struct.unpack_from("<I", btree, 44)[0]
        if count != len(keywords):
            raise CheckFailed("the compiled index holds %d keywords, %s has"
                              " %d" % (count, index, len(keywords)))
        return "%d keywords" % count


def default_project(toc: str) -> str:
    folder = os.path.dirname(os.path.abspath(toc))
    preferred = os.path.join(folder, "WOrvan.hhp")
    if os.path.isfile(preferred):
        return preferred
    found = sorted(glob.glob(os.path.join(folder, "*.hhp")))
    if len(found) != 1:
        raise SystemExit("check_chm: cannot tell which .hhp file to use;"
                         " give --project")
    return found[0]


def main(argv: List[str]) -> int:
    parser = argparse.ArgumentParser(
        description="Check a .chm file against the help sources.")
    parser.add_argument("chm", help="the compiled help file")
    parser.add_argument("toc", help="the contents file (.hhc) of the sources")
    parser.add_argument("--project", help="the .hhp project file (default:"
                        " the one beside the contents file)")
    args = parser.parse_args(argv[1:])

    for path in (args.chm, args.toc):
        if not os.path.isfile(path):
            print("check_chm: error: %s does not exist" % path)
            print("check_chm: 0 passed, 1 failed")
            return 1
    project = args.project or default_project(args.toc)

    checker = Checker(args.chm, args.toc, project)
    checker.run("directory of %s" % os.path.basename(args.chm),
                checker.check_directory)
    if checker.failed:
        return checker.summary("check_chm")
    checker.run("pages of the contents", checker.check_toc_pages)
    checker.run("files of the project", checker.check_project_files)
    checker.run("internal files", checker.check_internal_files)
    checker.run("contents and index files", checker.check_sitemaps)
    checker.run("stored contents", checker.check_contents)
    checker.run("#SYSTEM settings", checker.check_system)
    checker.run("context map", checker.check_contexts)
    checker.run("keyword index", checker.check_keywords)
    return checker.summary("check_chm")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
