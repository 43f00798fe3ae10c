#pragma once

// The four statement forms of one band.

#include <cstdint>
#include <span>
#include <string>

namespace quillomat {

// Appends the band's statement in the form `mode` selects to `statement`
// (which the run has emptied): "GPRINT" with two upper-case hex digits per
// column, the cursor form numbered statementNumber ("GCURSOR 0,<row>" when
// the picture has several bands), or a "DATA"/"DEFB" list of &-items. A mode
// outside 0 to 3 writes nothing. No line end is written.
void BuildStatement(std::string& statement, std::int64_t mode, std::int64_t statementNumber,
                    bool multiBand, std::span<const std::uint8_t> columnBytes);

}  // namespace quillomat
