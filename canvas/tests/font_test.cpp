#include "canvas/font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/draw.h"
#include "tests/support/test_canvas.h"

namespace {

constexpr int32_t int32_min = std::numeric_limits<int32_t>::min();
constexpr int32_t int32_max = std::numeric_limits<int32_t>::max();

// The lines of a glyph text; the text after the last line end is the final
// element, empty for a well-formed glyph.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines(1);
  for (const char ch : text) {
    if (ch == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += ch;
    }
  }
  return lines;
}

bool has_descender(int32_t code) {
  return code == 'g' || code == 'j' || code == 'p' || code == 'q';
}

std::vector<int32_t> all_cells(const Canvas& canvas) {
  return std::vector<int32_t>(canvas.cells.get(),
                              canvas.cells.get() + int64_t{canvas.width} * canvas.height);
}

char ink_of(int32_t code) {
  if (code == '"') return '"';
  if (code == '@') return '@';
  return '#';
}

// ---------------------------------------------------------------------------
// The glyph table

TEST(FontTable, EveryGlyphIsFiveOrSixRowsOfSixCells) {
  for (int32_t code = 0; code < 127; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    ASSERT_NE(font_glyphs[code], nullptr);
    const std::string text = font_glyphs[code];
    const std::vector<std::string> lines = lines_of(text);
    if (has_descender(code)) {
      EXPECT_EQ(text.size(), 42u);
      ASSERT_EQ(lines.size(), 7u);  // six rows, nothing after the last line end
    } else {
      EXPECT_EQ(text.size(), 36u);
      ASSERT_EQ(lines.size(), 7u);  // five rows, the empty line, nothing after it
      EXPECT_EQ(lines[5], "");
    }
    const size_t rows = has_descender(code) ? 6 : 5;
    for (size_t r = 0; r < rows; ++r) {
      ASSERT_EQ(lines[r].size(), 6u) << "row " << r;
      EXPECT_EQ(lines[r][5], ' ') << "row " << r << ": the spacing column";
      for (const char cell : lines[r]) {
        EXPECT_TRUE(cell == ' ' || cell == ink_of(code)) << "row " << r << ": '" << cell << "'";
      }
    }
    EXPECT_EQ(lines.back(), "");
  }
}

TEST(FontTable, OnlyTheSpaceIsBlankAndNoTwoCharactersLookAlike) {
  std::set<std::string> seen;
  for (int32_t code = 0; code < 127; ++code) {
    if (code == 10) continue;  // shares the glyph of code 0
    const std::string text = font_glyphs[code];
    EXPECT_EQ(text.find_first_not_of(" \n") == std::string::npos, code == ' ') << "code " << code;
    EXPECT_TRUE(seen.insert(text).second) << "code " << code << " repeats an earlier glyph";
  }
}

TEST(FontTable, DeleteHasNoGlyphAndLineEndShowsZero) {
  EXPECT_EQ(font_glyphs[127], nullptr);
  ASSERT_NE(font_glyphs[10], nullptr);
  EXPECT_STREQ(font_glyphs[10], font_glyphs[0]);
}

// ---------------------------------------------------------------------------
// Creating a font

struct FontDeleter {
  void operator()(BlockFont* font) const {
    font_release(font);
  }
};
using FontPtr = std::unique_ptr<BlockFont, FontDeleter>;

TEST(FontCreate, BindsTheCurrentCanvasAndTheTable) {
  OwnedCanvas canvas(canvas_create());
  FontPtr font(font_create());
  EXPECT_EQ(font->canvas, canvas.get());
  EXPECT_EQ(font->glyph_width, font_glyph_width);
  EXPECT_EQ(font->glyph_height, font_glyph_height);
  EXPECT_EQ(font->glyph_count, font_glyph_count);
  EXPECT_EQ(font->glyphs, font_glyphs);
}

// ---------------------------------------------------------------------------
// Drawing glyphs

// An 80 x 25 canvas filled with '.', so that every cell a glyph writes,
// its blanks included, can be told from the untouched ones.
class FontDraw : public ::testing::Test {
 protected:
  FontDraw() : canvas_(canvas_create()), font_(font_create()) {
    canvas_fill(canvas_.get(), '.');
  }

  // Columns first to first + count - 1 of a row, as characters.
  std::string cells(int32_t row, int32_t first, int32_t count) const {
    std::string text;
    for (int32_t c = first; c < first + count; ++c) {
      text += static_cast<char>(canvas_->cells[row * canvas_->width + c]);
    }
    return text;
  }
  std::string row(int32_t r) const {
    return cells(r, 0, canvas_->width);
  }

  std::vector<int32_t> snapshot() const {
    return all_cells(*canvas_);
  }

  void draw(int32_t column, int32_t row, int32_t code) {
    font_draw_glyph(font_.get(), column, row, code);
  }

  OwnedCanvas canvas_;
  FontPtr font_;
};

const std::string background(80, '.');

