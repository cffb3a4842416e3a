#include "launcher/HandOff.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace launcher {
namespace {

// Records every platform call in order.
class RecordingPlatform : public HandOffPlatform {
public:
    bool terminateSucceeds = true;
    std::string systemDirectory = "C:\\Windows\\system32";
    std::uint32_t pid = 4242;
    std::vector<std::string> calls;

    void OpenAddress(const std::string& address) override { calls.push_back("open " + address); }
    bool TerminateCurrentProcess(std::uint32_t exitCode) override
    {
        calls.push_back("terminate " + std::to_string(exitCode));
        return terminateSucceeds;
    }
    std::uint32_t CurrentProcessId() override { return pid; }
    std::string SystemDirectory() override { return systemDirectory; }
    void RunCommand(const std::string& commandLine, int showCommand) override
    {
        calls.push_back("run[" + std::to_string(showCommand) + "] " + commandLine);
    }
};

const std::string kAddress = "https://www.example.cn";

TEST(HandOffTest, OpensTheAddressOnTheFirstTickAndEndsOnTheSecond)
{
    RecordingPlatform platform;
    std::int32_t ticks = 0;

    HandOffTick(ticks, platform, kAddress);
    EXPECT_EQ(ticks, 1);
    ASSERT_EQ(platform.calls, std::vector<std::string>{"open " + kAddress});

    HandOffTick(ticks, platform, kAddress);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"open " + kAddress, "terminate 0"}));
}

TEST(HandOffTest, LaterTicksDoNothingHoweverManyArrive)
{
    // Termination "fails" silently here (the fallback too), so ticks keep coming.
    RecordingPlatform platform;
    platform.terminateSucceeds = false;
    std::int32_t ticks = 0;
    for (int i = 0; i < 1000; ++i)
        HandOffTick(ticks, platform, kAddress);

    int opens = 0, terminates = 0, runs = 0;
    for (const auto& call : platform.calls) {
        opens += call.rfind("open ", 0) == 0;
        terminates += call.rfind("terminate ", 0) == 0;
        runs += call.rfind("run", 0) == 0;
    }
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(terminates, 1);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ticks, 1000);
}

TEST(HandOffTest, FallbackRunsOnlyWhenTerminationFails)
{
    RecordingPlatform platform;
    platform.terminateSucceeds = false;
    platform.pid = 1234;
    std::int32_t ticks = 0;
    HandOffTick(ticks, platform, kAddress);
    HandOffTick(ticks, platform, kAddress);
    ASSERT_EQ(platform.calls.size(), 3u);
    EXPECT_EQ(platform.calls[1], "terminate 0");
    EXPECT_EQ(platform.calls[2], "run[2] C:\\Windows\\system32\\TaskKill.exe /F /PID 1234");
}

TEST(HandOffTest, CounterSaturatesInsteadOfOverflowing)
{
    RecordingPlatform platform;
    std::int32_t ticks = std::numeric_limits<std::int32_t>::max();
    HandOffTick(ticks, platform, kAddress);
    EXPECT_EQ(ticks, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(platform.calls.empty());
}

TEST(TaskKillCommandTest, OneBlankBeforeTheDecimalIdAndNoneAfter)
{
    EXPECT_EQ(TaskKillCommand("C:\\Windows\\system32", 0), "C:\\Windows\\system32\\TaskKill.exe /F /PID 0");
    EXPECT_EQ(TaskKillCommand("C:\\Windows\\system32\\", 7), "C:\\Windows\\system32\\TaskKill.exe /F /PID 7");
    EXPECT_EQ(TaskKillCommand("C:\\WINNT\\System32", 4294967295u),
              "C:\\WINNT\\System32\\TaskKill.exe /F /PID 4294967295");
    EXPECT_EQ(TaskKillCommand("C:\\My Windows\\system32", 12), "\"C:\\My Windows\\system32\\TaskKill.exe\" /F /PID 12");
    EXPECT_EQ(TaskKillCommand("", 90), "TaskKill /F /PID 90");
}

}  // namespace
}  // namespace launcher
