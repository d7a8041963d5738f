// Large block letters made of '#' cells, one glyph per character code 0 to
// 127, drawn as opaque text blocks.
#pragma once

#include <cstdint>

#include "canvas/canvas.h"

// The glyph box and table size that every new font copies.
extern const int32_t font_glyph_width;   // 6: five columns of picture, one of spacing
extern const int32_t font_glyph_height;  // 6: five rows, a sixth for descenders
extern const int32_t font_glyph_count;   // 128

// Glyph texts by character code; null where a code has no glyph (127).
extern const char* const font_glyphs[128];

struct BlockFont {
  Canvas* canvas = nullptr;  // not owned: the current canvas at creation
  int32_t glyph_width = 0;
  int32_t glyph_height = 0;
  int32_t glyph_count = 0;
  const char* const* glyphs = nullptr;  // not owned
};

// A font bound to the current canvas, which must exist.
BlockFont* font_create();
void font_release(BlockFont* font);

// Draws the glyph of the code with its top-left cell at (column, row).
// Codes without a glyph (negative, 127, or past the table) draw nothing.
void font_draw_glyph(const BlockFont* font, int32_t column, int32_t row, int32_t code);
