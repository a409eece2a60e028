#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Writes 32-bit pixels (0x00RRGGBB, rows top to bottom) as an RGB PNG file, so that test runs can
// leave pictures of what they drew in the build tree. Returns false when the file cannot be written.
bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);

}  // namespace testing_support
