#include "statementforms.h"

#include <array>
#include <cstring>
#include <string_view>

// Every x64 processor has SSE2, though MSVC defines no __SSE2__ there.
#if defined(__SSE2__) || defined(_M_X64)
#define QUILLOMAT_SSE2 1
#include <emmintrin.h>
#endif

#include "conversionlimits.h"

namespace quillomat {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";
constexpr char Quote = '"';

// Grows text by `length` characters and returns where they begin; the
// statements are long (up to 2,500 characters), so they are written in
// place rather than appended character by character.
char* grow(std::string& text, std::size_t length) {
  const std::size_t start = text.size();
  text.resize(start + length);
  return text.data() + start;
}

char* putText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// ",&" and the byte's two hex digits, for each byte value.
struct DataItemTable {
  std::array<std::array<char, 4>, 256> items{};
  constexpr DataItemTable() {
    for (std::size_t value = 0; value < items.size(); ++value) {
      items[value] = {',', '&', HexDigits[value >> 4], HexDigits[value & 0x0F]};
    }
  }
};
constexpr DataItemTable DataItems;

char* putHexPair(char* out, std::uint8_t value) {
  std::memcpy(out, &DataItems.items[value][2], 2);
  return out + 2;
}

#if defined(QUILLOMAT_SSE2)
// The hex pairs of sixteen bytes at once: pairs 0 to 7 in low, 8 to 15 in
// high. A statement has up to 624 of them, one at a time is the slow part.
struct SixteenHexPairs {
  __m128i low;
  __m128i high;
};

SixteenHexPairs hexPairsOf16(const std::uint8_t* bytes) {
  const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const auto digits = [](__m128i nibbles) {
    const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)), _mm_set1_epi8('A' - '9' - 1));
    return _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letter);
  };
  const __m128i first = digits(_mm_and_si128(_mm_srli_epi16(values, 4), nibble));
  const __m128i second = digits(_mm_and_si128(values, nibble));
  return {_mm_unpacklo_epi8(first, second), _mm_unpackhi_epi8(first, second)};
}

void store16(char* out, __m128i chars) { _mm_storeu_si128(reinterpret_cast<__m128i*>(out), chars); }
#endif

void appendGprintString(std::string& text, std::span<const std::uint8_t> columnBytes) {
  char* out = grow(text, 2 * columnBytes.size() + 2);
  *out++ = Quote;
  std::size_t i = 0;
#if defined(QUILLOMAT_SSE2)
  for (; i + 16 <= columnBytes.size(); i += 16, out += 32) {
    const SixteenHexPairs pairs = hexPairsOf16(columnBytes.data() + i);
    store16(out, pairs.low);
    store16(out + 16, pairs.high);
  }
#endif
  for (; i < columnBytes.size(); ++i) out = putHexPair(out, columnBytes[i]);
  *out = Quote;
}

void appendDataList(std::string& text, std::string_view keyword, std::span<const std::uint8_t> columnBytes) {
  // Items are "&" and a hex pair, joined by single commas.
  const std::size_t items = columnBytes.size();
  char* out = grow(text, keyword.size() + 1 + (items == 0 ? 0 : 4 * items - 1));
  // Every item is written with the comma before it; the first item's comma
  // lands where the blank after the keyword belongs and is put right after.
  char* const firstComma = putText(out, keyword);
  out = firstComma;
  std::size_t i = 0;
#if defined(QUILLOMAT_SSE2)
  // ",&" in front of each of the sixteen pairs.
  const __m128i commaAmpersand = _mm_set1_epi16(static_cast<short>(',' | '&' << 8));
  for (; i + 16 <= items; i += 16, out += 64) {
    const SixteenHexPairs pairs = hexPairsOf16(columnBytes.data() + i);
    store16(out, _mm_unpacklo_epi16(commaAmpersand, pairs.low));
    store16(out + 16, _mm_unpackhi_epi16(commaAmpersand, pairs.low));
    store16(out + 32, _mm_unpacklo_epi16(commaAmpersand, pairs.high));
    store16(out + 48, _mm_unpackhi_epi16(commaAmpersand, pairs.high));
  }
#endif
  for (; i < items; ++i, out += 4) std::memcpy(out, DataItems.items[columnBytes[i]].data(), 4);
  *firstComma = ' ';
}

}  // namespace

void BuildStatement(std::string& statement, std::int64_t mode, std::int64_t statementNumber,
                    bool multiBand, std::span<const std::uint8_t> columnBytes) {
  if (mode == SyntaxGprint) {
    statement += "GPRINT ";
    appendGprintString(statement, columnBytes);
  }
  if (mode == SyntaxCursorGprint) {
    statement += std::to_string(statementNumber);
    if (multiBand) {
      statement += " GCURSOR 0,";
      statement += std::to_string(8 * (statementNumber - 1));
      statement += ": GPRINT ";
    } else {
      statement += " GCURSOR: GPRINT ";
    }
    appendGprintString(statement, columnBytes);
  }
  if (mode == SyntaxData) appendDataList(statement, "DATA", columnBytes);
  if (mode == SyntaxDefb) appendDataList(statement, "DEFB", columnBytes);
}

}  // namespace quillomat
