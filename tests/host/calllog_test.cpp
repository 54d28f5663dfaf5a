// The test host's callback log under calls from several threads at once.

#include "tests/host/hostfixture.h"

#include <set>
#include <thread>

namespace Zorv {
namespace {

TEST(CallLog, RecordsCallsFromEveryThread)
{
    GPluginHost host;
    ASSERT_TRUE(host.load(kPluginPath)) << host.error();
    host.calls().clear();
    constexpr int kThreads = 4, kCalls = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&host, t] {
            for (int i = 0; i < kCalls; ++i)
                GPluginHost::callback(host.effect(), audioMasterAutomate, t, 0, nullptr, 0.5f);
        });
    for (auto& t : threads)
        t.join();
    std::vector<GHostCall> calls = host.calls().calls();
    ASSERT_EQ(calls.size(), size_t(kThreads * kCalls));
    std::set<std::thread::id> ids;
    for (const GHostCall& c : calls) {
        ids.insert(c.thread);
        EXPECT_EQ(c.effect, host.effect());
    }
    EXPECT_EQ(ids.size(), size_t(kThreads));
    EXPECT_EQ(host.calls().count(audioMasterAutomate), kThreads * kCalls);
    EXPECT_EQ(GPluginHost::callback(host.effect(), audioMasterVersion, 0, 0, nullptr, 0), 2400);
}

}  // namespace
}  // namespace Zorv
