// Arbitrary file bytes, an arbitrary decoded size or none, and any statement
// form, through the whole conversion. The conversion must never read outside
// the file or its arrays, and every listing it shows must keep the cut rules.
// A file that converts must convert alike when stored the other way up, in
// other header layouts, in the plain layout that the preview hands to Qt,
// and with its rows moved up to the palette, as a large file's are held.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "conversion.h"
#include "headerlayout.h"

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

void putLittleEndian(std::string& file, std::size_t at, std::size_t size, std::uint32_t value) {
  for (std::size_t i = 0; i < size; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The information-header sizes of a 1-bit file built here: the OS/2 core
// header with 16-bit sizes and 3-byte palette entries; OS/2 2.x headers of 16
// to 64 bytes, holding only the fields that fit; the Windows headers of 40,
// 52, 56, 108 and 124 bytes. All but the core one have 32-bit sizes and
// 4-byte palette entries, and each is followed by a two-entry palette.
struct Layout {
  std::uint32_t infoHeaderSize;
  bool core() const { return infoHeaderSize == 12; }
  std::size_t sizeFieldBytes() const { return core() ? 2 : 4; }
  std::size_t heightAt() const { return core() ? 20 : 22; }
  std::size_t bitCountAt() const { return core() ? 24 : 28; }
  std::size_t pixelStart() const { return 14 + infoHeaderSize + 2 * (core() ? 3 : 4); }
};

constexpr std::array<Layout, 11> Layouts{{{12}, {16}, {19}, {20}, {36}, {40}, {52}, {56}, {64}, {108}, {124}}};
constexpr Layout Plain{40};

const Layout& layoutOf(std::uint8_t choice) { return Layouts[choice % Layouts.size()]; }

// Headers in front of the fuzzer's bytes, so that most inputs get past the
// checks into the conversion itself. A top-down file stores a negative
// height; a core header has none.
std::string withHeader(const Layout& layout, std::uint16_t width, std::uint16_t height, bool topDown,
                       const std::string& pixels) {
  std::string file(layout.pixelStart(), '\0');
  file[0] = 'B';
  file[1] = 'M';
  putLittleEndian(file, 10, 4, static_cast<std::uint32_t>(layout.pixelStart()));
  putLittleEndian(file, 14, 4, layout.infoHeaderSize);
  putLittleEndian(file, 18, layout.sizeFieldBytes(), width);
  const std::int32_t storedHeight = topDown && !layout.core() ? -std::int32_t{height} : std::int32_t{height};
  putLittleEndian(file, layout.heightAt(), layout.sizeFieldBytes(), static_cast<std::uint32_t>(storedHeight));
  file[layout.bitCountAt() - 2] = 1;  // planes
  file[layout.bitCountAt()] = 1;      // bits per pixel
  return file + pixels;
}

// The header's field at 'at', 0 when the file is shorter; a core header's
// 16-bit sizes are unsigned, the others' 32-bit ones signed.
std::int64_t headerField(const std::string& file, std::size_t at, std::size_t size) {
  if (file.size() < at + size) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | static_cast<std::uint8_t>(file[at + i]);
  return size == 2 ? std::int64_t{value} : std::int64_t{static_cast<std::int32_t>(value)};
}

// The picture's size as Qt would decode it from the header.
quillomat::PictureSize headerPicture(const std::string& file, const Layout& layout, std::int64_t widthChange = 0) {
  const std::int64_t height = headerField(file, layout.heightAt(), layout.sizeFieldBytes());
  return {headerField(file, 18, layout.sizeFieldBytes()) + widthChange, height < 0 ? -height : height};
}

// The stored rows (and whatever follows them) of a file built here.
std::string pixelsOf(const std::string& file, const Layout& layout) { return file.substr(layout.pixelStart()); }

// The same pixel bytes with the rows in the opposite order, as stored the
// other way up.
std::string turnedOver(const std::string& pixels, std::int64_t width, std::int64_t height) {
  const auto stride = static_cast<std::size_t>((width + 31) / 32 * 4);
  const auto rows = static_cast<std::size_t>(height);
  std::string turned = pixels;
  for (std::size_t r = 0; r < rows; ++r) turned.replace(r * stride, stride, pixels, (rows - 1 - r) * stride, stride);
  return turned;
}

// Converts a twin of a file that converted and requires the same statements.
void requireTwinConvertsAlike(const quillomat::ConversionState& state, std::string twinFile, const char* what) {
  quillomat::ConversionState twin = state;
  twin.OutputSharp = std::move(twinFile);
  RecordingView twinView;
  quillomat::DoShowGprint(twin, twinView);
  require(twinView.messages == 0 && twin.Zeile == state.Zeile, what);
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

// Any file that converts converts alike as the preview hands it to Qt and as
// a large file's bytes are held.
void requireOtherHoldingsConvertAlike(const quillomat::ConversionState& state) {
  const std::optional<quillomat::HeaderLayout> layout = quillomat::ReadHeaderLayout(state.OutputSharp);
  require(layout.has_value(), "a file that converts has a layout");
  const std::optional<std::string> plain = quillomat::InPlainLayout(state.OutputSharp, *layout);
  require(plain.has_value(), "a file that converts has a plain copy");
  requireTwinConvertsAlike(state, *plain, "plain layout converts alike");
  const std::string rows = state.OutputSharp.substr(static_cast<std::size_t>(layout->PixelDataStart),
                                                    static_cast<std::size_t>(*layout->StoredRowsSize));
  requireTwinConvertsAlike(state, quillomat::WithRowsAfterPalette(state.OutputSharp, *layout, rows),
                           "rows moved up to the palette convert alike");
}

// Whatever the bytes, reading their layout and making a plain copy stay
// inside them.
void readLayoutOf(const std::string& file) {
  const std::optional<quillomat::HeaderLayout> layout = quillomat::ReadHeaderLayout(file);
  if (!layout) return;
  if (const std::optional<std::string> plain = quillomat::InPlainLayout(file, *layout)) {
    const std::optional<quillomat::HeaderLayout> plainLayout = quillomat::ReadHeaderLayout(*plain);
    require(plainLayout && plainLayout->InfoHeaderSize == 40 && plainLayout->Width == layout->Width &&
                plainLayout->Height == layout->Height && plainLayout->TopDown == layout->TopDown &&
                plainLayout->StoredRowsEnd() == static_cast<std::int64_t>(plain->size()),
            "plain copy holds the same picture");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  const std::uint8_t control = input.byte();
  quillomat::ConversionState state;
  state.Mode = static_cast<std::int64_t>(input.byte() % 6) - 1;  // the four forms and two outside them

  const bool built = (control & 4) != 0;
  const bool topDown = (control & 8) != 0;
  const std::uint8_t layoutChoice = input.byte();
  const Layout& layout = layoutOf(layoutChoice);
  if (built) {
    const std::uint16_t width = input.word() % 700;
    const std::uint16_t height = input.word() % 140;
    state.OutputSharp = withHeader(layout, width, height, topDown, input.rest());
  } else {
    state.OutputSharp = input.rest();
  }
  readLayoutOf(state.OutputSharp);

  switch (control & 3) {
    case 0:
      break;  // the picture could not be decoded
    case 1:
      state.DecodedPicture = headerPicture(state.OutputSharp, layout);
      break;
    case 2:
      state.DecodedPicture = quillomat::PictureSize{static_cast<std::int16_t>(input.word()), input.word()};
      break;
    default:
      state.DecodedPicture = headerPicture(state.OutputSharp, layout, (control >> 4) - 8);
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
    if (!quillomat::IsBmp(state.OutputSharp)) require(view.message == quillomat::BitCountMessage, "not a BMP");
    return 0;
  }
  checkListing(state, view);
  require(quillomat::IsBmp(state.OutputSharp), "only a BMP converts");
  requireOtherHoldingsConvertAlike(state);

  if (built) {
    const auto width = static_cast<std::uint16_t>(state.DecodedPicture->width);
    const auto height = static_cast<std::uint16_t>(state.DecodedPicture->height);
    const std::string pixels = pixelsOf(state.OutputSharp, layout);
    const std::string turned = turnedOver(pixels, width, height);
    const bool storedTopDown = topDown && !layout.core();
    if (!layout.core()) {
      requireTwinConvertsAlike(state, withHeader(layout, width, height, !topDown, turned),
                               "other way up converts alike");
    }
    const Layout& other = layoutOf(static_cast<std::uint8_t>(layoutChoice / Layouts.size() + 1));
    for (const Layout* twin : {&Plain, &other}) {
      // A core header stores no top-down rows.
      const bool turn = storedTopDown && twin->core();
      requireTwinConvertsAlike(state, withHeader(*twin, width, height, storedTopDown && !turn, turn ? turned : pixels),
                               "other header layout converts alike");
    }
  }
  return 0;
}
