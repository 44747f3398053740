"""Read, and patch in one narrow way, compiled HTML help (.chm) files.

Python 3 standard library only. Used by build_chm.py (the help build) and by
the help tests.

What it understands:

* the ITSF header, the ITSP directory header and the PMGL listing chunks
  (entries: ENCINT name length, UTF-8 name, ENCINT section, ENCINT offset,
  ENCINT length);
* content section 0 (stored) and content section 1 ("MSCompressed", LZX
  compressed, described by ControlData, SpanInfo and ResetTable);
* the context map /#IVB (pairs of context number and offset of the topic's
  name in /#STRINGS).

The one change it can make, fix_contexts(), rewrites the context map
/#IVB. The new /#IVB is stored uncompressed at the end of content
section 0 and its directory entry is pointed there; the PMGL chunk holding
that entry is re-serialised with its quick-reference area, and the file
size in header section 0 is updated. Every other byte of the file stays as
the compiler wrote it.

Why: chmcmd (Free Pascal) drops every [MAP] entry whose number is 0, while
the game asks the viewer for context number 0. The build compiles with a
stand-in number and then sets it back to 0 with this module.
"""

from __future__ import annotations

import struct
from typing import Dict, List, NamedTuple, Optional, Tuple

PMGL_HEADER_SIZE = 0x14
LZX_FRAME_SIZE = 0x8000

CONTENT_NAME = "::DataSpace/Storage/MSCompressed/Content"
CONTROL_NAME = "::DataSpace/Storage/MSCompressed/ControlData"
SPANINFO_NAME = "::DataSpace/Storage/MSCompressed/SpanInfo"
RESET_TABLE_NAME = ("::DataSpace/Storage/MSCompressed/Transform/"
                    "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
                    "InstanceData/ResetTable")


class ChmError(Exception):
    """The file is not a .chm file this module can read or patch."""


class Entry(NamedTuple):
    name: str
    section: int
    offset: int
    length: int
    chunk: int  # number of the PMGL chunk that lists the entry


# --------------------------------------------------------------------------
# ENCINT


def read_encint(data: bytes, pos: int, end: int) -> Tuple[int, int]:
    value = 0
    for count in range(10):
        if pos >= end:
            raise ChmError("ENCINT runs past the end of its chunk")
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos
    raise ChmError("ENCINT longer than 10 bytes")


def write_encint(value: int) -> bytes:
    if value < 0:
        raise ValueError("ENCINT cannot hold a negative value")
    groups = [value & 0x7F]
    value >>= 7
    while value:
        groups.append(value & 0x7F)
        value >>= 7
    groups.reverse()
    return bytes([g | 0x80 for g in groups[:-1]] + [groups[-1]])


# --------------------------------------------------------------------------
# LZX decoder (the variant used by CHM: 32 KiB frames, 16-bit alignment at
# the end of each frame, state reset every reset interval)

_EXTRA_BITS: List[int] = []
_POSITION_BASE: List[int] = []


def _init_tables() -> None:
    j = 0
    for i in range(0, 52, 2):
        _EXTRA_BITS.extend((j, j))
        if i != 0 and j < 17:
            j += 1
    base = 0
    for i in range(51):
        _POSITION_BASE.append(base)
        base += 1 << _EXTRA_BITS[i]


_init_tables()


