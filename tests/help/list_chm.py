#!/usr/bin/env python3
"""List the files stored inside a compiled HTML help file (.chm).

Usage:
    list_chm.py [--long] FILE.chm

Prints one path per line, in the order of the directory listing chunks
(which is the sorted order the compiler wrote them in). With --long each
line also shows the content section, the offset and the length of the
entry.

Only the Python 3 standard library is used. The parser reads:

* the ITSF header at the start of the file, which gives the offset of the
  directory (header section 1) and, in version 3, of the content;
* the ITSP directory header, which gives the chunk size and the range of
  directory chunks;
* every PMGL (listing) chunk, following the chain of "next chunk" links
  from the first one. Each PMGL entry is: ENCINT name length, the name in
  UTF-8, ENCINT content section, ENCINT offset, ENCINT length. An ENCINT is
  a big-endian variable-length integer holding 7 bits per byte; a byte with
  its top bit set is followed by another byte.

PMGI (index) chunks only speed up look-ups and are skipped.

The module can be imported: read_chm_directory(path) returns a list of
ChmEntry tuples and raises ChmError on a malformed file.
"""

from __future__ import annotations

import struct
import sys
from typing import List, NamedTuple, Tuple

ITSF_SIGNATURE = b"ITSF"
ITSP_SIGNATURE = b"ITSP"
PMGL_SIGNATURE = b"PMGL"
PMGI_SIGNATURE = b"PMGI"
PMGL_HEADER_SIZE = 0x14


class ChmError(Exception):
    """The file is not a readable .chm file."""


class ChmEntry(NamedTuple):
    name: str
    section: int
    offset: int
    length: int


def read_encint(data: bytes, pos: int, end: int) -> Tuple[int, int]:
    """Decode one ENCINT starting at pos; return (value, next position)."""
    value = 0
    count = 0
    while True:
        if pos >= end:
            raise ChmError("ENCINT runs past the end of its chunk")
        byte = data[pos]
        pos += 1
        count += 1
        if count > 10:
            raise ChmError("ENCINT longer than 10 bytes")
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def _parse_itsf(data: bytes) -> Tuple[int, int]:
    """Return (directory offset, directory length) from the ITSF header."""
    if len(data) < 0x58:
        raise ChmError("file too short for an ITSF header")
    if data[0:4] != ITSF_SIGNATURE:
        raise ChmError("no ITSF signature: not a .chm file")
    version, header_len = struct.unpack_from("<II", data, 4)
    if version not in (2, 3):
        raise ChmError("unsupported ITSF version %d" % version)
    if header_len < 0x58 or header_len > len(data):
        raise ChmError("bad ITSF header length %d" % header_len)
    # Header section table: section 0 at 0x38, section 1 (directory) at 0x48,
    # each an (offset, length) pair of 64-bit little-endian integers.
    dir_offset, dir_length = struct.unpack_from("<QQ", data, 0x48)
    if dir_offset + dir_length > len(data) or dir_length < 0x54:
        raise ChmError("directory section lies outside the file")
    return dir_offset, dir_length


def _parse_itsp(data: bytes, dir_offset: int) -> Tuple[int, int, int, int]:
    """Return (chunks start, chunk size, first PMGL, chunk count)."""
    if data[dir_offset:dir_offset + 4] != ITSP_SIGNATURE:
        raise ChmError("no ITSP signature at the directory offset")
    (version, header_len, _unknown, chunk_size, _density, _depth,
     _root_index, first_pmgl, last_pmgl, _unknown2,
     chunk_count) = struct.unpack_from("<IIIIIiiiiiI", data, dir_offset + 4)
    if version != 1:
        raise ChmError("unsupported ITSP version %d" % version)
    if chunk_size < PMGL_HEADER_SIZE + 2 or chunk_size > 1 << 20:
        raise ChmError("bad directory chunk size %d" % chunk_size)
    if first_pmgl < 0 or last_pmgl < first_pmgl:
        raise ChmError("bad PMGL chunk range %d..%d" % (first_pmgl, last_pmgl))
    if chunk_count <= last_pmgl:
        chunk_count = last_pmgl + 1
    return dir_offset + header_len, chunk_size, first_pmgl, chunk_count


def _parse_pmgl(chunk: bytes, number: int) -> Tuple[List[ChmEntry], int]:
    """Return (entries, next chunk number or -1) of one PMGL chunk."""
    if chunk[0:4] != PMGL_SIGNATURE:
        raise ChmError("directory chunk %d is not a PMGL chunk" % number)
    free_space, _zero, _prev, next_chunk = struct.unpack_from("<IIii", chunk, 4)
    end = len(chunk) - free_space
    if end < PMGL_HEADER_SIZE or end > len(chunk):
        raise ChmError("bad free-space value in chunk %d" % number)
    entries = []
    pos = PMGL_HEADER_SIZE
    while pos < end:
        name_len, pos = read_encint(chunk, pos, end)
        if name_len == 0:
            break
        if pos + name_len > end:
            raise ChmError("entry name runs past the end of chunk %d" % number)
        raw_name = chunk[pos:pos + name_len]
        pos += name_len
        section, pos = read_encint(chunk, pos, end)
        offset, pos = read_encint(chunk, pos, end)
        length, pos = read_encint(chunk, pos, end)
        try:
            name = raw_name.decode("utf-8")
        except UnicodeDecodeError:
            name = raw_name.decode("latin-1")
        entries.append(ChmEntry(name, section, offset, length))
    return entries, next_chunk


def read_chm_directory(path: str) -> List[ChmEntry]:
    """Read the directory of the .chm file at path."""
    try:
        with open(path, "rb") as handle:
            data = handle.read()
    except OSError as exc:
        raise ChmError("cannot read %s: %s" % (path, exc.strerror)) from exc
    dir_offset, dir_length = _parse_itsf(data)
    chunks_start, chunk_size, first_pmgl, chunk_count = _parse_itsp(
        data, dir_offset)
    dir_end = dir_offset + dir_length

    entries: List[ChmEntry] = []
    seen = set()
    number = first_pmgl
    while number != -1:
        if number in seen or number < 0 or number >= chunk_count:
            raise ChmError("broken chain of PMGL chunks at chunk %d" % number)
        seen.add(number)
        start = chunks_start + number * chunk_size
        if start + chunk_size > dir_end or start + chunk_size > len(data):
            raise ChmError("directory chunk %d lies outside the directory"
                           % number)
        chunk_entries, number = _parse_pmgl(
            data[start:start + chunk_size], number)
        entries.extend(chunk_entries)
    return entries


def main(argv: List[str]) -> int:
    args = list(argv[1:])
    long_format = False
    if args and args[0] in ("-l", "--long"):
        long_format = True
        args.pop(0)
    if len(args) != 1 or args[0] in ("-h", "--help"):
        sys.stderr.write("usage: list_chm.py [--long] FILE.chm\n")
        return 2
    try:
        entries = read_chm_directory(args[0])
    except ChmError as exc:
        sys.stderr.write("list_chm.py: %s: %s\n" % (args[0], exc))
        return 1
    out = sys.stdout
    try:
        for entry in entries:
            if long_format:
                out.write("%d\t%d\t%d\t%s\n" % (entry.section, entry.offset,
                                                entry.length, entry.name))
            else:
                out.write(entry.name + "\n")
        out.flush()
    except BrokenPipeError:  # e.g. piped into head
        sys.stderr.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
