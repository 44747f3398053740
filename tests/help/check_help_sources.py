#!/usr/bin/env python3
"""Check the sources of the help file, without compiling them.

Usage:
    check_help_sources.py [HELP_FOLDER]

HELP_FOLDER defaults to help/ of this source tree. Needs nothing but
Python 3 and help/tools/helpproject.py of this source tree (which reads the
project and sitemap files), so it also runs where chmcmd is not installed.
The last line is a summary: "check_help_sources: N passed, M failed"; the
exit code is 1 when a check fails.

Checks:
  1. the project file: output WOrvan.chm, contents, index and default topic
     set, the default topic listed in [FILES], context IDH_START = 0 leading
     to the default topic;
  2. every page of the folder is listed in [FILES], and every file listed
     there exists;
  3. every page is well-formed XHTML (parsed as XML), with a non-empty
     title of its own and the shared stylesheet style.css;
  4. nothing is fetched from outside: no scripts, no frames or objects, no
     addresses with a scheme (http:, file:, ...) in links or sources, no
     url() or @import in the stylesheet;
  5. every link between pages leads to a file listed in [FILES], and every
     #anchor to an id that exists;
  6. the contents file lists every page, and the contents and index files
     name only files listed in [FILES];
  7. the index has keywords, each one once, none containing a comma (which
     the viewer would take as a sub-keyword separator);
  8. the contents and index files hold no HTML comment (chmcmd's sitemap
     reader stops at one and would compile an empty index).
"""

from __future__ import annotations

import glob
import os
import re
import sys
import xml.dom.minidom
from typing import Dict, List, Set, Tuple
from xml.parsers.expat import ExpatError

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.normpath(os.path.join(HERE, "..", "..", "help",
                                                 "tools")))

from checkrun import CheckFailed, CheckRunner  # noqa: E402
from helpproject import (project_map, project_options,  # noqa: E402
                         read_project, sitemap_params)

DEFAULT_HELP = os.path.normpath(os.path.join(HERE, "..", "..", "help"))
XHTML_NS = "http://www.w3.org/1999/xhtml"


