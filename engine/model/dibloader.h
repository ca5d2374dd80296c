#pragma once

// Windows device-independent bitmaps (the model's .tex files) to plain RGB.
// Accepted: 12-byte core and 40-byte info headers, with or without the 14-byte "BM" file
// header; 1, 4, 8, 16, 24 and 32 bits; RLE4 and RLE8; bit fields for 16 and 32 bits (the
// three masks follow the 40-byte header). Top-down bitmaps are flipped, so the result is
// always bottom row first with rows tightly packed.

#include "modelfiles.h"

#include <string>
#include <vector>

namespace zelle {

// Process-wide switch for the failure reports on standard error; on by default.
void setDibReports(bool on);
bool dibReports();

// Decodes a bitmap held in memory. On failure returns false and sets *report to one of
// "Unknown DIB file format.", "Out of memory." or "Image file conversion error.".
bool decodeDib(const std::vector<uint8_t> &bytes, Image &out, std::string *report);

// Reads and decodes a file; on failure writes exactly one report to standard error (while
// reports are on): the decoder's text and a line break, or "Failed to open DIB file <name>.\n"
// when the file cannot be read or is empty.
bool loadDib(const std::string &path, Image &out);

} // namespace zelle
