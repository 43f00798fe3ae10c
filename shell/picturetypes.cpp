#include "picturetypes.h"

void PictureTypes::_Initialize() {
  pBmp() = std::make_shared<FileType>();
  FileType& type = *pBmp();
  type.Name = QStringLiteral("image/bmp");
  type.Extensions = QStringLiteral(".bmp");
  type.MacType = QString();
  type.MacCreator = QString();
  type.MimeType = QString();
  type.Imported = true;
  type.ConformsTo = QStringLiteral("public.image");
  type.UTI = QStringLiteral("public.bmp");
  allTypes().push_back(pBmp());
  // The text form is asked for its side effect: it registers the type.
  Bmp()->text();
}

std::shared_ptr<FileType> PictureTypes::Bmp() { return pBmp(); }

const std::vector<std::shared_ptr<FileType>>& PictureTypes::pAllFileTypes() { return allTypes(); }

std::shared_ptr<FileType>& PictureTypes::pBmp() {
  static std::shared_ptr<FileType> slot;
  return slot;
}

std::vector<std::shared_ptr<FileType>>& PictureTypes::allTypes() {
  static std::vector<std::shared_ptr<FileType>> types;
  return types;
}
