#!/usr/bin/env python3
"""Compile the Orvan's Knight help (WOrvan.hhp) into WOrvan.chm with chmcmd.

Usage:
    build_chm.py --project help/WOrvan.hhp --work-dir DIR --output FILE.chm
                 [--chmcmd PATH]

Steps:
 1. Copy the project file, its contents and index files and every file of
    its [FILES] section into the work folder (chmcmd writes the .chm beside
    the project file, so it never runs in the source tree).
 2. In the copy of the project, give every [MAP] entry whose number is 0 a
    stand-in number: chmcmd silently drops context number 0, and the game
    opens its help at context 0.
 3. Run chmcmd there.
 4. Rewrite the context map /#IVB of the result (chmfile.fix_contexts): the
    stand-in numbers become 0 again, and each topic name is made relative
    (chmcmd stores the full path of the file on the build machine).
 5. Check that every [MAP] number now leads to its [ALIAS] topic, and write
    the result to the output path.

Python 3 standard library only. Exit code 0 on success, 1 on any failure.
"""

from __future__ import annotations

import argparse
import os
import re
import shutil
import subprocess
import sys
from typing import Dict, List, Tuple

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import chmfile  # noqa: E402  (the modules live beside this script)
import helpproject  # noqa: E402

STAND_IN_BASE = 2147480000  # large, positive, fits chmcmd's 32-bit integer


class BuildError(Exception):
    pass


def project_contexts(sections: Dict[str, List[str]]
                     ) -> List[Tuple[str, int, str]]:
    """(name, number, topic) for every [MAP] define that has an alias."""
    aliases = helpproject.project_aliases(sections)
    result = []
    for name, number in helpproject.project_map(sections):
        if name.upper() not in aliases:
            raise BuildError("[MAP] entry %s has no [ALIAS] topic" % name)
        result.append((name, number, aliases[name.upper()]))
    return result


def project_files(project: str, sections: Dict[str, List[str]]) -> List[str]:
    """Every file the project needs, relative to its folder."""
    files = helpproject.project_files(sections)
    if not files:
        raise BuildError("%s lists no files" % project)
    return files


def prepare_work_dir(project: str, work_dir: str, files: List[str],
                     stand_ins: Dict[str, int]) -> str:
    source_dir = os.path.dirname(os.path.abspath(project))
    os.makedirs(work_dir, exist_ok=True)
    for name in files:
        src = os.path.join(source_dir, name)
        dst = os.path.join(work_dir, name)
        if not os.path.isfile(src):
            raise BuildError("%s names %s, which does not exist"
                             % (project, src))
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copyfile(src, dst)

    with open(project, encoding="latin-1", newline="") as handle:
        lines = handle.read().splitlines(True)
    section = None
    out = []
    for line in lines:
        stripped = line.strip()
        match = re.match(r"^\[(.+)\]$", stripped)
        if match:
            section = match.group(1).strip().upper()
        elif section == "MAP":
            define = re.match(r"^(\s*#define\s+)(\S+)(\s+)(\S+)(.*)$", line,
                              re.IGNORECASE | re.DOTALL)
            if define and define.group(2).upper() in stand_ins:
                line = "%s%s%s%d%s" % (define.group(1), define.group(2),
                                       define.group(3),
                                       stand_ins[define.group(2).upper()],
                                       define.group(5))
        out.append(line)
    work_project = os.path.join(work_dir, os.path.basename(project))
    with open(work_project, "w", encoding="latin-1", newline="") as handle:
        handle.write("".join(out))
    return work_project


def run_chmcmd(chmcmd: str, work_project: str, chm_name: str) -> str:
    work_dir = os.path.dirname(work_project)
    target = os.path.join(work_dir, chm_name)
    if os.path.exists(target):
        os.remove(target)
    try:
        result = subprocess.run(
            [chmcmd, os.path.basename(work_project)], cwd=work_dir,
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
            universal_newlines=True, check=False)
    except OSError as exc:
        raise BuildError("cannot run %s: %s" % (chmcmd, exc)) from exc
    output = result.stdout or ""
    sys.stdout.write(output)
    problems = [line for line in output.splitlines()
                if re.match(r"^\s*(Error|Warning)\b", line)]
    if result.returncode != 0:
        raise BuildError("chmcmd ended with exit code %d"
                         % result.returncode)
    if problems:
        raise BuildError("chmcmd reported: " + "; ".join(problems))
    if not os.path.isfile(target):
        raise BuildError("chmcmd wrote no %s" % target)
    return target


def build(args: argparse.Namespace) -> int:
    project = os.path.abspath(args.project)
    sections = helpproject.read_project(project)
    options = helpproject.project_options(sections)
    chm_name = options.get("compiled file")
    if not chm_name:
        raise BuildError("%s has no 'Compiled file' option" % project)
    contexts = project_contexts(sections)
    stand_ins = {}
    mapping = {}
    used = {number for _, number, _ in contexts}
    for index, (name, number, _topic) in enumerate(contexts):
        if number == 0:
            stand_in = STAND_IN_BASE + index
            if stand_in in used:
                raise BuildError("stand-in number %d is in use" % stand_in)
            stand_ins[name.upper()] = stand_in
            mapping[stand_in] = 0

    files = project_files(project, sections)
    work_project = prepare_work_dir(project, os.path.abspath(args.work_dir),
                                    files, stand_ins)
    compiled = run_chmcmd(args.chmcmd, work_project, chm_name)

    chm = chmfile.ChmFile.open(compiled)
    if contexts:
        topics = [topic for _, _, topic in contexts]
        changed = chm.fix_contexts(mapping, topics)
        found = set(chm.contexts())
        for name, number, topic in contexts:
            if (number, topic) not in found:
                raise BuildError("context %s (%d) does not lead to %s in the"
                                 " compiled file" % (name, number, topic))
        print("build_chm: context map rewritten (%d entries changed)"
              % changed)

    output = os.path.abspath(args.output)
    os.makedirs(os.path.dirname(output), exist_ok=True)
    temporary = output + ".tmp"
    chm.save(temporary)
    os.replace(temporary, output)
    print("build_chm: wrote %s (%d bytes, %d files inside)"
          % (output, len(chm.data), len(chm.names())))
    return 0


def main(argv: List[str]) -> int:
    parser = argparse.ArgumentParser(
        description="Compile the help project with chmcmd and fix its "
                    "context map.")
    parser.add_argument("--project", required=True,
                        help="the .hhp project file")
    parser.add_argument("--work-dir", required=True,
                        help="folder to copy the sources into and compile in")
    parser.add_argument("--output", required=True,
                        help="path of the finished .chm file")
    parser.add_argument("--chmcmd", default="chmcmd",
                        help="the chmcmd program (default: from PATH)")
    args = parser.parse_args(argv[1:])
    try:
        return build(args)
    except (BuildError, chmfile.ChmError, OSError) as exc:
        sys.stderr.write("build_chm: error: %s\n" % exc)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
