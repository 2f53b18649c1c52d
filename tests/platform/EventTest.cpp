// Events: manual and auto reset, waits on one, any or all, with and without time-outs.
#include <gtest/gtest.h>

#include <thread>

#include "platform/Event.h"

namespace quarto {
namespace {

TEST(Event, ManualResetStaysSetForEveryWaiter) {
    Event e(Event::Reset::Manual);
    EXPECT_FALSE(e.Wait(0));
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_TRUE(e.Wait(0));
    e.Clear();
    EXPECT_FALSE(e.IsSet());
}

TEST(Event, AutoResetIsConsumedByOneWait) {
    Event e(Event::Reset::Auto, true);
    EXPECT_TRUE(e.IsSet());  // polling does not consume
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0));
}

TEST(Event, WaitAnyReturnsTheSetIndexAndTimesOut) {
    Event a(Event::Reset::Auto), b(Event::Reset::Auto);
    EXPECT_EQ(Event::WaitAny({&a, &b}, 10), Event::kTimeout);
    b.Set();
    EXPECT_EQ(Event::WaitAny({&a, &b}, 10), 1);
    EXPECT_FALSE(b.IsSet());
}

TEST(Event, WaitAllNeedsEveryEventAndWakesFromAnotherThread) {
    Event a(Event::Reset::Auto), b(Event::Reset::Auto);
    a.Set();
    EXPECT_EQ(Event::WaitAll({&a, &b}, 10), Event::kTimeout);
    EXPECT_TRUE(a.IsSet());  // a partial wait consumes nothing
    std::thread setter([&] { b.Set(); });
    EXPECT_EQ(Event::WaitAll({&a, &b}), 0);
    setter.join();
    EXPECT_FALSE(a.IsSet());
    EXPECT_FALSE(b.IsSet());
}

}  // namespace
}  // namespace quarto
