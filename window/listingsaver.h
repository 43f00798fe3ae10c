#pragma once

#include <QString>

#include "conversionstate.h"

class QWidget;
class UserDialogs;

// Save As. Does nothing while no listing is shown. Otherwise asks for a file
// (documents folder, "Image.txt", the given file-type filter), rebuilds the
// pages with DoFormatGprint whether or not a file was chosen, and writes
// pages 0 to DruckSeiten to the chosen file with writeListing.
void saveListing(QWidget* parent, UserDialogs& dialogs, quillomat::ConversionState& state,
                 bool listingShown, const QString& filter);

// Writes pages 0 to DruckSeiten of state to path as they are: bytes, every
// line ended by its lone carriage return, nothing added. The file is replaced
// only once every byte is on disk. When that fails, shows a message naming the
// file and the reason, leaves an existing file untouched and returns false.
bool writeListing(QWidget* parent, UserDialogs& dialogs, const quillomat::ConversionState& state,
                  const QString& path);
