#include "canvas/text_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

TEST(Text, MeasuresLinesThatALineEndCloses) {
  EXPECT_EQ(text_length(""), 0);
  EXPECT_EQ(text_line_count(""), 1);
  EXPECT_EQ(text_longest_line(""), 0);

  EXPECT_EQ(text_longest_line("ab\ncdef\n"), 4);
  EXPECT_EQ(text_line_count("ab\ncdef\n"), 3);
  // The unclosed last line is not measured.
  EXPECT_EQ(text_longest_line("ab\ncdef"), 2);
  EXPECT_EQ(text_line_count("ab\ncdef"), 2);
  EXPECT_EQ(text_longest_line("no line end"), 0);

  EXPECT_EQ(text_longest_line("12345\n12345\n12345\n"), 5);
  EXPECT_EQ(text_line_count("12345\n12345\n12345\n"), 4);
  EXPECT_EQ(text_length("12345\n"), 6);
}

class Files : public ::testing::Test {
 protected:
  Files() {
    char pattern[] = "/tmp/text_file_test.XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  ~Files() override {
    std::filesystem::remove_all(dir_);
  }

  std::string path(const char* name) const {
    return (dir_ / name).string();
  }

 private:
  std::filesystem::path dir_;
};

using Buffer = std::unique_ptr<char, decltype(&std::free)>;

TEST_F(Files, WrittenTextReadsBackByteForByte) {
  const char text[] = "line one\n\tsecond line \xE9\n";
  ASSERT_TRUE(file_write_text(text, path("a.txt").c_str()));
  EXPECT_EQ(file_size(path("a.txt").c_str()), text_length(text));
  const Buffer back(file_read_all(path("a.txt").c_str()), &std::free);
  ASSERT_NE(back, nullptr);
  EXPECT_STREQ(back.get(), text);

  // Writing again replaces the file whole.
  ASSERT_TRUE(file_write_text("x", path("a.txt").c_str()));
  EXPECT_EQ(file_size(path("a.txt").c_str()), 1);
}

TEST_F(Files, AnEmptyFileReadsAsOneNul) {
  ASSERT_TRUE(file_write_text("", path("empty").c_str()));
  EXPECT_EQ(file_size(path("empty").c_str()), 0);
  const Buffer back(file_read_all(path("empty").c_str()), &std::free);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back.get()[0], '\0');
}

TEST_F(Files, PathsThatCannotBeOpenedFailWithoutACrash) {
  const std::string missing = path("missing/none.txt");
  EXPECT_EQ(file_size(missing.c_str()), -1);
  EXPECT_EQ(file_read_all(missing.c_str()), nullptr);
  EXPECT_FALSE(file_write_text("text", missing.c_str()));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
