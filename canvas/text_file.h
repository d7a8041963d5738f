// Measuring NUL-terminated texts, and loading and saving whole files byte
// for byte.
#pragma once

#include <cstdint>

// Length of the longest line that a line end closes; text after the last
// line end is not measured.
int32_t text_longest_line(const char* text);

// Line ends plus one: a text that ends with a line end counts an empty last
// line.
int32_t text_line_count(const char* text);

int32_t text_length(const char* text);

// Size of the file in bytes, or -1 when it cannot be opened or sized.
int64_t file_size(const char* path);

// The whole file followed by a NUL, in a buffer the caller releases with
// free(); null when the file cannot be opened or sized, or memory runs out.
char* file_read_all(const char* path);

// Writes the text without its NUL, replacing the file. Returns false when
// the file cannot be written whole.
bool file_write_text(const char* text, const char* path);
