"""Read the sources of an HTML help project: the .hhp project file and the
.hhc / .hhk sitemap files (contents and index).

Python 3 standard library only. Used by build_chm.py (the help build) and by
the help tests (tests/help/check_chm.py, tests/help/check_help_sources.py).
"""

from __future__ import annotations

import html
import re
from typing import Callable, Dict, Iterator, List, Optional, Tuple

_SECTION = re.compile(r"^\[(.+)\]$")
_MAP_DEFINE = re.compile(r"^#define\s+(\S+)\s+(\S+)", re.IGNORECASE)


def read_project(path: str) -> Dict[str, List[str]]:
    """The sections of a .hhp file: upper-case name -> list of lines.

    Lines are stripped; blank lines and ';' comments are left out."""
    sections: Dict[str, List[str]] = {}
    current = None
    with open(path, encoding="latin-1") as handle:
        for raw in handle:
            line = raw.strip()
            match = _SECTION.match(line)
            if match:
                current = match.group(1).strip().upper()
                sections.setdefault(current, [])
            elif current is not None and line and not line.startswith(";"):
                sections[current].append(line)
    return sections


def _key_values(lines: List[str], fold: Callable[[str], str]
                ) -> Dict[str, str]:
    """fold(key) -> value of each "key=value" line; other lines are left
    out, and a later key wins."""
    result = {}
    for line in lines:
        if "=" in line:
            key, value = line.split("=", 1)
            result[fold(key.strip())] = value.strip()
    return result


def project_options(sections: Dict[str, List[str]]) -> Dict[str, str]:
    """The [OPTIONS] settings: lower-case key -> value."""
    return _key_values(sections.get("OPTIONS", []), str.lower)


def project_files(sections: Dict[str, List[str]]) -> List[str]:
    """The [FILES] entries followed by the contents and index files, as
    named in the project (relative to its folder)."""
    options = project_options(sections)
    files = list(sections.get("FILES", []))
    files += [options[key] for key in ("contents file", "index file")
              if options.get(key)]
    return files


def project_aliases(sections: Dict[str, List[str]]) -> Dict[str, str]:
    """The [ALIAS] entries: upper-case context name -> topic."""
    return _key_values(sections.get("ALIAS", []), str.upper)


def project_map(sections: Dict[str, List[str]]) -> Iterator[Tuple[str, int]]:
    """(name, number) of each '#define' of the [MAP] section, in order.

    Numbers are read as in C (0x10 is 16). Each line is read only when the
    caller asks for the next pair."""
    for line in sections.get("MAP", []):
        match = _MAP_DEFINE.match(line)
        if match:
            yield match.group(1), int(match.group(2), 0)


def project_contexts(sections: Dict[str, List[str]]
                     ) -> List[Tuple[str, int, Optional[str]]]:
    """(name, number, topic) for every [MAP] define; topic is None when the
    name has no [ALIAS] entry."""
    aliases = project_aliases(sections)
    return [(name, number, aliases.get(name.upper()))
            for name, number in project_map(sections)]


def sitemap_params(path: str) -> List[Dict[str, str]]:
    """The <param> pairs of each <OBJECT> of a sitemap (.hhc or .hhk):
    lower-case name -> value, the first one of each name."""
    with open(path, encoding="latin-1") as handle:
        text = handle.read()
    objects = []
    for body in re.findall(r"<object\b[^>]*>(.*?)</object>", text,
                           re.IGNORECASE | re.DOTALL):
        params: Dict[str, str] = {}
        for tag in re.findall(r"<param\b([^>]*)>", body, re.IGNORECASE):
            attrs = {k.lower(): html.unescape(v) for k, v in re.findall(
                r"(\w+)\s*=\s*\"([^\"]*)\"", tag)}
            name = attrs.get("name", "").lower()
            if name and name not in params:
                params[name] = attrs.get("value", "")
        objects.append(params)
    return objects
