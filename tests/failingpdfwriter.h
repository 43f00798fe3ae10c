#pragma once

#include <QPdfWriter>

// A PDF writer that cannot start a further sheet, as a printer that has run
// out of paper.
class FailingPdfWriter final : public QPdfWriter {
 public:
  explicit FailingPdfWriter(const QString& fileName);
  bool newPage() override;
};
