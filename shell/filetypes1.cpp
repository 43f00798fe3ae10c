#include "filetypes1.h"

void FileTypes1::_Initialize() {
  pApplicationText() = std::make_shared<FileType>();
  FileType& type = *pApplicationText();
  type.Name = QStringLiteral("application/text");
  type.Extensions = QStringLiteral(".1st;.nfo;.readme;readme");
  type.MacType = QStringLiteral("TEXT");
  type.MacCreator = QStringLiteral("text");
  type.MimeType = QString();
  type.Imported = false;
  type.ConformsTo = QString();
  type.UTI = QStringLiteral("public.text");
  allTypes().push_back(pApplicationText());
  // The text form is asked for its side effect: it registers the type.
  ApplicationText()->text();
}

std::shared_ptr<FileType> FileTypes1::ApplicationText() { return pApplicationText(); }

const std::vector<std::shared_ptr<FileType>>& FileTypes1::pAllFileTypes() { return allTypes(); }

std::shared_ptr<FileType>& FileTypes1::pApplicationText() {
  static std::shared_ptr<FileType> slot;
  return slot;
}

std::vector<std::shared_ptr<FileType>>& FileTypes1::allTypes() {
  static std::vector<std::shared_ptr<FileType>> types;
  return types;
}
