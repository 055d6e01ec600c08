// The dump's float text against std::to_chars on every one of the 2^32 bit
// patterns of a float, on every core; prints how many differ (with the first
// few) and how long it took. Minutes, so not a test: the tests check millions.
//
//   build/bin/float_text_all [THREADS]
#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "script/float_text.h"

int main(int argc, char** argv) {
  const unsigned threads = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1]))
                                    : std::max(1U, std::thread::hardware_concurrency());
  const auto start = std::chrono::steady_clock::now();
  std::mutex report;
  std::uint64_t differing = 0;
  std::vector<std::thread> workers;
  constexpr std::uint64_t kAll = 1ULL << 32;
  for (unsigned w = 0; w < threads; ++w) {
    workers.emplace_back([&, w] {
      std::uint64_t mine = 0;
      for (std::uint64_t bits = w; bits < kAll; bits += threads) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        char ours[64];
        char theirs[64];
        const char* oursEnd = torvin::script::floatToChars(ours, ours + sizeof ours, value).ptr;
        const char* theirsEnd = std::to_chars(theirs, theirs + sizeof theirs, value).ptr;
        if (oursEnd - ours != theirsEnd - theirs ||
            std::memcmp(ours, theirs, static_cast<std::size_t>(oursEnd - ours)) != 0) {
          const std::lock_guard<std::mutex> lock(report);
          if (differing + ++mine <= 10) {
            std::printf("bits %08llx: %.*s instead of %.*s\n",
                        static_cast<unsigned long long>(bits), static_cast<int>(oursEnd - ours),
                        ours, static_cast<int>(theirsEnd - theirs), theirs);
          }
        }
      }
      const std::lock_guard<std::mutex> lock(report);
      differing += mine;
    });
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%llu of %llu floats differ from std::to_chars (%u threads, %.1f s)\n",
              static_cast<unsigned long long>(differing), static_cast<unsigned long long>(kAll),
              threads, took.count());
  return differing == 0 ? 0 : 1;
}
