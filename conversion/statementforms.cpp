#include "statementforms.h"

#include <array>
#include <cstring>
#include <string_view>

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

void appendGprintString(std::string& text, std::span<const std::uint8_t> columnBytes) {
  char* out = grow(text, 2 * columnBytes.size() + 2);
  *out++ = Quote;
  for (const std::uint8_t value : columnBytes) out = putHexPair(out, value);
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
  for (; i + 4 <= items; i += 4, out += 16) {
    std::array<char, 16> four;
    std::memcpy(four.data(), DataItems.items[columnBytes[i]].data(), 4);
    std::memcpy(four.data() + 4, DataItems.items[columnBytes[i + 1]].data(), 4);
    std::memcpy(four.data() + 8, DataItems.items[columnBytes[i + 2]].data(), 4);
    std::memcpy(four.data() + 12, DataItems.items[columnBytes[i + 3]].data(), 4);
    std::memcpy(out, four.data(), four.size());
  }
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
