#pragma once

#include <cstdint>
#include <string_view>

namespace quillomat {

// Statement forms; the value is the row of the statement-form pop-up.
inline constexpr std::int64_t SyntaxGprint = 0;
inline constexpr std::int64_t SyntaxCursorGprint = 1;
inline constexpr std::int64_t SyntaxData = 2;
inline constexpr std::int64_t SyntaxDefb = 3;

// Largest decoded picture that may be converted, in pixels.
inline constexpr std::int64_t MaxPictureWidth = 624;
inline constexpr std::int64_t MaxPictureHeight = 128;

// A listing line longer than this is cut.
inline constexpr std::int64_t MaxLineLength = 76;
// Value of the page's line counter at which a new page begins.
inline constexpr std::int64_t LinesPerPage = 54;

// Upper bound of Zeile and OutPutString (21 elements, 0 to 20).
inline constexpr std::int64_t StateArrayUpperBound = 20;

// The line end inside message texts. Qt breaks message lines at "\n" on
// every platform, so that is the program's line end for messages.
inline constexpr std::string_view EndOfLine = "\n";

// What a file that can't be converted is told: its colour depth is not
// 1 bit, its picture is too large, or it is a 1-bit file with part of it
// missing or wrong.
inline constexpr std::string_view BitCountMessage =
    "Incorrect image format !\nUse color depth 1 Bit Monochrome";
inline constexpr std::string_view TooLargeMessage = "Image too large !";
inline constexpr std::string_view DamagedMessage = "Damaged image file !\nPart of the file is missing or wrong";
static_assert(BitCountMessage.substr(24, EndOfLine.size()) == EndOfLine,
              "the bit-count message's two lines are joined by EndOfLine");
static_assert(DamagedMessage.substr(20, EndOfLine.size()) == EndOfLine,
              "the damaged-file message's two lines are joined by EndOfLine");

// Every listing line ends with a carriage return alone.
inline constexpr char ListingLineEnd = '\r';

}  // namespace quillomat
