// Full conversion and layout of the largest picture, in each statement form.

#include <benchmark/benchmark.h>

#include <random>

#include "bitmapreader.h"
#include "bmpfixture.h"
#include "conversion.h"
#include "pixelbands.h"

namespace {

class NullView final : public quillomat::ConversionView {
 public:
  void showMessage(const std::string&) override {}
  void clearListing() override {}
  void showListing(std::span<const std::string> pages) override { benchmark::DoNotOptimize(pages.data()); }
  void setListingEnabled(bool) override {}
};

quillomat::ConversionState randomLargestPicture(std::int64_t mode) {
  std::mt19937 random(1234);
  std::bernoulli_distribution set(0.5);
  quillomat::ConversionState state;
  state.Mode = mode;
  state.OutputSharp = makeMonochromeBmp(pixelGrid(624, 128, [&](auto, auto) { return set(random); }));
  state.DecodedPicture = quillomat::PictureSize{624, 128};
  return state;
}

void BM_DoShowGprint(benchmark::State& bench) {
  auto state = randomLargestPicture(bench.range(0));
  NullView view;
  for (auto _ : bench) {
    quillomat::DoShowGprint(state, view);
    benchmark::ClobberMemory();
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) *
                          static_cast<std::int64_t>(quillomat::ListingText(state).size()));
}
BENCHMARK(BM_DoShowGprint)->ArgName("Mode")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_DoFormatGprint(benchmark::State& bench) {
  auto state = randomLargestPicture(bench.range(0));
  NullView view;
  quillomat::DoShowGprint(state, view);
  for (auto _ : bench) {
    quillomat::DoFormatGprint(state);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DoFormatGprint)->ArgName("Mode")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_GatherBands(benchmark::State& bench) {
  const auto state = randomLargestPicture(0);
  const auto geometry = quillomat::ReadGeometry(state.OutputSharp);
  quillomat::WorkArray packed{}, topDown{}, columns{};
  quillomat::ReadRows(state.OutputSharp, geometry, packed, topDown);
  for (auto _ : bench) {
    for (std::int64_t band = 0; band < geometry.BandCount; ++band) quillomat::GatherBand(topDown, geometry, band, columns);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GatherBands)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
