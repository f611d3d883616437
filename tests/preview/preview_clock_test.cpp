#include "preview/preview_clock.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_skeleton.h"

namespace zam {
namespace {

// The dialog's ticks in a row over one shared time, which the main window
// left at 0.7 s: what each frame shows and where the tick leaves the time.
TEST(FocusedPreviewClock, RestartsOnAFocusChangeAndLoopsAtTheFocusedLength) {
  AnimPackage package = test::PackageOf({test::Track(0, kKeyKR00, {test::Key(0), test::Key(1.0f)})});
  package.animations.push_back(Animation{});
  struct Tick {
    const char* what;
    uint32_t now;
    int focused;
    float shown, after;
  };
  const std::vector<Tick> ticks = {
      {"the first tick measures nothing; no item focused, nothing moves", 1000, -1, 0.7f, 0.7f},
      {"an item takes the focus: its preview starts at 0", 1100, 0, 0.0f, 0.1f},
      {"the same item plays on", 1600, 0, 0.1f, 0.6f},
      {"and loops at its length", 2100, 0, 0.6f, 0.1f},
      {"another item restarts; a length of 0 rests at 0", 2200, 1, 0.0f, 0.0f},
      {"an item the package lacks leaves the time alone", 2300, 5, 0.0f, 0.0f},
      {"back to the first item: from 0 again", 2400, 0, 0.0f, 0.1f},
  };
  FocusedPreviewClock clock;
  float time = 0.7f;
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.what);
    float elapsed = BeginFocusedPreviewTick(clock, tick.now, tick.focused, time);
    EXPECT_NEAR(time, tick.shown, 1e-5);
    EndFocusedPreviewTick(time, elapsed, package, tick.focused);
    EXPECT_NEAR(time, tick.after, 1e-5);
  }
  clock.lastTick = 0xFFFFFF9Cu;  // 100 ms before the counter wraps
  EXPECT_NEAR(BeginFocusedPreviewTick(clock, 0x40, 0, time), 0.164f, 1e-6);
}

}  // namespace
}  // namespace zam
