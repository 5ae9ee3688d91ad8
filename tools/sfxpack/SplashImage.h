// The splash picture carried in the launcher's file must be a BMP file; the
// launcher hands its bytes to the picture loader as they are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sfxpack {

// Checks the "BM" signature and that the file and bitmap headers agree with
// each other and with the file's length, and that the launcher reads a file
// of its size at all. Returns false with the reason.
bool CheckBmpFile(const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace sfxpack