class _BitReader:
    """LZX bit stream: 16-bit little-endian words, read MSB first."""

    def __init__(self, data: bytes, pos: int = 0) -> None:
        self.data = data
        self.pos = pos
        self.buffer = 0
        self.bits = 0

    def _fill(self, n: int) -> None:
        while self.bits < n:
            lo = self.data[self.pos] if self.pos < len(self.data) else 0
            hi = self.data[self.pos + 1] if self.pos + 1 < len(self.data) else 0
            self.pos += 2
            self.buffer = (self.buffer << 16) | (hi << 8) | lo
            self.bits += 16

    def peek(self, n: int) -> int:
        self._fill(n)
        return (self.buffer >> (self.bits - n)) & ((1 << n) - 1)

    def skip(self, n: int) -> None:
        self.bits -= n
        self.buffer &= (1 << self.bits) - 1

    def read(self, n: int) -> int:
        if n == 0:
            return 0
        if n > 16:
            high = self.read(n - 16)
            return (high << 16) | self.read(16)
        value = self.peek(n)
        self.skip(n)
        return value

    def align_frame(self) -> None:
        # Drop the unread bits of the current 16-bit word; whole words that
        # were already fetched (Huffman look-ahead) stay.
        self.skip(self.bits % 16)

    def align_uncompressed(self) -> None:
        # 1 to 16 bits of padding up to the next 16-bit boundary.
        if self.bits == 0:
            self._fill(16)
        self.bits = 0
        self.buffer = 0

    def read_byte(self) -> int:
        if self.pos >= len(self.data):
            raise ChmError("LZX data ends inside an uncompressed block")
        value = self.data[self.pos]
        self.pos += 1
        return value


class _Huffman:
    def __init__(self, lengths: List[int], name: str) -> None:
        self.name = name
        self.max_len = max(lengths) if lengths else 0
        self.table: Optional[List[int]] = None
        if self.max_len == 0:
            return
        size = 1 << self.max_len
        table = [-1] * size
        code = 0
        for length in range(1, self.max_len + 1):
            for symbol, sym_len in enumerate(lengths):
                if sym_len != length:
                    continue
                shift = self.max_len - length
                start = code << shift
                end = (code + 1) << shift
                if end > size:
                    raise ChmError("over-full LZX %s tree" % name)
                for i in range(start, end):
                    table[i] = symbol | (length << 16)
                code += 1
            code <<= 1
        self.table = table

    def decode(self, bits: _BitReader) -> int:
        if self.table is None:
            raise ChmError("LZX %s tree used while empty" % self.name)
        entry = self.table[bits.peek(self.max_len)]
        if entry < 0:
            raise ChmError("invalid LZX %s code" % self.name)
        bits.skip(entry >> 16)
        return entry & 0xFFFF


