// Arbitrary file bytes, an arbitrary decoded size or none, and any statement
// form, through the whole conversion. The conversion must never read outside
// the file or its arrays, and every listing it shows must keep the cut rules.
// A file that converts must convert alike when stored the other way up.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "conversion.h"

namespace {

class RecordingView final : public quillomat::ConversionView {
 public:
  void showMessage(const std::string& text) override {
    ++messages;
    message = text;
  }
  void clearListing() override { listing.clear(); }
  void showListing(std::span<const std::string> pages) override {
    listing.clear();
    for (const std::string& page : pages) listing += page;
  }
  void setListingEnabled(bool) override {}

  int messages = 0;
  std::string message;
  std::string listing;
};

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void require(bool holds, const char* what) {
  if (!holds) fail(what);
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::uint16_t word() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
  std::string rest() { return {reinterpret_cast<const char*>(data_ + pos_), size_ - (pos_ < size_ ? pos_ : size_)}; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

void put32(std::string& file, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

constexpr std::size_t HeaderSize = 62;

// A 62-byte header in front of the fuzzer's bytes, so that most inputs get
// past the checks into the conversion itself. A top-down file stores a
// negative height.
std::string withHeader(std::uint16_t width, std::uint16_t height, bool topDown, const std::string& pixels) {
  std::string file(HeaderSize, '\0');
  file[0] = 'B';
  file[1] = 'M';
  put32(file, 10, HeaderSize);
  put32(file, 14, 40);
  put32(file, 18, width);
  put32(file, 22, topDown ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)) : height);
  file[26] = 1;  // planes
  file[28] = 1;  // bits per pixel
  return file + pixels;
}

// The header's signed 32-bit field at 'at', 0 when the file is shorter.
std::int64_t header32(const std::string& file, std::size_t at) {
  if (file.size() < at + 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<std::uint8_t>(file[at + i]);
  return static_cast<std::int32_t>(value);
}

// The picture's size as Qt would decode it from the header.
quillomat::PictureSize headerPicture(const std::string& file, std::int64_t widthChange = 0) {
  const std::int64_t height = header32(file, 22);
  return {header32(file, 18) + widthChange, height < 0 ? -height : height};
}

// The same picture stored the other way up: rows in the opposite order and
// the height's sign turned round.
std::string turnedOver(const std::string& file, std::int64_t width, std::int64_t height) {
  const auto stride = static_cast<std::size_t>((width + 31) / 32 * 4);
  const auto rows = static_cast<std::size_t>(height);
  std::string turned = file;
  for (std::size_t r = 0; r < rows; ++r) {
    turned.replace(HeaderSize + r * stride, stride, file, HeaderSize + (rows - 1 - r) * stride, stride);
  }
  put32(turned, 22, static_cast<std::uint32_t>(-header32(file, 22)));
  return turned;
}

void checkListing(const quillomat::ConversionState& state, const RecordingView& view) {
  require(state.AnzahlZeilen >= 2 && state.AnzahlZeilen <= 17, "statement count");
  require(state.DruckSeiten >= 0 && state.DruckSeiten <= 20, "page count");
  const std::string text = quillomat::ListingText(state);
  require(view.listing == text, "text area shows the listing");
  require(text.find('\n') == std::string::npos, "no line feed");
  require(text.empty() || text.back() == '\r', "last line ended");

  const bool stringForm = state.Mode == quillomat::SyntaxGprint || state.Mode == quillomat::SyntaxCursorGprint;
  const std::size_t longest = state.Mode == quillomat::SyntaxCursorGprint ? 79 : stringForm ? 78 : 76;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\r', start)) != std::string::npos; start = end + 1) {
    require(end - start <= longest, "line longer than the cut allows");
  }
  for (std::int64_t i = state.DruckSeiten + 1; i <= 20; ++i) require(state.OutPutString(i).empty(), "unused page empty");

  quillomat::ConversionState again = state;
  quillomat::DoFormatGprint(again);
  require(again.OutPutString == state.OutPutString && again.DruckSeiten == state.DruckSeiten, "layout repeatable");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  const std::uint8_t control = input.byte();
  quillomat::ConversionState state;
  state.Mode = static_cast<std::int64_t>(input.byte() % 6) - 1;  // the four forms and two outside them

  const bool built = (control & 4) != 0;
  if (built) {
    const std::uint16_t width = input.word() % 700;
    const std::uint16_t height = input.word() % 140;
    state.OutputSharp = withHeader(width, height, (control & 8) != 0, input.rest());
  } else {
    state.OutputSharp = input.rest();
  }

  switch (control & 3) {
    case 0:
      break;  // the picture could not be decoded
    case 1:
      state.DecodedPicture = headerPicture(state.OutputSharp);
      break;
    case 2:
      state.DecodedPicture = quillomat::PictureSize{static_cast<std::int16_t>(input.word()), input.word()};
      break;
    default:
      state.DecodedPicture = headerPicture(state.OutputSharp, (control >> 4) - 8);
      break;
  }

  RecordingView view;
  quillomat::DoShowGprint(state, view);
  if (view.messages > 0) {
    require(view.messages == 1, "one message");
    require(view.message == quillomat::BitCountMessage || view.message == quillomat::TooLargeMessage ||
                view.message == quillomat::DamagedMessage,
            "known message");
    require(view.listing.empty(), "failed check empties the text area");
    for (std::int64_t k = 1; k <= 20; ++k) require(state.Zeile(k).empty(), "failed check empties the statements");
    return 0;
  }
  checkListing(state, view);

  if (built) {
    quillomat::ConversionState twin = state;
    twin.OutputSharp = turnedOver(state.OutputSharp, state.DecodedPicture->width, state.DecodedPicture->height);
    RecordingView twinView;
    quillomat::DoShowGprint(twin, twinView);
    require(twinView.messages == 0 && twin.Zeile == state.Zeile, "other way up converts alike");
  }
  return 0;
}
