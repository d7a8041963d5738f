#include "canvas/font.h"

#include "canvas/draw.h"

const int32_t font_glyph_width = 6;
const int32_t font_glyph_height = 6;
const int32_t font_glyph_count = 128;

// The glyph of code 0, which the line end, code 10, shows too.
static const char glyph_00[] =
    "## ## \n"
    "## ## \n"
    "## ## \n"
    "## ## \n"
    "## ## \n"
    "\n";

const char* const font_glyphs[128] = {
    // 0 to 31: the code in hexadecimal. Codes 0 to 15 show a leading 0 as a
    // solid bar two columns wide and the low digit two columns wide; codes
    // 16 to 31 a leading 1 one column wide and the low digit three columns
    // wide. A blank parts the two digits, and the sixth column is spacing.
    // 00
    glyph_00,
    // 01
    "## #  \n"
    "## #  \n"
    "## #  \n"
    "## #  \n"
    "## #  \n"
    "\n",
    // 02
    "## ## \n"
    "##  # \n"
    "## ## \n"
    "## #  \n"
    "## ## \n"
    "\n",
    // 03
    "## ## \n"
    "##  # \n"
    "## ## \n"
    "##  # \n"
    "## ## \n"
    "\n",
    // 04
    "## ## \n"
    "## ## \n"
    "## ## \n"
    "##  # \n"
    "##  # \n"
    "\n",
    // 05
    "## ## \n"
    "## #  \n"
    "## ## \n"
    "##  # \n"
    "## ## \n"
    "\n",
    // 06
    "## ## \n"
    "## #  \n"
    "## ## \n"
    "## ## \n"
    "## ## \n"
    "\n",
    // 07
    "## ## \n"
    "##  # \n"
    "##  # \n"
    "##  # \n"
    "##  # \n"
    "\n",
    // 08
    "## ## \n"
    "## ## \n"
    "##    \n"
    "## ## \n"
    "## ## \n"
    "\n",
    // 09
    "## ## \n"
    "## ## \n"
    "##  # \n"
    "##  # \n"
    "## ## \n"
    "\n",
    // 10, the line end: no picture of its own, it shows 00
    glyph_00,
    // 0B
    "## ## \n"
    "## ## \n"
    "## #  \n"
    "## ## \n"
    "## ## \n"
    "\n",
    // 0C
    "## ## \n"
    "## #  \n"
    "## #  \n"
    "## #  \n"
    "## ## \n"
    "\n",
    // 0D
    "## #  \n"
    "## ## \n"
    "## ## \n"
    "## ## \n"
    "## #  \n"
    "\n",
    // 0E
    "## ## \n"
    "## #  \n"
    "## ## \n"
    "## #  \n"
    "## ## \n"
    "\n",
    // 0F
    "## ## \n"
    "## #  \n"
    "## ## \n"
    "## #  \n"
    "## #  \n"
    "\n",
    // 10
    "# ### \n"
    "# # # \n"
    "# # # \n"
    "# # # \n"
    "# ### \n"
    "\n",
    // 11
    "#  #  \n"
    "#  #  \n"
    "#  #  \n"
    "#  #  \n"
    "#  #  \n"
    "\n",
    // 12
    "# ### \n"
    "#   # \n"
    "# ### \n"
    "# #   \n"
    "# ### \n"
    "\n",
    // 13
    "# ### \n"
    "#   # \n"
    "# ### \n"
    "#   # \n"
    "# ### \n"
    "\n",
    // 14
    "# # # \n"
    "# # # \n"
    "# ### \n"
    "#   # \n"
    "#   # \n"
    "\n",
    // 15
    "# ### \n"
    "# #   \n"
    "# ### \n"
    "#   # \n"
    "# ### \n"
    "\n",
    // 16
    "# ### \n"
    "# #   \n"
    "# ### \n"
    "# # # \n"
    "# ### \n"
    "\n",
    // 17
    "# ### \n"
    "#   # \n"
    "#   # \n"
    "#   # \n"
    "#   # \n"
    "\n",
    // 18
    "# ### \n"
    "# # # \n"
    "# ### \n"
    "# # # \n"
    "# ### \n"
    "\n",
    // 19
    "# ### \n"
    "# # # \n"
    "# ### \n"
    "#   # \n"
    "# ### \n"
    "\n",
    // 1A
    "# ### \n"
    "# # # \n"
    "# ### \n"
    "# # # \n"
    "# # # \n"
    "\n",
    // 1B
    "# ##  \n"
    "# # # \n"
    "# ##  \n"
    "# # # \n"
    "# ##  \n"
    "\n",
    // 1C
    "#  ## \n"
    "# #   \n"
    "# #   \n"
    "# #   \n"
    "#  ## \n"
    "\n",
    // 1D
    "# ##  \n"
    "# # # \n"
    "# # # \n"
    "# # # \n"
    "# ##  \n"
    "\n",
    // 1E
    "# ### \n"
    "# #   \n"
    "# ##  \n"
    "# #   \n"
    "# ### \n"
    "\n",
    // 1F
    "# ### \n"
    "# #   \n"
    "# ##  \n"
    "# #   \n"
    "# #   \n"
    "\n",

    // 32 to 126: the printable characters. Each row is five cells of
    // picture and the blank spacing column; a five-row glyph ends in an
    // empty line, and g, j, p and q take a sixth row for their descenders.
    // The double quote and the commercial at are drawn in their own
    // character, so that they read as themselves.

    // 32 space
    "      \n"
    "      \n"
    "      \n"
    "      \n"
    "      \n"
    "\n",
    // 33 !
    "  ##  \n"
    "  ##  \n"
    "  ##  \n"
    "      \n"
    "  ##  \n"
    "\n",
    // 34 double quote
    " \" \"  \n"
    " \" \"  \n"
    "      \n"
    "      \n"
    "      \n"
    "\n",
    // 35 #
    " # #  \n"
    "##### \n"
    " # #  \n"
    "##### \n"
    " # #  \n"
    "\n",
    // 36 $
    " #### \n"
    "# #   \n"
    " ###  \n"
    "  # # \n"
    "####  \n"
    "\n",
    // 37 %
    "##  # \n"
    "## #  \n"
    "  #   \n"
    " # ## \n"
    "#  ## \n"
    "\n",
    // 38 &
    " ##   \n"
    "#  #  \n"
    " ## # \n"
    "#  #  \n"
    " ## # \n"
    "\n",
    // 39 apostrophe
    "  #   \n"
    "  #   \n"
    "      \n"
    "      \n"
    "      \n"
    "\n",
    // 40 (
    "   #  \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "   #  \n"
    "\n",
    // 41 )
    " #    \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    " #    \n"
    "\n",
    // 42 *
    "      \n"
    "# # # \n"
    " ###  \n"
    "# # # \n"
    "      \n"
    "\n",
    // 43 +
    "      \n"
    "  #   \n"
    "##### \n"
    "  #   \n"
    "      \n"
    "\n",
    // 44 ,
    "      \n"
    "      \n"
    "      \n"
    "  ##  \n"
    " ##   \n"
    "\n",
    // 45 -
    "      \n"
    "      \n"
    "##### \n"
    "      \n"
    "      \n"
    "\n",
    // 46 .
    "      \n"
    "      \n"
    "      \n"
    "      \n"
    "  ##  \n"
    "\n",
    // 47 /
    "    # \n"
    "   #  \n"
    "  #   \n"
    " #    \n"
    "#     \n"
    "\n",
    // 48 0
    "##### \n"
    "#   # \n"
    "# # # \n"
    "#   # \n"
    "##### \n"
    "\n",
    // 49 1
    " ##   \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    " ###  \n"
    "\n",
    // 50 2
    "##### \n"
    "    # \n"
    "##### \n"
    "#     \n"
    "##### \n"
    "\n",
    // 51 3
    "##### \n"
    "    # \n"
    " #### \n"
    "    # \n"
    "##### \n"
    "\n",
    // 52 4
    "#   # \n"
    "#   # \n"
    "##### \n"
    "    # \n"
    "    # \n"
    "\n",
    // 53 5
    "##### \n"
    "#     \n"
    "####  \n"
    "    # \n"
    "####  \n"
    "\n",
    // 54 6
    "##### \n"
    "#     \n"
    "##### \n"
    "#   # \n"
    "##### \n"
    "\n",
    // 55 7
    "##### \n"
    "    # \n"
    "   #  \n"
    "  #   \n"
    "  #   \n"
    "\n",
    // 56 8
    "##### \n"
    "#   # \n"
    "##### \n"
    "#   # \n"
    "##### \n"
    "\n",
    // 57 9
    "##### \n"
    "#   # \n"
    "##### \n"
    "    # \n"
    "##### \n"
    "\n",
    // 58 :
    "      \n"
    "  ##  \n"
    "      \n"
    "  ##  \n"
    "      \n"
    "\n",
    // 59 ;
    "      \n"
    "  ##  \n"
    "      \n"
    "  ##  \n"
    " ##   \n"
    "\n",
    // 60 <
    "   #  \n"
    "  #   \n"
    " #    \n"
    "  #   \n"
    "   #  \n"
    "\n",
    // 61 =
    "      \n"
    "##### \n"
    "      \n"
    "##### \n"
    "      \n"
    "\n",
    // 62 >
    " #    \n"
    "  #   \n"
    "   #  \n"
    "  #   \n"
    " #    \n"
    "\n",
    // 63 ?
    "####  \n"
    "    # \n"
    "  ##  \n"
    "      \n"
    "  ##  \n"
    "\n",
    // 64 @
    "@@@@@ \n"
    "@   @ \n"
    "@ @@@ \n"
    "@     \n"
    "@@@@@ \n"
    "\n",
    // 65 A
    "##### \n"
    "#   # \n"
    "##### \n"
    "#   # \n"
    "#   # \n"
    "\n",
    // 66 B
    "####  \n"
    "#   # \n"
    "####  \n"
    "#   # \n"
    "####  \n"
    "\n",
    // 67 C
    "##### \n"
    "#     \n"
    "#     \n"
    "#     \n"
    "##### \n"
    "\n",
    // 68 D
    "####  \n"
    "#   # \n"
    "#   # \n"
    "#   # \n"
    "####  \n"
    "\n",
    // 69 E
    "##### \n"
    "#     \n"
    "####  \n"
    "#     \n"
    "##### \n"
    "\n",
    // 70 F
    "##### \n"
    "#     \n"
    "####  \n"
    "#     \n"
    "#     \n"
    "\n",
    // 71 G
    "##### \n"
    "#     \n"
    "# ### \n"
    "#   # \n"
    "##### \n"
    "\n",
    // 72 H
    "#   # \n"
    "#   # \n"
    "##### \n"
    "#   # \n"
    "#   # \n"
    "\n",
    // 73 I
    "##### \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "##### \n"
    "\n",
    // 74 J
    "  ### \n"
    "    # \n"
    "    # \n"
    "#   # \n"
    " ###  \n"
    "\n",
    // 75 K
    "#   # \n"
    "#  #  \n"
    "###   \n"
    "#  #  \n"
    "#   # \n"
    "\n",
    // 76 L
    "#     \n"
    "#     \n"
    "#     \n"
    "#     \n"
    "##### \n"
    "\n",
    // 77 M
    "#   # \n"
    "## ## \n"
    "# # # \n"
    "#   # \n"
    "#   # \n"
    "\n",
    // 78 N
    "#   # \n"
    "##  # \n"
    "# # # \n"
    "#  ## \n"
    "#   # \n"
    "\n",
    // 79 O
    "##### \n"
    "#   # \n"
    "#   # \n"
    "#   # \n"
    "##### \n"
    "\n",
    // 80 P
    "##### \n"
    "#   # \n"
    "##### \n"
    "#     \n"
    "#     \n"
    "\n",
    // 81 Q
    "##### \n"
    "#   # \n"
    "#   # \n"
    "#  #  \n"
    "### # \n"
    "\n",
    // 82 R
    "##### \n"
    "#   # \n"
    "##### \n"
    "#  #  \n"
    "#   # \n"
    "\n",
    // 83 S
    " #### \n"
    "#     \n"
    " ###  \n"
    "    # \n"
    "####  \n"
    "\n",
    // 84 T
    "##### \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "\n",
    // 85 U
    "#   # \n"
    "#   # \n"
    "#   # \n"
    "#   # \n"
    "##### \n"
    "\n",
    // 86 V
    "#   # \n"
    "#   # \n"
    "#   # \n"
    " # #  \n"
    "  #   \n"
    "\n",
    // 87 W
    "#   # \n"
    "#   # \n"
    "# # # \n"
    "## ## \n"
    "#   # \n"
    "\n",
    // 88 X
    "#   # \n"
    " # #  \n"
    "  #   \n"
    " # #  \n"
    "#   # \n"
    "\n",
    // 89 Y
    "#   # \n"
    " # #  \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "\n",
    // 90 Z
    "##### \n"
    "   #  \n"
    "  #   \n"
    " #    \n"
    "##### \n"
    "\n",
    // 91 [
    " ###  \n"
    " #    \n"
    " #    \n"
    " #    \n"
    " ###  \n"
    "\n",
    // 92 backslash
    "#     \n"
    " #    \n"
    "  #   \n"
    "   #  \n"
    "    # \n"
    "\n",
    // 93 ]
    " ###  \n"
    "   #  \n"
    "   #  \n"
    "   #  \n"
    " ###  \n"
    "\n",
    // 94 ^
    "  #   \n"
    " # #  \n"
    "#   # \n"
    "      \n"
    "      \n"
    "\n",
    // 95 _
    "      \n"
    "      \n"
    "      \n"
    "      \n"
    "##### \n"
    "\n",
    // 96 grave accent
    " #    \n"
    "  #   \n"
    "      \n"
    "      \n"
    "      \n"
    "\n",
    // 97 a
    "      \n"
    " ###  \n"
    "#   # \n"
    "#   # \n"
    " #### \n"
    "\n",
    // 98 b
    "#     \n"
    "#     \n"
    "####  \n"
    "#   # \n"
    "####  \n"
    "\n",
    // 99 c
    "      \n"
    " #### \n"
    "#     \n"
    "#     \n"
    " #### \n"
    "\n",
    // 100 d
    "    # \n"
    "    # \n"
    " #### \n"
    "#   # \n"
    " #### \n"
    "\n",
    // 101 e
    "      \n"
    " ###  \n"
    "##### \n"
    "#     \n"
    " #### \n"
    "\n",
    // 102 f
    "  ##  \n"
    " #    \n"
    "####  \n"
    " #    \n"
    " #    \n"
    "\n",
    // 103 g
    "      \n"
    "  ##  \n"
    " #  # \n"
    "  ### \n"
    "    # \n"
    " ###  \n",
    // 104 h
    "#     \n"
    "#     \n"
    "####  \n"
    "#   # \n"
    "#   # \n"
    "\n",
    // 105 i
    "  #   \n"
    "      \n"
    " ##   \n"
    "  #   \n"
    " ###  \n"
    "\n",
    // 106 j
    "    # \n"
    "      \n"
    "   ## \n"
    "    # \n"
    " #  # \n"
    "  ##  \n",
    // 107 k
    "#     \n"
    "#  #  \n"
    "###   \n"
    "# #   \n"
    "#  #  \n"
    "\n",
    // 108 l
    " #    \n"
    " #    \n"
    " #    \n"
    " #    \n"
    "  ##  \n"
    "\n",
    // 109 m
    "      \n"
    "####  \n"
    "# # # \n"
    "# # # \n"
    "# # # \n"
    "\n",
    // 110 n
    "      \n"
    "####  \n"
    "#   # \n"
    "#   # \n"
    "#   # \n"
    "\n",
    // 111 o
    "      \n"
    " ###  \n"
    "#   # \n"
    "#   # \n"
    " ###  \n"
    "\n",
    // 112 p
    "      \n"
    "####  \n"
    "#   # \n"
    "#   # \n"
    "####  \n"
    "#     \n",
    // 113 q
    "      \n"
    " #### \n"
    "#   # \n"
    "#   # \n"
    " #### \n"
    "    # \n",
    // 114 r
    "      \n"
    "# ##  \n"
    "##    \n"
    "#     \n"
    "#     \n"
    "\n",
    // 115 s
    "      \n"
    " #### \n"
    "##    \n"
    "   ## \n"
    "####  \n"
    "\n",
    // 116 t
    " #    \n"
    "####  \n"
    " #    \n"
    " #    \n"
    "  ##  \n"
    "\n",
    // 117 u
    "      \n"
    "#   # \n"
    "#   # \n"
    "#   # \n"
    " #### \n"
    "\n",
    // 118 v
    "      \n"
    "#   # \n"
    "#   # \n"
    " # #  \n"
    "  #   \n"
    "\n",
    // 119 w
    "      \n"
    "#   # \n"
    "# # # \n"
    "# # # \n"
    " # #  \n"
    "\n",
    // 120 x
    "      \n"
    "#  #  \n"
    " ##   \n"
    " ##   \n"
    "#  #  \n"
    "\n",
    // 121 y
    "      \n"
    "#   # \n"
    " #### \n"
    "    # \n"
    " ###  \n"
    "\n",
    // 122 z
    "      \n"
    "##### \n"
    "   #  \n"
    " ##   \n"
    "##### \n"
    "\n",
    // 123 {
    "  ##  \n"
    "  #   \n"
    " #    \n"
    "  #   \n"
    "  ##  \n"
    "\n",
    // 124 |
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "  #   \n"
    "\n",
    // 125 }
    " ##   \n"
    "  #   \n"
    "   #  \n"
    "  #   \n"
    " ##   \n"
    "\n",
    // 126 ~
    "      \n"
    " ## # \n"
    "#  #  \n"
    "      \n"
    "      \n"
    "\n",

    // 127, delete, has no glyph.
    nullptr,
};

