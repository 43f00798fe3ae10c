#pragma once

// Cutting the picture into bands of 8 rows and each pixel column of a band
// into one column byte (bit 0 the band's top row).

#include <cstdint>

#include "bitmapreader.h"

namespace quillomat {

// Writes the 8 x BytesPerRow column bytes of the given band to columnBytes,
// from index 8 x BytesPerRow x band: pixel columns left to right, the spare
// columns of each row's last byte included. Rows past the picture read as
// blank because topDownRows is zero there.
void GatherBand(const WorkArray& topDownRows, const FileGeometry& geometry, std::int64_t band,
                WorkArray& columnBytes);

}  // namespace quillomat
