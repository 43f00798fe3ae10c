#include "statementforms.h"

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

char* putHexPair(char* out, std::uint8_t value) {
  out[0] = HexDigits[value >> 4];
  out[1] = HexDigits[value & 0x0F];
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
  out = putText(out, keyword);
  *out++ = ' ';
  for (std::size_t i = 0; i < items; ++i) {
    if (i != 0) *out++ = ',';
    *out++ = '&';
    out = putHexPair(out, columnBytes[i]);
  }
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
