#pragma once
// Reference files of stored and exchanged formats. Every build (the 32-bit
// and 64-bit Windows ones and the native one) writes the same content and
// must produce exactly the committed bytes, and reads the committed file
// back: a file written by one build is then known to be read by the others.
//
// KX_WRITE_FIXTURES=1 in the environment (re)writes the reference files
// instead of comparing; commit them only after reading what changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kxfixture {

inline bool Writing() {
  const char* value = std::getenv("KX_WRITE_FIXTURES");
  return value && std::strcmp(value, "1") == 0;
}

// The whole file; empty when it cannot be read.
inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::vector<uint8_t> out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  uint8_t buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
  std::fclose(f);
  return out;
}

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

// Where two byte strings first differ; their common length when one is the
// other's beginning.
inline std::size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

// Expects the written bytes to be the reference file's, or writes the file.
inline void ExpectSameBytes(const std::string& path, const std::vector<uint8_t>& written) {
  if (Writing()) {
    ASSERT_TRUE(WriteBytes(path, written)) << "cannot write " << path;
    return;
  }
  const std::vector<uint8_t> reference = ReadBytes(path);
  ASSERT_FALSE(reference.empty()) << "no reference file " << path
                                  << " (KX_WRITE_FIXTURES=1 writes it)";
  EXPECT_EQ(reference.size(), written.size()) << path;
  EXPECT_EQ(reference.size(), FirstDifference(reference, written))
      << "first different byte in " << path;
}

// The reference file for reading back; fails the test when it is missing.
inline std::vector<uint8_t> Reference(const std::string& path) {
  std::vector<uint8_t> bytes = ReadBytes(path);
  EXPECT_FALSE(bytes.empty()) << "no reference file " << path;
  return bytes;
}

}  // namespace kxfixture
