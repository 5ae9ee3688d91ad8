// The stamp block: five build parameters that the packing step writes into the
// linked program's read-only data.
//
// Layout (256 bytes and a NUL, one constant, offsets within the block):
//   0  10  marker  "KORVALIS" '1' ':'
//  10  22  BuildId            17 ASCII digits and a NUL, then spaces
//  32  10  marker  "KORVALIS" '2' ':'
//  42   6  PayloadOffset      u32 little-endian, then spaces
//  48  10  marker  "KORVALIS" '3' ':'
//  58  22  SetupProgramName   NUL-terminated ASCII (at most 21 characters), padding
//  80  10  marker  "KORVALIS" '4' ':'
//  90  22  RequiredFreeBytes  u64 little-endian, then spaces
// 112  10  marker  "KORVALIS" '5' ':'
// 122 134  SplashImageOffset  u32 little-endian (0: no picture), then spaces
// 256   1  NUL
//
// The packing tool finds the block by its five markers (they occur exactly
// once in the linked program) and overwrites the value areas in the file. The
// template holds BuildId "00000000000000000", PayloadOffset 0,
// SetupProgramName "setup" NUL-padded to 11 bytes, RequiredFreeBytes 0 and
// SplashImageOffset 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace stamp {
constexpr size_t kBlockSize = 256;
constexpr size_t kMarkerSize = 10;
constexpr size_t kBuildIdOffset = 10, kBuildIdSize = 22;
constexpr size_t kPayloadOffsetOffset = 42, kPayloadOffsetSize = 6;
constexpr size_t kSetupNameOffset = 58, kSetupNameSize = 22;
constexpr size_t kRequiredFreeOffset = 90, kRequiredFreeSize = 22;
constexpr size_t kSplashOffsetOffset = 122, kSplashOffsetSize = 134;
constexpr size_t kSetupNameMaxLength = 21;
// The largest splash picture the launcher reads (64 MiB); the packing tool
// refuses a larger one, since the launcher would show its built-in picture.
constexpr uint32_t kMaxSplashImageBytes = 64u * 1024 * 1024;
}  // namespace stamp

// The block itself (257 bytes with the closing NUL).
extern "C" const char StampBlock[stamp::kBlockSize + 1];

// Each reader takes its value from its own area only, read through a volatile
// view so the values patched into the file are what the program sees.
std::string GetStampBuildId();              // stops at NUL, at most 22 bytes
uint32_t GetStampPayloadOffset();
std::string GetStampSetupProgramName();     // stops at NUL, at most 21 characters
uint64_t GetStampRequiredFreeBytes();
uint32_t GetStampSplashImageOffset();
