// Change detection on large texts: the exact comparison of equal texts, the tolerant walk over
// scattered small edits, and adversarial inputs for the walk at widths 20 and 1000.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "checking/change_detection.h"
#include "checking/tolerant_walk.h"
#include "platform/files.h"
#include "platform/seams.h"
#include "plugin/plugin_state.h"

namespace {

using namespace pirowend;

constexpr std::size_t kMegabyte = 1 << 20;

std::string random_text(std::size_t length, const std::string& alphabet, unsigned seed) {
  std::mt19937 random(seed);
  std::string text(length, ' ');
  for (char& c : text) c = alphabet[random() % alphabet.size()];
  return text;
}

std::string buffer_for(const std::string& stored, std::size_t text_length) {
  std::string buffer = stored.substr(0, text_length + 1);
  buffer.resize(text_length + 1, '\0');
  return buffer;
}

const std::string kLetters = "abcdefghijklmnopqrstuvwxyz      .,ABCDEFGHIJ0123456789";

// The whole comparison of an unchanged 1 MB page: the snapshot's read and the exact compare.
void BM_CompareWithSnapshot_Equal(benchmark::State& state) {
  auto dir = std::filesystem::temp_directory_path() / "pirowend-bench";
  std::filesystem::create_directories(dir);
  platform::seams().host_directory = dir.string() + "/";
  const std::string text = random_text(kMegabyte, kLetters, 1);
  compare_with_snapshot("http://bench.test/", text.c_str());
  for (auto _ : state) {
    benchmark::DoNotOptimize(compare_with_snapshot("http://bench.test/", text.c_str()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CompareWithSnapshot_Equal)->Unit(benchmark::kMicrosecond);

// The exact comparison alone, as the comparison does it.
void BM_ExactCompare_Equal(benchmark::State& state) {
  const std::string text = random_text(kMegabyte, kLetters, 1);
  const std::string stored = buffer_for(text, text.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::memcmp(text.data(), stored.data(), text.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ExactCompare_Equal)->Unit(benchmark::kMicrosecond);

// 1000 small edits (replacements, insertions and deletions of 1 to 5 bytes) spread over 1 MB.
void BM_TolerantWalk_ScatteredEdits(benchmark::State& state) {
  const std::string stored = random_text(kMegabyte, kLetters, 2);
  std::string text = stored;
  std::mt19937 random(3);
  for (int edit = 0; edit < 1000; ++edit) {
    std::size_t at = 512 + static_cast<std::size_t>(edit) * (text.size() - 1024) / 1000;
    std::size_t span = 1 + random() % 5;
    switch (edit % 3) {
      case 0:
        text.replace(at, span, std::string(span, '#'));
        break;
      case 1:
        text.insert(at, std::string(span, '#'));
        break;
      default:
        text.erase(at, span);
    }
  }
  const std::string buffer = buffer_for(stored, text.size());
  if (!tolerant_walk_bridges(text, buffer, 20)) state.SkipWithError("edits were not bridged");
  for (auto _ : state) benchmark::DoNotOptimize(tolerant_walk_bridges(text, buffer, 20));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_TolerantWalk_ScatteredEdits)->Unit(benchmark::kMicrosecond);

// Adversarial input: a four-letter text with an insertion of w bytes every 3w bytes. Every
// difference fails the first 2w window tests and lines up only at the last one, k = w, so each
// costs the most tests the walk can make and still go on. Arguments: length, w.
void BM_TolerantWalk_Adversarial(benchmark::State& state) {
  const std::size_t w = static_cast<std::size_t>(state.range(1));
  // Whole chunks only: a short last chunk would end the walk with a change.
  const std::size_t length = static_cast<std::size_t>(state.range(0)) / (3 * w) * (3 * w);
  const std::string stored = random_text(length, "abcd", 4);
  std::string text;
  for (std::size_t at = 0; at < stored.size(); at += 3 * w) {
    text += stored.substr(at, 3 * w);
    text += std::string(w, 'x');
  }
  const std::string buffer = buffer_for(stored, text.size());
  bool bridged = tolerant_walk_bridges(text, buffer, static_cast<std::int64_t>(w));
  state.counters["bridged"] = bridged;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tolerant_walk_bridges(text, buffer, static_cast<std::int64_t>(w)));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_TolerantWalk_Adversarial)
    ->ArgsProduct({{kMegabyte / 4, kMegabyte / 2, kMegabyte}, {20, 1000}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
