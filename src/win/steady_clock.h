// The millisecond clock behind win::NowMs, kept free of <windows.h> so that
// its arithmetic is tested on the host.
#pragma once
#include <cstdint>

namespace win {

class SteadyMs {
  public:
    // Milliseconds for a performance-counter reading at `frequency` counts a
    // second; the 32-bit result wraps, and differences stay right across it.
    // On some multi-core Windows XP machines each core has its own counter, so
    // a reading can be behind the one before: the clock then stands still
    // rather than going back, which would make `NowMs() - start` wrap.
    std::uint32_t FromCounter(std::uint64_t count, std::uint64_t frequency) {
        const std::uint64_t ms =
            count / frequency * 1000ULL + count % frequency * 1000ULL / frequency;
        if (ms > latest_) latest_ = ms;
        return static_cast<std::uint32_t>(latest_);
    }

  private:
    std::uint64_t latest_ = 0;
};

}  // namespace win