def lzx_decompress(data: bytes, window_bits: int, reset_frames: int,
                   out_length: int) -> bytes:
    """Decompress a CHM LZX stream into out_length bytes."""
    if not 15 <= window_bits <= 21:
        raise ChmError("unsupported LZX window of 2^%d bytes" % window_bits)
    position_slots = {15: 30, 16: 32, 17: 34, 18: 36, 19: 38, 20: 42,
                      21: 50}[window_bits]
    main_elements = 256 + (position_slots << 3)
    window_size = 1 << window_bits

    out = bytearray()
    bits = _BitReader(data)
    main_lens = [0] * main_elements
    length_lens = [0] * 249
    main_tree = length_tree = aligned_tree = None
    r0 = r1 = r2 = 1
    block_type = 0
    block_remaining = 0
    block_length = 0
    header_read = False
    frame = 0

    def read_lens(lens: List[int], first: int, last: int) -> None:
        pre_lens = [bits.read(4) for _ in range(20)]
        pretree = _Huffman(pre_lens, "pretree")
        x = first
        while x < last:
            z = pretree.decode(bits)
            if z in (17, 18):
                # A run of zero lengths: 4 to 19 (17) or 20 to 51 (18).
                run = bits.read(4) + 4 if z == 17 else bits.read(5) + 20
                for _ in range(run):
                    if x < last:
                        lens[x] = 0
                    x += 1
            elif z == 19:
                run = bits.read(1) + 4
                z = pretree.decode(bits)
                value = lens[x] - z if x < last else 0
                if value < 0:
                    value += 17
                for _ in range(run):
                    if x < last:
                        lens[x] = value
                    x += 1
            else:
                value = lens[x] - z
                if value < 0:
                    value += 17
                lens[x] = value
                x += 1

    while len(out) < out_length:
        if reset_frames and frame % reset_frames == 0:
            if block_remaining:
                raise ChmError("LZX block runs across a reset point")
            main_lens = [0] * main_elements
            length_lens = [0] * 249
            r0 = r1 = r2 = 1
            header_read = False
            block_type = 0
        if not header_read:
            if bits.read(1):
                raise ChmError("LZX Intel E8 translation is not supported")
            header_read = True

        frame_start = len(out)
        frame_end = min(frame_start + LZX_FRAME_SIZE, out_length)
        while len(out) < frame_end:
            while block_remaining == 0:
                if block_type == 3 and block_length & 1:
                    bits.read_byte()
                block_type = bits.read(3)
                block_remaining = block_length = (bits.read(16) << 8) | \
                    bits.read(8)
                if block_type == 2:
                    aligned_tree = _Huffman([bits.read(3) for _ in range(8)],
                                            "aligned")
                if block_type in (1, 2):
                    read_lens(main_lens, 0, 256)
                    read_lens(main_lens, 256, main_elements)
                    main_tree = _Huffman(main_lens, "main")
                    read_lens(length_lens, 0, 249)
                    length_tree = _Huffman(length_lens, "length")
                elif block_type == 3:
                    bits.align_uncompressed()
                    raw = bytes(bits.read_byte() for _ in range(12))
                    r0, r1, r2 = struct.unpack("<III", raw)
                else:
                    raise ChmError("invalid LZX block type %d" % block_type)

            this_run = min(block_remaining, frame_end - len(out))
            block_remaining -= this_run
            target = len(out) + this_run
            if block_type == 3:
                for _ in range(this_run):
                    out.append(bits.read_byte())
                bits.bits = 0
                bits.buffer = 0
                continue
            while len(out) < target:
                element = main_tree.decode(bits)
                if element < 256:
                    out.append(element)
                    continue
                element -= 256
                match_length = element & 7
                if match_length == 7:
                    match_length += length_tree.decode(bits)
                match_length += 2
                slot = element >> 3
                if slot == 0:
                    match_offset = r0
                elif slot == 1:
                    match_offset = r1
                    r1 = r0
                    r0 = match_offset
                elif slot == 2:
                    match_offset = r2
                    r2 = r0
                    r0 = match_offset
                else:
                    extra = _EXTRA_BITS[slot]
                    match_offset = _POSITION_BASE[slot] - 2
                    if block_type == 2:
                        if extra > 3:
                            match_offset += bits.read(extra - 3) << 3
                            match_offset += aligned_tree.decode(bits)
                        elif extra == 3:
                            match_offset += aligned_tree.decode(bits)
                        elif extra > 0:
                            match_offset += bits.read(extra)
                        else:
                            match_offset = 1
                    else:
                        match_offset += bits.read(extra)
                    r2 = r1
                    r1 = r0
                    r0 = match_offset
                start = len(out) - match_offset
                if start < 0 or match_offset > window_size:
                    raise ChmError("LZX match reaches before the data start")
                for i in range(match_length):
                    out.append(out[start + i])
            overrun = len(out) - target
            if overrun:
                if overrun > block_remaining:
                    raise ChmError("LZX match runs past its block")
                block_remaining -= overrun
        # chmcmd's compressor may let the very last match run past the end
        # of the data; anywhere else a frame must end exactly.
        if len(out) != frame_end and frame_end != out_length:
            raise ChmError("LZX data overruns a frame")
        bits.align_frame()
        frame += 1
    return bytes(out[:out_length])


# --------------------------------------------------------------------------
# The container