TEST_F(FontDraw, FiveRowGlyphFillsItsBoxAndLeavesTheSixthRow) {
  draw(0, 0, 'A');
  EXPECT_EQ(row(0), "##### " + background.substr(6));
  EXPECT_EQ(row(1), "#   # " + background.substr(6));
  EXPECT_EQ(row(2), "##### " + background.substr(6));
  EXPECT_EQ(row(3), "#   # " + background.substr(6));
  EXPECT_EQ(row(4), "#   # " + background.substr(6));
  EXPECT_EQ(row(5), background);
}

TEST_F(FontDraw, DescenderGlyphWritesTheSixthRow) {
  draw(10, 3, 'g');
  EXPECT_EQ(cells(3, 10, 6), "      ");
  EXPECT_EQ(cells(8, 9, 8), ". ###  .");
  EXPECT_EQ(row(9), background);
}

TEST_F(FontDraw, GlyphLandsAtItsPosition) {
  draw(40, 12, '0');
  EXPECT_EQ(cells(11, 39, 8), "........");
  EXPECT_EQ(cells(12, 39, 8), ".##### .");
  EXPECT_EQ(cells(14, 39, 8), ".# # # .");
  EXPECT_EQ(cells(16, 39, 8), ".##### .");
  EXPECT_EQ(cells(17, 39, 8), "........");
}

TEST_F(FontDraw, LineEndDrawsLikeZero) {
  draw(0, 0, 0);
  draw(20, 0, 10);
  for (int32_t r = 0; r < 6; ++r) EXPECT_EQ(cells(r, 20, 6), cells(r, 0, 6)) << "row " << r;
}

TEST_F(FontDraw, CodesWithoutGlyphDrawNothing) {
  const std::vector<int32_t> before = snapshot();
  for (const int32_t code : {127, 128, 255, 256, -1, -128, int32_min, int32_max}) {
    draw(0, 0, code);
    draw(37, 10, code);
  }
  EXPECT_EQ(snapshot(), before);
}

TEST_F(FontDraw, ClipsCellByCellAtEveryEdge) {
  draw(-3, 0, 'A');  // only the last three columns show
  EXPECT_EQ(cells(0, 0, 4), "## .");
  EXPECT_EQ(cells(1, 0, 4), " # .");
  EXPECT_EQ(row(5), background);

  draw(77, 6, 'A');  // only the first three columns show
  EXPECT_EQ(cells(6, 76, 4), ".###");
  EXPECT_EQ(cells(7, 76, 4), ".#  ");

  draw(20, 23, 'A');  // only the first two rows show
  EXPECT_EQ(cells(23, 20, 6), "##### ");
  EXPECT_EQ(cells(24, 20, 6), "#   # ");

  draw(30, -3, 'j');  // only the last three rows show
  EXPECT_EQ(cells(0, 30, 6), "    # ");
  EXPECT_EQ(cells(1, 30, 6), " #  # ");
  EXPECT_EQ(cells(2, 30, 6), "  ##  ");
  EXPECT_EQ(cells(3, 30, 6), "......");
}

TEST_F(FontDraw, GlyphsWhollyOffTheCanvasDrawNothing) {
  const std::vector<int32_t> before = snapshot();
  draw(-6, 0, 'A');  // the box ends just left of column 0
  draw(-7, 0, 'A');
  draw(0, -6, 'g');  // the box ends just above row 0
  draw(0, -7, 'g');
  draw(80, 0, 'A');
  draw(0, 25, 'A');
  // Far coordinates must not wrap around onto the canvas.
  draw(int32_min, 0, 'A');
  draw(0, int32_min, 'A');
  draw(int32_max, 0, 'A');
  draw(0, int32_max, 'A');
  draw(int32_max, int32_max, 'A');
  EXPECT_EQ(snapshot(), before);
}

TEST_F(FontDraw, AnyGlyphBoxSizeIsComparedWithoutOverflow) {
  // The box test negates the sizes; the most negative one has no opposite
  // in 32 bits. Negated, it is 2^31, which no column or row reaches: no box
  // passes the test.
  const std::vector<int32_t> before = snapshot();
  font_->glyph_width = int32_min;
  draw(0, 0, 'A');
  draw(int32_max, 0, 'A');
  font_->glyph_width = 6;
  font_->glyph_height = int32_min;
  draw(0, 0, 'A');
  EXPECT_EQ(snapshot(), before);
  font_->glyph_height = int32_max;
  draw(0, -int32_max, 'A');  // passes the test, and clips every cell
  EXPECT_EQ(snapshot(), before);
}

TEST_F(FontDraw, KeepsTheCanvasItWasCreatedOn) {
  OwnedCanvas later(canvas_create());  // now the current canvas
  const std::vector<int32_t> later_before = all_cells(*later);
  draw(0, 0, 'A');
  EXPECT_EQ(cells(0, 0, 6), "##### ");
  EXPECT_EQ(all_cells(*later), later_before);
}

}  // namespace
