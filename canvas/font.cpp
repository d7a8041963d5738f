#include "canvas/font.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "canvas/draw.h"

constexpr int32_t font_glyph_width = 6;
constexpr int32_t font_glyph_height = 6;
constexpr int32_t font_glyph_count = 128;

namespace {

// Codes 0 to 31 have no printable character, so their glyphs show the code
// in hexadecimal: a leading digit, a blank, the low digit and the spacing
// column. The digits are kept below as small pictures, '#' for ink and '.'
// for a blank cell, and composed into glyph texts at compile time: a row of
// the wrong width or a stray character in a picture stops the build instead
// of drawing a broken glyph.

constexpr int32_t hex_glyph_rows = 5;
// The leading digit and the low digit together; the other two columns of a
// row are the blank between them and the spacing column.
constexpr std::size_t hex_picture_width = font_glyph_width - 2;

// One row of cells per glyph row, top to bottom.
using DigitPicture = std::array<std::string_view, hex_glyph_rows>;

// The low digit of codes 0 to 15, beside a leading 0 drawn as a solid bar
// two columns wide. Digit A has no picture: code 10 shows 00 (see
// font_glyphs), and a glyph composed from the empty picture fails to build.
constexpr std::array<DigitPicture, 16> narrow_digits = {{
    {"##", "##", "##", "##", "##"},  // 0
    {"#.", "#.", "#.", "#.", "#."},  // 1
    {"##", ".#", "##", "#.", "##"},  // 2
    {"##", ".#", "##", ".#", "##"},  // 3
    {"##", "##", "##", ".#", ".#"},  // 4
    {"##", "#.", "##", ".#", "##"},  // 5
    {"##", "#.", "##", "##", "##"},  // 6
    {"##", ".#", ".#", ".#", ".#"},  // 7
    {"##", "##", "..", "##", "##"},  // 8
    {"##", "##", ".#", ".#", "##"},  // 9
    {"", "", "", "", ""},            // A: none
    {"##", "##", "#.", "##", "##"},  // B
    {"##", "#.", "#.", "#.", "##"},  // C
    {"#.", "##", "##", "##", "#."},  // D
    {"##", "#.", "##", "#.", "##"},  // E
    {"##", "#.", "##", "#.", "#."},  // F
}};
constexpr std::string_view narrow_lead = "##";

// The low digit of codes 16 to 31, beside a leading 1 one column wide.
constexpr std::array<DigitPicture, 16> wide_digits = {{
    {"###", "#.#", "#.#", "#.#", "###"},  // 0
    {".#.", ".#.", ".#.", ".#.", ".#."},  // 1
    {"###", "..#", "###", "#..", "###"},  // 2
    {"###", "..#", "###", "..#", "###"},  // 3
    {"#.#", "#.#", "###", "..#", "..#"},  // 4
    {"###", "#..", "###", "..#", "###"},  // 5
    {"###", "#..", "###", "#.#", "###"},  // 6
    {"###", "..#", "..#", "..#", "..#"},  // 7
    {"###", "#.#", "###", "#.#", "###"},  // 8
    {"###", "#.#", "###", "..#", "###"},  // 9
    {"###", "#.#", "###", "#.#", "#.#"},  // A
    {"##.", "#.#", "##.", "#.#", "##."},  // B
    {".##", "#..", "#..", "#..", ".##"},  // C
    {"##.", "#.#", "#.#", "#.#", "##."},  // D
    {"###", "#..", "##.", "#..", "###"},  // E
    {"###", "#..", "##.", "#..", "#.."},  // F
}};
constexpr std::string_view wide_lead = "#";

// Five rows of glyph width plus a line end each, the empty line, the NUL.
constexpr std::size_t hex_text_length = hex_glyph_rows * (font_glyph_width + 1) + 1;
using HexGlyphText = std::array<char, hex_text_length + 1>;

// Builds a glyph text piece by piece; the throws make a malformed picture a
// compile error, since the texts are only ever composed in constant
// expressions.
class HexGlyphWriter {
 public:
  constexpr void cells(std::string_view picture) {
    for (const char cell : picture) {
      if (cell != '#' && cell != '.') throw "a digit picture holds only '#' and '.'";
      put(cell == '#' ? '#' : ' ');
    }
  }
  constexpr void put(char ch) {
    if (length_ == hex_text_length) throw "a hex glyph overflows its text";
    text_[length_++] = ch;
  }
  constexpr HexGlyphText finish() const {
    if (length_ != hex_text_length) throw "a hex glyph falls short of its text";
    return text_;
  }

 private:
  HexGlyphText text_{};  // zero-filled, so the text ends in a NUL
  std::size_t length_ = 0;
};

constexpr HexGlyphText compose_hex_glyph(std::string_view lead, const DigitPicture& digit) {
  HexGlyphWriter writer;
  for (const std::string_view row : digit) {
    if (lead.size() + row.size() != hex_picture_width) throw "a digit row has the wrong width";
    writer.cells(lead);
    writer.put(' ');
    writer.cells(row);
    writer.put(' ');  // the spacing column
    writer.put('\n');
  }
  writer.put('\n');  // the empty sixth line of a five-row glyph
  return writer.finish();
}

constexpr HexGlyphText hex_glyph_text(int32_t code) {
  return code < 16 ? compose_hex_glyph(narrow_lead, narrow_digits[code])
                   : compose_hex_glyph(wide_lead, wide_digits[code - 16]);
}

// One text per code, instantiated only for the codes that the table names.
template <int32_t code>
constexpr HexGlyphText hex_text = hex_glyph_text(code);

template <int32_t code>
constexpr const char* hex_glyph = hex_text<code>.data();

}  // namespace

// Constant-initialised, so the table is complete before any code runs,
// however the static objects of other files are ordered.
constinit const char* const font_glyphs[128] = {
    // 0 to 31: the code in hexadecimal. Code 10, the line end, has no
    // picture of its own and shares the text of code 0.
    hex_glyph<0>,
    hex_glyph<1>,
    hex_glyph<2>,
    hex_glyph<3>,
    hex_glyph<4>,
    hex_glyph<5>,
    hex_glyph<6>,
    hex_glyph<7>,
    hex_glyph<8>,
    hex_glyph<9>,
    hex_glyph<0>,
    hex_glyph<11>,
    hex_glyph<12>,
    hex_glyph<13>,
    hex_glyph<14>,
    hex_glyph<15>,
    hex_glyph<16>,
    hex_glyph<17>,
    hex_glyph<18>,
    hex_glyph<19>,
    hex_glyph<20>,
    hex_glyph<21>,
    hex_glyph<22>,
    hex_glyph<23>,
    hex_glyph<24>,
    hex_glyph<25>,
    hex_glyph<26>,
    hex_glyph<27>,
    hex_glyph<28>,
    hex_glyph<29>,
    hex_glyph<30>,
    hex_glyph<31>,

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

// Whether a glyph box at (column, row) can reach the canvas. The size is
// read at each call, so a canvas resized after the font was made is
// respected. Boxes that pass may still lie wholly outside (a box at column
// -glyph_width ends just left of column 0); the cell clip of the text
// drawing handles those.
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
