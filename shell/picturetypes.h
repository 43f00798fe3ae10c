#pragma once

#include <memory>
#include <vector>

#include "filetype.h"

// The picture file types the window accepts by name: "image/bmp".
class PictureTypes {
 public:
  // Builds the type, lists it in pAllFileTypes and registers it.
  static void _Initialize();
  // The BMP type; null before _Initialize.
  static std::shared_ptr<FileType> Bmp();
  static const std::vector<std::shared_ptr<FileType>>& pAllFileTypes();

 private:
  static std::shared_ptr<FileType>& pBmp();
  static std::vector<std::shared_ptr<FileType>>& allTypes();
};