class SourceChecker(CheckRunner):
    def __init__(self, folder: str) -> None:
        super().__init__()
        self.folder = folder
        self.project = os.path.join(folder, "WOrvan.hhp")
        self.sections = read_project(self.project)
        self.options = project_options(self.sections)
        self.files = list(self.sections.get("FILES", []))
        self.files_folded = {f.lower() for f in self.files}
        self.pages = sorted(os.path.basename(p) for p in
                            glob.glob(os.path.join(folder, "*.htm")))
        self.documents: Dict[str, xml.dom.minidom.Document] = {}

    def path(self, name: str) -> str:
        return os.path.join(self.folder, name)

    # 1
    def check_project(self) -> str:
        problems = []
        if self.options.get("compiled file", "").lower() != "worvan.chm":
            problems.append("'Compiled file' is not WOrvan.chm")
        for key in ("contents file", "index file", "default topic", "title"):
            if not self.options.get(key):
                problems.append("no '%s' option" % key)
        default = self.options.get("default topic", "")
        if default and default.lower() not in self.files_folded:
            problems.append("default topic %s is not in [FILES]" % default)
        # Here an [ALIAS] line without "=" still counts as an alias (with
        # an empty topic).
        aliases = {}
        for line in self.sections.get("ALIAS", []):
            key, _, value = line.partition("=")
            aliases[key.strip().upper()] = value.strip()
        numbers = {name.upper(): number
                   for name, number in project_map(self.sections)}
        if numbers.get("IDH_START") != 0:
            problems.append("[MAP] does not define IDH_START as 0")
        if aliases.get("IDH_START", "").lower() != default.lower():
            problems.append("[ALIAS] IDH_START does not lead to %s" % default)
        for name in numbers:
            if name not in aliases:
                problems.append("[MAP] %s has no [ALIAS]" % name)
        if problems:
            raise CheckFailed("; ".join(problems))
        return "context 0 -> %s" % default

    # 2
    def check_file_list(self) -> str:
        problems = []
        for page in self.pages:
            if page.lower() not in self.files_folded:
                problems.append("%s is not in [FILES]" % page)
        for name in self.files:
            if not os.path.isfile(self.path(name)):
                problems.append("[FILES] names %s, which does not exist"
                                % name)
        if problems:
            raise CheckFailed("; ".join(problems))
        return "%d files" % len(self.files)

    # 3
    def check_pages_parse(self) -> str:
        problems = []
        titles: Dict[str, str] = {}
        for page in self.pages:
            with open(self.path(page), "rb") as handle:
                raw = handle.read()
            try:
                raw.decode("utf-8")
            except UnicodeDecodeError as exc:
                problems.append("%s is not UTF-8: %s" % (page, exc))
                continue
            try:
                doc = xml.dom.minidom.parseString(raw)
            except ExpatError as exc:
                problems.append("%s is not well-formed: %s" % (page, exc))
                continue
            self.documents[page] = doc
            root = doc.documentElement
            if root.tagName != "html" or \
                    root.getAttribute("xmlns") != XHTML_NS:
                problems.append("%s: root is not an XHTML <html>" % page)
            title_nodes = doc.getElementsByTagName("title")
            title = "".join(n.data for t in title_nodes
                            for n in t.childNodes
                            if n.nodeType == n.TEXT_NODE).strip()
            if not title:
                problems.append("%s has no title" % page)
            elif title in titles:
                problems.append("%s has the same title as %s"
                                % (page, titles[title]))
            else:
                titles[title] = page
            sheets = [l.getAttribute("href") for l in
                      doc.getElementsByTagName("link")
                      if l.getAttribute("rel").lower() == "stylesheet"]
            if sheets != ["style.css"]:
                problems.append("%s links the stylesheets %s, not just"
                                " style.css" % (page, sheets))
        if problems:
            raise CheckFailed("; ".join(problems))
        return "%d pages" % len(self.pages)

    # 4
    def check_self_contained(self) -> str:
        problems = []
        banned = ("script", "iframe", "frame", "frameset", "object", "embed",
                  "applet", "base")
        for page, doc in self.documents.items():
            for tag in banned:
                if doc.getElementsByTagName(tag):
                    problems.append("%s has a <%s> element" % (page, tag))
            for element in doc.getElementsByTagName("*"):
                for attr in ("href", "src", "background", "action"):
                    value = element.getAttribute(attr).strip()
                    if re.match(r"^([a-z][a-z0-9+.-]*:|//)", value, re.I):
                        problems.append("%s: <%s %s=\"%s\"> leaves the help"
                                        " file" % (page, element.tagName,
                                                   attr, value))
                style = element.getAttribute("style")
                if re.search(r"url\s*\(|@import", style, re.I):
                    problems.append("%s: a style attribute loads a file"
                                    % page)
                if element.getAttribute("onclick") or \
                        element.getAttribute("onload"):
                    problems.append("%s: an event handler attribute" % page)
        with open(self.path("style.css"), encoding="utf-8") as handle:
            css = handle.read()
        if re.search(r"url\s*\(|@import", css, re.I):
            problems.append("style.css loads another file")
        if problems:
            raise CheckFailed("; ".join(problems))
        return "no scripts, no outside addresses"

    # 5
    def check_links(self) -> str:
        problems = []
        ids: Dict[str, Set[str]] = {}
        for page, doc in self.documents.items():
            ids[page.lower()] = {e.getAttribute("id") for e in
                                 doc.getElementsByTagName("*")
                                 if e.getAttribute("id")}
        count = 0
        for page, doc in self.documents.items():
            for element in doc.getElementsByTagName("*"):
                for attr in ("href", "src"):
                    value = element.getAttribute(attr)
                    if not value or element.tagName == "link":
                        continue
                    count += 1
                    target, _, anchor = value.partition("#")
                    target = target or page
                    if target.lower() not in self.files_folded:
                        problems.append("%s links to %s, which is not in"
                                        " [FILES]" % (page, value))
                    elif anchor and anchor not in ids.get(target.lower(),
                                                          set()):
                        problems.append("%s links to %s, an anchor that"
                                        " does not exist" % (page, value))
        if problems:
            raise CheckFailed("; ".join(problems))
        return "%d links" % count

    def _locals(self, name: str) -> List[Tuple[str, str]]:
        return [(p.get("name", ""), p.get("local", "").split("#")[0])
                for p in sitemap_params(self.path(name))]

    # 6
    def check_sitemaps(self) -> str:
        problems = []
        toc = self.options.get("contents file", "")
        index = self.options.get("index file", "")
        toc_pages = {local.lower() for _, local in self._locals(toc)
                     if local}
        for page in self.pages:
            if page.lower() not in toc_pages:
                problems.append("%s is not in %s" % (page, toc))
        for sitemap in (toc, index):
            for name, local in self._locals(sitemap):
                if not name:
                    problems.append("%s has an entry without a name"
                                    % sitemap)
                if local and local.lower() not in self.files_folded:
                    problems.append("%s: %s leads to %s, which is not in"
                                    " [FILES]" % (sitemap, name, local))
        if problems:
            raise CheckFailed("; ".join(problems))
        return "%d pages in the contents" % len(toc_pages)

    # 7
    def check_keywords(self) -> str:
        index = self.options.get("index file", "")
        names = [name for name, _ in self._locals(index)]
        problems = []
        if len(names) < 20:
            problems.append("only %d keywords" % len(names))
        seen: Set[str] = set()
        for name in names:
            if name.lower() in seen:
                problems.append("keyword %r appears twice" % name)
            seen.add(name.lower())
            if "," in name:
                problems.append("keyword %r contains a comma" % name)
        if problems:
            raise CheckFailed("; ".join(problems))
        return "%d keywords" % len(names)

    # 8
    def check_no_sitemap_comments(self) -> str:
        problems = []
        for key in ("contents file", "index file"):
            name = self.options.get(key, "")
            with open(self.path(name), encoding="latin-1") as handle:
                if "<!--" in handle.read():
                    problems.append("%s holds an HTML comment" % name)
        if problems:
            raise CheckFailed("; ".join(problems))
        return ""


def main(argv: List[str]) -> int:
    if len(argv) > 2 or (len(argv) == 2 and argv[1] in ("-h", "--help")):
        sys.stderr.write("usage: check_help_sources.py [HELP_FOLDER]\n")
        return 2
    folder = argv[1] if len(argv) == 2 else DEFAULT_HELP
    if not os.path.isfile(os.path.join(folder, "WOrvan.hhp")):
        print("check_help_sources: error: no WOrvan.hhp in %s" % folder)
        print("check_help_sources: 0 passed, 1 failed")
        return 1
    checker = SourceChecker(folder)
    checker.run("project file", checker.check_project)
    checker.run("file list", checker.check_file_list)
    checker.run("pages are well-formed", checker.check_pages_parse)
    checker.run("pages are self-contained", checker.check_self_contained)
    checker.run("links", checker.check_links)
    checker.run("contents and index entries", checker.check_sitemaps)
    checker.run("keywords", checker.check_keywords)
    checker.run("no comments in contents and index",
                checker.check_no_sitemap_comments)
    return checker.summary("check_help_sources")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
