#pragma once

#include <array>

#include <QString>

// A file type the program declares, with the fields a desktop registers.
struct FileType {
  const char* Name;
  // Entries separated by ';'. An entry with a leading dot is an extension,
  // one without is a whole file name.
  const char* Extensions;
  const char* MacType;
  const char* MacCreator;
  const char* MimeType;
  bool Imported;
  const char* ConformsTo;
  const char* UTI;

  // A file dialog's name filter, e.g. "application/text (*.1st *.nfo *.readme readme)".
  QString nameFilter() const;
};

// The program's file types: the picture it takes and the text it saves.
inline constexpr std::array<FileType, 2> FileTypes{{
    // Name, Extensions, MacType, MacCreator, MimeType, Imported, ConformsTo, UTI
    {"image/bmp", ".bmp", "", "", "", true, "public.image", "public.bmp"},
    {"application/text", ".1st;.nfo;.readme;readme", "TEXT", "text", "", false, "", "public.text"},
}};

namespace PictureTypes {
inline constexpr const FileType& Bmp = FileTypes[0];
}

namespace FileTypes1 {
inline constexpr const FileType& ApplicationText = FileTypes[1];
}
