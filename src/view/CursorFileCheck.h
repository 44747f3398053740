// Looking at a cursor file before the system's cursor loader does. Plain C++.
#pragma once

#include <cstddef>

// Whether the bytes of a cursor file may be handed to the system's cursor
// loader (LoadCursorFromFileW): a well-formed static cursor or icon file, or a
// well-formed animated cursor. Some loaders, Wine's among them, trust the
// sizes and counts a cursor file states, and a damaged file then ends the
// whole process (a picture 0 pixels wide or 1 high divides by zero; an
// animated cursor promising more frames than it holds is read past its end).
// So the file is checked here first:
// - a static file: a directory of at least one picture, every picture inside
//   the file, each a PNG or an uncompressed bitmap of 1 to 4,096 pixels a
//   side with 1, 4, 8, 16, 24 or 32 bits per pixel, whose colours, picture
//   and mask fit into the size the directory gives it;
// - an animated cursor (a RIFF "ACON" file): every chunk inside the file, a
//   header promising at least one frame and no more than the frame list
//   holds, each of those frames a sound static file as above, and the
//   sequence and rate chunks covering the steps they are read for.
bool IsCursorFileSafeToLoad(const unsigned char* bytes, size_t size);

// Whether the first four bytes of a file are those of a cursor or icon file
// or of an animated cursor, so that the file is worth reading whole.
bool BeginsLikeCursorFile(const unsigned char* bytes, size_t size);
