#include "failingpdfwriter.h"

FailingPdfWriter::FailingPdfWriter(const QString& fileName) : QPdfWriter(fileName) {}

bool FailingPdfWriter::newPage() { return false; }
