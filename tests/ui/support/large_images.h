#pragma once

// Images that are small files but large pictures, made without holding the picture in memory.

#include <cstddef>
#include <string>

namespace kovi::test {

// A black PNG of width × height pixels, one bit per pixel, compressed as a stream: 30000×30000
// makes about 110 KB.
std::string largeBlankPng(int width, int height);

// The most memory the process has held so far, in bytes (the kernel's high-water mark).
std::size_t peakResidentBytes();

} // namespace kovi::test