class ChmFile:
    """A .chm file held in memory."""

    def __init__(self, data: bytes) -> None:
        self.data = bytearray(data)
        self._section1: Optional[bytes] = None
        self._parse()

    @classmethod
    def open(cls, path: str) -> "ChmFile":
        try:
            with open(path, "rb") as handle:
                return cls(handle.read())
        except OSError as exc:
            raise ChmError("cannot read %s: %s" % (path, exc.strerror)) \
                from exc

    # -- parsing ----------------------------------------------------------

    def _parse(self) -> None:
        data = self.data
        if len(data) < 0x60 or data[0:4] != b"ITSF":
            raise ChmError("no ITSF signature: not a .chm file")
        version, header_len = struct.unpack_from("<II", data, 4)
        if version not in (2, 3):
            raise ChmError("unsupported ITSF version %d" % version)
        self.hs0_offset, self.hs0_length = struct.unpack_from("<QQ", data,
                                                              0x38)
        self.dir_offset, self.dir_length = struct.unpack_from("<QQ", data,
                                                              0x48)
        if version == 3:
            self.content_offset = struct.unpack_from("<Q", data, 0x58)[0]
        else:
            self.content_offset = self.dir_offset + self.dir_length
        if self.dir_offset + self.dir_length > len(data):
            raise ChmError("directory lies outside the file")
        d = self.dir_offset
        if data[d:d + 4] != b"ITSP":
            raise ChmError("no ITSP signature")
        (itsp_version, itsp_len, _u1, self.chunk_size, self.density, _depth,
         _root, first_pmgl, _last_pmgl, _u2,
         chunk_count) = struct.unpack_from("<IIIIIiiiiiI", data, d + 4)
        if itsp_version != 1:
            raise ChmError("unsupported ITSP version %d" % itsp_version)
        self.chunks_offset = d + itsp_len
        self.chunk_count = chunk_count
        self.entries: Dict[str, Entry] = {}
        self.order: List[str] = []
        seen = set()
        number = first_pmgl
        while number != -1:
            if number in seen or not 0 <= number < chunk_count:
                raise ChmError("broken chain of PMGL chunks")
            seen.add(number)
            chunk = self._chunk(number)
            if chunk[0:4] != b"PMGL":
                raise ChmError("chunk %d is not a PMGL chunk" % number)
            for name, section, offset, length in _parse_pmgl(chunk):
                entry = Entry(name, section, offset, length, number)
                self.entries[name] = entry
                self.order.append(name)
            number = struct.unpack_from("<i", chunk, 0x10)[0]

    def _chunk(self, number: int) -> bytes:
        start = self.chunks_offset + number * self.chunk_size
        if start + self.chunk_size > self.dir_offset + self.dir_length:
            raise ChmError("chunk %d lies outside the directory" % number)
        return bytes(self.data[start:start + self.chunk_size])

    # -- reading ----------------------------------------------------------

    def names(self) -> List[str]:
        return list(self.order)

    def find(self, name: str) -> Optional[Entry]:
        """The entry of name, matched exactly, else without regard to case."""
        if name in self.entries:
            return self.entries[name]
        folded = name.lower()
        for key, entry in self.entries.items():
            if key.lower() == folded:
                return entry
        return None

    def read(self, name: str) -> bytes:
        entry = self.find(name)
        if entry is None:
            raise ChmError("%s is not in the file" % name)
        if entry.section == 0:
            start = self.content_offset + entry.offset
            if start + entry.length > len(self.data):
                raise ChmError("%s lies outside the file" % name)
            return bytes(self.data[start:start + entry.length])
        if entry.section != 1:
            raise ChmError("%s is in unknown section %d" % (name,
                                                            entry.section))
        section1 = self.section1()
        if entry.offset + entry.length > len(section1):
            raise ChmError("%s lies outside section 1" % name)
        return section1[entry.offset:entry.offset + entry.length]

    def section1(self) -> bytes:
        """The whole decompressed content section 1."""
        if self._section1 is None:
            control = self.read(CONTROL_NAME)
            if len(control) < 24 or control[4:8] != b"LZXC":
                raise ChmError("no LZXC control data")
            version, reset_interval, window_size = struct.unpack_from(
                "<III", control, 8)
            if version == 2:
                reset_interval *= LZX_FRAME_SIZE
                window_size *= LZX_FRAME_SIZE
            window_bits = window_size.bit_length() - 1
            if window_size != 1 << window_bits:
                raise ChmError("LZX window size is not a power of two")
            reset_frames = reset_interval // LZX_FRAME_SIZE
            table = self.read(RESET_TABLE_NAME)
            uncompressed_length = struct.unpack_from("<Q", table, 0x10)[0]
            content = self.read(CONTENT_NAME)
            self._section1 = lzx_decompress(content, window_bits,
                                            reset_frames,
                                            uncompressed_length)
        return self._section1

    def string_at(self, offset: int) -> str:
        """The zero-terminated string at offset in /#STRINGS."""
        strings = self.read("/#STRINGS")
        if not 0 <= offset < len(strings):
            raise ChmError("offset %d lies outside /#STRINGS" % offset)
        end = strings.find(b"\0", offset)
        if end < 0:
            end = len(strings)
        return strings[offset:end].decode("utf-8", "replace")

    def contexts(self) -> List[Tuple[int, str]]:
        """The context map: (context number, topic) pairs from /#IVB."""
        if self.find("/#IVB") is None:
            return []
        ivb = self.read("/#IVB")
        if len(ivb) < 4:
            raise ChmError("/#IVB too short")
        size = struct.unpack_from("<I", ivb, 0)[0]
        if size % 8 or size + 4 > len(ivb):
            raise ChmError("bad size %d in /#IVB" % size)
        result = []
        for i in range(size // 8):
            number, offset = struct.unpack_from("<II", ivb, 4 + 8 * i)
            result.append((number, self.string_at(offset)))
        return result

    # -- patching ---------------------------------------------------------

    def fix_contexts(self, mapping: Dict[int, int],
                     topics: List[str]) -> int:
        """Rewrite /#IVB: renumber contexts and make topic names relative.

        mapping: old context number -> new number (chmcmd cannot store 0,
        so the build uses a stand-in number and maps it back here).
        topics: the topic names of the [ALIAS] section ("index.htm"). chmcmd
        stores a context's topic as the file's full path on the build
        machine; the pair is pointed at the tail of that same string that
        is the topic name, so that the viewer finds the page inside the
        file. (/#STRINGS holds zero-terminated strings, so the tail of one
        is a valid string.)

        Returns how many pairs changed. When any did, the new /#IVB goes to
        the end of content section 0."""
        entry = self.find("/#IVB")
        if entry is None:
            raise ChmError("the file has no /#IVB context map")
        ivb = bytearray(self.read("/#IVB"))
        size = struct.unpack_from("<I", ivb, 0)[0]
        if size % 8 or size + 4 > len(ivb):
            raise ChmError("bad size %d in /#IVB" % size)
        changed = 0
        for i in range(size // 8):
            number, offset = struct.unpack_from("<II", ivb, 4 + 8 * i)
            new_number = mapping.get(number, number)
            new_offset = offset + _topic_tail(self.string_at(offset), topics)
            if (new_number, new_offset) != (number, offset):
                struct.pack_into("<II", ivb, 4 + 8 * i, new_number,
                                 new_offset)
                changed += 1
        if not changed:
            return 0
        # The section 0 data must end the file for the append to be valid.
        section0_end = self.content_offset
        for e in self.entries.values():
            if e.section == 0:
                section0_end = max(section0_end,
                                   self.content_offset + e.offset + e.length)
        if section0_end != len(self.data):
            raise ChmError("content section 0 does not end the file")
        new_offset = len(self.data) - self.content_offset
        self.data.extend(ivb)
        self._replace_entry(entry, 0, new_offset, len(ivb))
        # File size in header section 0 (0x1FE, 0, size as 64 bits, 0, 0).
        hs0 = self.hs0_offset
        if struct.unpack_from("<I", self.data, hs0)[0] != 0x1FE:
            raise ChmError("unexpected header section 0")
        struct.pack_into("<Q", self.data, hs0 + 8, len(self.data))
        self._parse()
        return changed

    def _replace_entry(self, entry: Entry, section: int, offset: int,
                       length: int) -> None:
        chunk = self._chunk(entry.chunk)
        items = _parse_pmgl(chunk)
        items = [(n, section, offset, length) if n == entry.name
                 else (n, s, o, l) for n, s, o, l in items]
        new_chunk = build_pmgl(chunk[:PMGL_HEADER_SIZE], items,
                               self.chunk_size, self.density)
        start = self.chunks_offset + entry.chunk * self.chunk_size
        self.data[start:start + self.chunk_size] = new_chunk

    def save(self, path: str) -> None:
        with open(path, "wb") as handle:
            handle.write(self.data)


def _topic_tail(stored: str, topics: List[str]) -> int:
    """How many characters to skip in stored to reach one of topics.

    0 when stored already is a topic or ends in none of them."""
    norm = stored.replace("\\", "/").lower()
    best = 0
    for topic in topics:
        want = topic.replace("\\", "/").lstrip("/").lower()
        if not want or norm == want:
            continue
        if norm.endswith("/" + want):
            skip = len(stored) - len(want)
            if best == 0 or skip < best:
                best = skip
    # The skip counts characters; /#STRINGS offsets count bytes.
    return len(stored[:best].encode("utf-8"))


def _parse_pmgl(chunk: bytes) -> List[Tuple[str, int, int, int]]:
    free_space = struct.unpack_from("<I", chunk, 4)[0]
    end = len(chunk) - free_space
    if end < PMGL_HEADER_SIZE:
        raise ChmError("bad free-space value in a PMGL chunk")
    items = []
    pos = PMGL_HEADER_SIZE
    while pos < end:
        name_len, pos = read_encint(chunk, pos, end)
        if name_len == 0:
            break
        name = chunk[pos:pos + name_len].decode("utf-8", "replace")
        pos += name_len
        section, pos = read_encint(chunk, pos, end)
        offset, pos = read_encint(chunk, pos, end)
        length, pos = read_encint(chunk, pos, end)
        items.append((name, section, offset, length))
    return items


def build_pmgl(header: bytes, items: List[Tuple[str, int, int, int]],
               chunk_size: int, density: int) -> bytes:
    """Serialise one PMGL chunk: header, entries, free space, quickref.

    The quick-reference area at the end of the chunk holds, backwards from
    the end, the number of entries (16 bits) and then the offset (from the
    first entry) of every (1 + 2^density)-th entry: entries 5, 10, 15, ...
    counted from 1, as chmcmd writes them. The free-space field counts the
    quick-reference area as free, as chmcmd does."""
    body = bytearray()
    offsets = []
    for name, section, offset, length in items:
        offsets.append(len(body))
        raw = name.encode("utf-8")
        body += write_encint(len(raw)) + raw + write_encint(section) + \
            write_encint(offset) + write_encint(length)
    step = 1 + (1 << density)
    quick = [offsets[i] for i in range(step - 1, len(items), step)]
    tail = bytearray()
    for value in reversed(quick):
        tail += struct.pack("<H", value)
    tail += struct.pack("<H", len(items))
    used = PMGL_HEADER_SIZE + len(body)
    if used + len(tail) > chunk_size:
        raise ChmError("directory chunk overflows after the change")
    chunk = bytearray(header[:PMGL_HEADER_SIZE])
    struct.pack_into("<I", chunk, 4, chunk_size - used)
    chunk += body
    chunk += bytes(chunk_size - used - len(tail))
    chunk += tail
    return bytes(chunk)
