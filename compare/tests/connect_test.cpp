// Connecting to the engine: attach first, start second, accept only major
// version 20 or higher, and quit only an engine that was started here.
#include "engine_fixture.h"
#include "engine_version.h"

#include <climits>

using Names = std::vector<std::string>;

TEST_F(EngineTest, ConnectPrefersAttachingToARunningEngine)
{
    ASSERT_TRUE(engine.Connect());
    EXPECT_EQ(fake->Names(),
              (Names{"System.Attach", "Application.SetBatchMode", "Application.Initialize", "Application.Version"}));
    EXPECT_EQ(fake->calls[1].numbers, std::vector<double>{1});
    EXPECT_FALSE(engine.StartedEngine());
    engine.Disconnect();
    EXPECT_EQ(fake->Count("Application.Quit"), 0) << "an attached engine is left running";
    EXPECT_TRUE(fake->running);
    EXPECT_FALSE(engine.IsConnected());
}

TEST_F(EngineTest, ConnectStartsAnEngineWhenNoneRunsAndDisconnectQuitsIt)
{
    fake->running = false;
    ASSERT_TRUE(engine.Connect());
    EXPECT_EQ(fake->Names(),
              (Names{"System.Attach", "System.CreateAndRun", "Application.SetBatchMode", "Application.Initialize",
                     "Application.Version"}));
    EXPECT_TRUE(engine.StartedEngine());
    engine.Disconnect();
    EXPECT_EQ(fake->Count("Application.Quit"), 1);
    EXPECT_FALSE(fake->running);
}

TEST_F(EngineTest, ConnectRejectsVersion19AndQuitsTheEngineItStarted)
{
    fake->running = false;
    fake->version = "19.9";
    EXPECT_FALSE(engine.Connect());
    EXPECT_EQ(fake->Names().back(), "Application.Quit");
    EXPECT_FALSE(fake->running);
    EXPECT_FALSE(engine.IsConnected());
    EXPECT_FALSE(engine.StartedEngine());
}

TEST_F(EngineTest, ConnectRejectsAnOldAttachedEngineWithoutQuittingIt)
{
    fake->version = "19.9";
    EXPECT_FALSE(engine.Connect());
    EXPECT_EQ(fake->Count("Application.Quit"), 0);
    EXPECT_TRUE(fake->running);
    EXPECT_FALSE(engine.IsConnected());
}

TEST_F(EngineTest, ConnectAcceptsVersions20Point1And21)
{
    for (const char* version : {"20.1", "21", "20"}) {
        fake->version = version;
        EXPECT_TRUE(engine.Connect()) << version;
    }
}

TEST_F(EngineTest, ConnectFailsWhenNoEngineCanBeHad)
{
    fake->running = false;
    fake->canStart = false;
    EXPECT_FALSE(engine.Connect());
    EXPECT_FALSE(engine.IsConnected());
}

TEST_F(EngineTest, ConnectQuitsAStartedEngineWhoseSetUpFails)
{
    fake->running = false;
    fake->FailAt("Application.Initialize", 1);
    EXPECT_FALSE(engine.Connect());
    EXPECT_EQ(fake->Count("Application.Quit"), 1);
}

TEST_F(EngineTest, DestructionQuitsAStartedEngineAndSwallowsItsErrors)
{
    fake->running = false;
    {
        CDraftoraEngine scoped(fake, temp, sleeper);
        ASSERT_TRUE(scoped.Connect());
        fake->FailAt("Application.Quit", 1);
    }
    EXPECT_EQ(fake->Count("Application.Quit"), 1);
}

TEST(VersionText, LeadingIntegerIsTheMajorVersion)
{
    EXPECT_EQ(LeadingInteger("20.1"), 20);
    EXPECT_EQ(LeadingInteger("19.9"), 19);
    EXPECT_EQ(LeadingInteger("  21 build 7"), 21);
    EXPECT_EQ(LeadingInteger("+22"), 22);
    EXPECT_EQ(LeadingInteger("-3"), -3);
    EXPECT_EQ(LeadingInteger("V20"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), INT_MAX);
}
