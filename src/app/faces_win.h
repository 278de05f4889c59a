// The artwork of the smiley window's 16 face pictures, drawn in code so that
// it stays sharp at any DPI.
#pragma once
#include <windows.h>

#include <cstddef>

namespace faces {

// Draws face `index` (0 to 15, the catalogue's face
// order) into `box`, scaled from a 19 by 19 design to the box's size; the
// background is the button face, as if the picture were transparent.
void DrawFace(HDC dc, const RECT& box, std::size_t index);

}  // namespace faces
