#pragma once

// A seeded run of random operations that a failure can repeat: the seed comes from
// TELVO_RANDOM_SEED and the number of steps from TELVO_RANDOM_STEPS, else the caller's defaults,
// so that the suite runs the same steps every time; every failure names both, and the steps
// taken last.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <random>
#include <sstream>
#include <string>

namespace testsupport {

class RandomRun {
 public:
  RandomRun(uint64_t defaultSeed, int defaultSteps)
      : seed_(FromEnvironment("TELVO_RANDOM_SEED", defaultSeed)),
        steps_(static_cast<int>(FromEnvironment("TELVO_RANDOM_STEPS", defaultSteps))),
        engine_(seed_) {}

  uint64_t Seed() const { return seed_; }
  int Steps() const { return steps_; }

  // A number in [0, bound), bound > 0.
  int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(engine_); }
  bool Chance(double probability) { return std::bernoulli_distribution(probability)(engine_); }

  // Notes what step `step` does; the last few go into every failure's message.
  void Log(int step, const std::string& what) {
    recent_.push_back(std::to_string(step) + ": " + what);
    if (recent_.size() > kRecentSteps) recent_.pop_front();
  }
  // How to repeat the run, for a failure's message.
  std::string Repeat() const {
    std::ostringstream text;
    text << "repeat with TELVO_RANDOM_SEED=" << seed_ << " TELVO_RANDOM_STEPS=" << steps_
         << "; the last steps:";
    for (const std::string& line : recent_) text << "\n  " << line;
    return text.str();
  }

 private:
  static constexpr std::size_t kRecentSteps = 12;

  static uint64_t FromEnvironment(const char* name, uint64_t otherwise) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return otherwise;
    return std::strtoull(text, nullptr, 10);
  }

  uint64_t seed_;
  int steps_;
  std::mt19937_64 engine_;
  std::deque<std::string> recent_;
};

}  // namespace testsupport
