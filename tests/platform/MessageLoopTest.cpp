// The frame without a window: sends from workers wait for the loop's owner, a statistics notice
// is queued at most once however often workers ask, and RunUntil waits exactly as long as the
// handled messages keep its condition false.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/FrameSink.h"

namespace quarto {
namespace {

TEST(MessageLoop, AStatisticsNoticeIsQueuedOnceUntilTheFrameHasTakenIt) {
    MessageLoop loop;
    int notices = 0;
    loop.SetHandler([&](const FrameMessage& m) -> intptr_t {
        if (m.id == UM_STATISTICS) ++notices;
        return 0;
    });
    std::thread scan([&] {
        for (int i = 0; i < 100000; ++i) loop.InvalidateStatistics();  // one per scanned file
    });
    scan.join();
    while (loop.RunOne(0)) {
    }
    EXPECT_EQ(notices, 1);
    loop.InvalidateStatistics();  // a change after the take is not lost
    while (loop.RunOne(0)) {
    }
    EXPECT_EQ(notices, 2);
}

TEST(MessageLoop, RunUntilAnswersEverySendAndStopsWhenItsConditionHolds) {
    MessageLoop loop;
    int ends = 0;
    loop.SetHandler([&](const FrameMessage& m) -> intptr_t { return m.id == UM_BUSY ? ++ends : 0; });
    std::vector<std::thread> jobs;
    std::vector<intptr_t> answers(3);
    for (size_t i = 0; i < answers.size(); ++i)
        jobs.emplace_back([&, i] { answers[i] = loop.Send({UM_BUSY, kBusyEnd}); });
    loop.RunUntil([&] { return ends == 3; });
    for (std::thread& job : jobs) job.join();
    std::sort(answers.begin(), answers.end());
    EXPECT_EQ(answers, (std::vector<intptr_t>{1, 2, 3}));  // each send got its own answer
    EXPECT_FALSE(loop.RunOne(0));                          // and nothing is left over
}

}  // namespace
}  // namespace quarto
