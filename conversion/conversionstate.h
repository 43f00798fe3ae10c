#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "boundedarray.h"
#include "conversionlimits.h"

namespace quillomat {

// Width and height of a decoded picture, in pixels.
struct PictureSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool operator==(const PictureSize&) const = default;
};

using StatementArray = BoundedArray<std::string, StateArrayUpperBound>;
using PageArray = BoundedArray<std::string, StateArrayUpperBound>;

// The part of the window's state that the conversion reads and writes.
// The window holds it; the engine only works on it.
struct ConversionState {
  // Statement form: SyntaxGprint, SyntaxCursorGprint, SyntaxData or SyntaxDefb.
  std::int64_t Mode = 0;
  // Raw bytes of the last dropped file, one char per byte.
  std::string OutputSharp;
  // Size of the picture decoded from that file; empty when it couldn't be decoded.
  std::optional<PictureSize> DecodedPicture;
  // One statement per pixel band from index 1, then an empty trailing statement.
  StatementArray Zeile;
  // Index of the trailing empty statement after a conversion (statements + 1).
  std::int64_t AnzahlZeilen = 0;
  // The listing: page i in element i, lines ended by a lone carriage return.
  PageArray OutPutString;
  // Index of the last page in use.
  std::int64_t DruckSeiten = 0;
};

}  // namespace quillomat
