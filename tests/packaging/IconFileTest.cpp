// Reads quorrin.ico the way a loader would and checks what it finds.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Little-endian unsigned field of `width` bytes; at() turns a truncated file into a failure.
std::uint32_t field(const Bytes& b, std::size_t at, std::size_t width) {
  std::uint32_t v = 0;
  for (std::size_t i = width; i-- > 0;) v = (v << 8) | b.at(at + i);
  return v;
}

struct Entry {
  std::uint32_t width, height, colours, bits, bytes, offset;
};

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;

std::vector<Entry> directory(const Bytes& ico) {
  std::vector<Entry> entries;
  const std::uint32_t count = field(ico, 4, 2);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kDirectorySize + i * kEntrySize;
    entries.push_back({field(ico, at, 1), field(ico, at + 1, 1), field(ico, at + 2, 1),
                       field(ico, at + 6, 2), field(ico, at + 8, 4), field(ico, at + 12, 4)});
  }
  return entries;
}

std::size_t rowBytes(std::uint32_t width, std::uint32_t bits) { return (width * bits + 31) / 32 * 4; }

class IconFile : public ::testing::Test {
 protected:
  Bytes ico = readFile(QUORRIN_PACKAGING_DIR "/quorrin.ico");
};

// Three true-colour-depth images, one after the other, each a 40-byte header, its palette,
// the pixels and the AND mask, with header and directory agreeing.
TEST_F(IconFile, HoldsOneMonochromeAndTwoSixteenColourImages) {
  ASSERT_GE(ico.size(), kDirectorySize);
  EXPECT_EQ(field(ico, 2, 2), 1u);  // 1 = icon, 2 = cursor
  const auto entries = directory(ico);
  ASSERT_EQ(entries.size(), 3u);
  const std::uint32_t expected[3][3] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
  std::size_t next = kDirectorySize + kEntrySize * entries.size();
  for (std::size_t i = 0; i < 3; ++i) {
    const Entry& e = entries[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(e.width, expected[i][0]);
    EXPECT_EQ(e.height, expected[i][0]);
    EXPECT_EQ(e.colours, expected[i][1]);
    EXPECT_EQ(e.bits, expected[i][2]);
    EXPECT_EQ(e.offset, next) << "images must follow each other without gaps or overlaps";
    next = std::size_t{e.offset} + e.bytes;
    ASSERT_LE(next, ico.size());

    EXPECT_EQ(field(ico, e.offset, 4), kInfoHeaderSize);
    EXPECT_EQ(field(ico, e.offset + 4, 4), e.width);
    EXPECT_EQ(field(ico, e.offset + 8, 4), 2 * e.height) << "colour bitmap and AND mask";
    EXPECT_EQ(field(ico, e.offset + 14, 2), e.bits);  // biBitCount
    const std::size_t pixels = rowBytes(e.width, e.bits) * e.height;
    const std::size_t mask = rowBytes(e.width, 1) * e.height;
    EXPECT_EQ(e.bytes, kInfoHeaderSize + 4 * (std::size_t{1} << e.bits) + pixels + mask);
  }
  EXPECT_EQ(next, ico.size()) << "trailing bytes after the last image";
}

}  // namespace