namespace {

// The glyph text of the code, or null when the font holds none for it.
const char* glyph_text(const BlockFont* font, int32_t code) {
  if (code < 0 || code >= font->glyph_count) return nullptr;
  return font->glyphs[code];
}

// Whether a glyph box at (column, row) can reach the canvas. This bounds
// the work, not the cells: a glyph far off the canvas is not walked cell by
// cell, and the cells of one that passes still go through the cell clip
// (a box at column -glyph_width passes and ends just left of column 0). The
// size is read at each call, so a canvas resized after the font was made
// is respected.
bool box_may_show(const BlockFont* font, int32_t column, int32_t row) {
  const Canvas* canvas = font->canvas;
  // Negated wide, so that no glyph size overflows.
  return column < canvas->width && row < canvas->height && column >= -int64_t{font->glyph_width} &&
         row >= -int64_t{font->glyph_height};
}

}  // namespace

BlockFont* font_create() {
  return new BlockFont{current_canvas, font_glyph_width, font_glyph_height, font_glyph_count,
                       font_glyphs};
}

void font_release(BlockFont* font) {
  delete font;
}

void font_draw_glyph(const BlockFont* font, int32_t column, int32_t row, int32_t code) {
  const char* glyph = glyph_text(font, code);
  if (glyph == nullptr || !box_may_show(font, column, row)) return;
  canvas_draw_text(font->canvas, column, row, glyph);
}
