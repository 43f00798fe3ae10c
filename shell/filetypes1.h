#pragma once

#include <memory>
#include <vector>

#include "filetype.h"

// The text file type that the saved listing is offered as: "application/text".
class FileTypes1 {
 public:
  // Builds the type, lists it in pAllFileTypes and registers it.
  static void _Initialize();
  // The text type; null before _Initialize.
  static std::shared_ptr<FileType> ApplicationText();
  static const std::vector<std::shared_ptr<FileType>>& pAllFileTypes();

 private:
  static std::shared_ptr<FileType>& pApplicationText();
  static std::vector<std::shared_ptr<FileType>>& allTypes();
};
