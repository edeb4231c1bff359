// Commands one at a time: what arrives while one runs waits for it.
#include "app/command_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zeltan {
namespace {

TEST(CommandQueue, ACommandArrivingInsideAnotherRunsAfterItInOrder) {
    // Close waits for the worker and meanwhile two commands are sent: they
    // neither run inside Close nor get lost.
    CommandQueue queue;
    std::vector<std::string> log;
    queue.Submit([&] {
        log.push_back("close begins");
        queue.Submit([&] { log.push_back("open"); });
        queue.Submit([&] { log.push_back("read"); });
        log.push_back("close ends");
    });
    EXPECT_EQ(log, (std::vector<std::string>{"close begins", "close ends", "open", "read"}));
    EXPECT_FALSE(queue.Running());
}

TEST(CommandQueue, TeardownRunsAfterTheRunningCommandAndDropsTheRest) {
    CommandQueue queue;
    std::vector<std::string> log;
    queue.Submit([&] {
        log.push_back("close begins");
        queue.Submit([&] { log.push_back("open"); });
        queue.Close([&] { log.push_back("teardown"); });
        queue.Submit([&] { log.push_back("read"); });
        log.push_back("close ends");
    });
    queue.Submit([&] { log.push_back("after teardown"); });
    EXPECT_EQ(log, (std::vector<std::string>{"close begins", "close ends", "teardown"}));
}

TEST(CommandQueue, TeardownWithNothingRunningRunsAtOnce) {
    CommandQueue queue;
    bool tornDown = false;
    queue.Close([&] { tornDown = true; });
    EXPECT_TRUE(tornDown);
}

}  // namespace
}  // namespace zeltan
