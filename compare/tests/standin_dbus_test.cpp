// CDraftoraEngine driving the real stand-in engine over a private session
// bus (the test runs under dbus-run-session).
#include "draftora/protocol.h"
#include "twinview/dbus_engine_system.h"
#include "twinview/draftora_engine.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

// A 24-bit BMP read back for checking; pixels addressed from the top left.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<unsigned char> bytes;

    bool IsBlack(int x, int y) const { return Byte(x, y, 0) + Byte(x, y, 1) + Byte(x, y, 2) == 0; }
    int Byte(int x, int y, int channel) const
    {
        const std::size_t stride = (3 * static_cast<std::size_t>(width) + 3) / 4 * 4;
        return bytes[54 + static_cast<std::size_t>(height - 1 - y) * stride + 3 * x + channel];
    }
    int CountBlack() const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += IsBlack(x, y);
        return n;
    }
};

int Field(const std::vector<unsigned char>& b, std::size_t at, int size)
{
    int value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | b[at + static_cast<std::size_t>(i)];
    return value;
}

Bitmap ReadBitmap(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    Bitmap bitmap;
    bitmap.bytes.assign(std::istreambuf_iterator<char>(in), {});
    if (bitmap.bytes.size() < 54)
        return bitmap;
    bitmap.width = Field(bitmap.bytes, 18, 4);
    bitmap.height = Field(bitmap.bytes, 22, 4);
    bitmap.bitsPerPixel = Field(bitmap.bytes, 28, 2);
    return bitmap;
}

bool WaitUntil(const std::function<bool()>& condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 10000)
            return false;
        QThread::msleep(20);
    }
    return true;
}

QDBusConnectionInterface* Bus()
{
    return QDBusConnection::sessionBus().interface();
}

bool EngineRuns()
{
    return Bus()->isServiceRegistered(draftora::kServiceName);
}

uint EnginePid()
{
    return Bus()->servicePid(draftora::kServiceName).value();
}

class StandInTest : public ::testing::Test {
protected:
    std::shared_ptr<CPrivateTempDir> temp = std::make_shared<CPrivateTempDir>();

    static DbusEngineOptions Options(std::vector<std::string> arguments = {})
    {
        DbusEngineOptions options;
        options.program = DRAFTORA_ENGINE_PROGRAM;
        options.arguments = std::move(arguments);
        return options;
    }

    std::unique_ptr<CDraftoraEngine> NewEngine(std::vector<std::string> arguments = {})
    {
        return std::make_unique<CDraftoraEngine>(MakeDbusEngineSystem(Options(std::move(arguments))), temp);
    }

    std::string Drawing(const std::string& name, const std::string& text)
    {
        const std::string path = temp->Path() + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    RenderRequest Request(const std::string& drawing1, const std::string& drawing2, int size = 400)
    {
        RenderRequest request;
        request.drawing1 = drawing1;
        request.bitmap1 = temp->NewFileName("cmp", ".BMP");
        request.drawing2 = drawing2;
        request.bitmap2 = temp->NewFileName("cmp", ".BMP");
        request.imageSize = size;
        return request;
    }

    void TearDown() override
    {
        // No engine outlives its test, whatever the test did to it.
        if (EngineRuns()) {
            ::kill(static_cast<pid_t>(EnginePid()), SIGKILL);
            WaitUntil([] { return !EngineRuns(); });
        }
    }
};

} // namespace

TEST_F(StandInTest, TwoDrawingsWithDifferentExtentsGiveAlignedBitmapsOfOneSize)
{
    const std::string a = Drawing("a.vkd", "VKD 1\nline 0 0 100 0\nline 0 0 0 50\n");
    const std::string b = Drawing("b.vkd", "VKD 1\nbackground #FFFFFF\nline 0 80 100 80\n");
    auto engine = NewEngine();
    ASSERT_TRUE(engine->Connect());
    EXPECT_TRUE(engine->StartedEngine());
    RenderRequest request = Request(a, b);
    request.changeColour = true;
    request.colour = 0x0000FF; // red, in the engine's RGB value order
    const RenderResult result = engine->RenderPair(request);
    ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0].text);

    const Bitmap first = ReadBitmap(request.bitmap1);
    const Bitmap second = ReadBitmap(request.bitmap2);
    // Union 0..100 x 0..80 widened by 1: the window -1..101 x -1..81.
    ASSERT_EQ(first.width, 400);
    ASSERT_EQ(first.height, 322) << "400 * 82 / 102, rounded";
    EXPECT_EQ(first.bitsPerPixel, 24);
    EXPECT_EQ(second.width, first.width);
    EXPECT_EQ(second.height, first.height);
    const auto column = [](double x) { return int(std::floor((x + 1) * 400 / 102)); };
    const auto row = [](double y) { return int(std::floor((81 - y) * 322 / 82)); };
    for (int x = column(0); x <= column(100); ++x) {
        EXPECT_TRUE(first.IsBlack(x, row(0))) << x;
        EXPECT_TRUE(second.IsBlack(x, row(80))) << x;
    }
    for (int y = row(50); y <= row(0); ++y)
        EXPECT_TRUE(first.IsBlack(column(0), y)) << y;
    EXPECT_EQ(first.CountBlack(), (column(100) - column(0) + 1) + (row(0) - row(50)));
    EXPECT_EQ(second.CountBlack(), column(100) - column(0) + 1);
    EXPECT_EQ(first.Byte(200, 200, 2), 255) << "the chosen background: red";
    EXPECT_EQ(first.Byte(200, 200, 0), 0);
}

TEST_F(StandInTest, AnEngineKilledBetweenTwoRendersIsRestarted)
{
    const std::string a = Drawing("a.vkd", "VKD 1\nline 0 0 10 10\n");
    const std::string b = Drawing("b.vkd", "VKD 1\nline 0 10 10 0\n");
    auto engine = NewEngine();
    ASSERT_TRUE(engine->Connect());
    ASSERT_TRUE(engine->RenderPair(Request(a, b)).ok);
    const uint first = EnginePid();
    ASSERT_EQ(::kill(static_cast<pid_t>(first), SIGKILL), 0);
    ASSERT_TRUE(WaitUntil([] { return !EngineRuns(); }));

    const RenderRequest again = Request(a, b);
    const RenderResult result = engine->RenderPair(again);
    EXPECT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0].text);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_NE(EnginePid(), first);
    EXPECT_EQ(ReadBitmap(again.bitmap2).width, 400);
}

TEST_F(StandInTest, AMalformedDrawingGivesAnAutomationErrorNamingTheLine)
{
    const std::string good = Drawing("good.vkd", "VKD 1\nline 0 0 1 1\n");
    const std::string bad = Drawing("bad.vkd", "VKD 1\npen #000000 1\nline 0 0 1,5 2\n");
    auto engine = NewEngine();
    ASSERT_TRUE(engine->Connect());
    const RenderResult result = engine->RenderPair(Request(good, bad));
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text,
              "\nDraftora Error(Open File 2): 8007000D\r\nmalformed drawing " + bad +
                  ", line 3: '1,5' is not a number\r\nThe data is invalid.\r\n");
}

TEST_F(StandInTest, AnOpenDocumentIsBorrowedAndLeftOpenWithItsColour)
{
    const std::string a = Drawing("a.vkd", "VKD 1\nbackground #00FF00\nline 0 0 10 10\n");
    const std::string b = Drawing("b.vkd", "VKD 1\nline 0 10 10 0\n");
    auto engine = NewEngine();
    ASSERT_TRUE(engine->Connect());
    // The user opens drawing a in the engine.
    auto documents = MakeDbusEngineSystem(Options())->Attach()->Documents();
    documents->Open(a);
    RenderRequest request = Request(a, b);
    request.changeColour = true;
    request.colour = 0x000000;
    ASSERT_TRUE(engine->RenderPair(request).ok);
    ASSERT_EQ(documents->Count(), 1) << "only the borrowed document stays open";
    EXPECT_EQ(documents->Item(1)->FullName(), a);
    EXPECT_EQ(documents->Item(1)->BackgroundHolder()->Get(), 0x00FF00u);
    EXPECT_EQ(ReadBitmap(request.bitmap1).Byte(1, 1, 1), 0) << "rendered on the chosen black";
}

TEST_F(StandInTest, ConnectAttachesToARunningEngineAndLeavesItRunning)
{
    auto starter = NewEngine();
    ASSERT_TRUE(starter->Connect());
    auto attacher = NewEngine();
    ASSERT_TRUE(attacher->Connect());
    EXPECT_FALSE(attacher->StartedEngine());
    attacher->Disconnect();
    EXPECT_TRUE(EngineRuns());
    starter->Disconnect();
    EXPECT_TRUE(WaitUntil([] { return !EngineRuns(); })) << "the started engine quits";
}

TEST_F(StandInTest, AnEngineOfVersion19IsRejectedAndQuits)
{
    auto engine = NewEngine({"--version-text", "19.9"});
    EXPECT_FALSE(engine->Connect());
    EXPECT_TRUE(WaitUntil([] { return !EngineRuns(); }));
}

bool ProcessGone(pid_t pid)
{
    // The engine was started detached: once ended it is nobody's child, and
    // in a container without an init that reaps, it may stay a zombie.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    return !(stat >> pidText >> name >> state) || state == "Z";
}

void ExpectTimeOut(IEngineApplication& application)
{
    try {
        application.Version();
        ADD_FAILURE() << "a stopped engine answered";
    } catch (const CAutomationError& error) {
        EXPECT_EQ(error.Code(), 0x800705B4u);
        EXPECT_EQ(error.Source(), "D-Bus");
    }
}

TEST_F(StandInTest, AHungEngineThatTwinviewStartedIsEndedWhenItGivesUp)
{
    DbusEngineOptions options = Options();
    options.callTimeout = std::chrono::milliseconds(300);
    auto system = MakeDbusEngineSystem(options);
    auto application = system->CreateAndRun();
    ASSERT_TRUE(application);
    const auto pid = static_cast<pid_t>(EnginePid());
    ::kill(pid, SIGSTOP);
    ExpectTimeOut(*application);
    EXPECT_TRUE(WaitUntil([pid] { return ProcessGone(pid); }));
    EXPECT_TRUE(WaitUntil([] { return !EngineRuns(); }));
}

TEST_F(StandInTest, AHungEngineThatTwinviewAttachedToIsLeftRunning)
{
    QProcess engine;
    engine.start(DRAFTORA_ENGINE_PROGRAM, QStringList{});
    ASSERT_TRUE(WaitUntil(EngineRuns));
    DbusEngineOptions options = Options();
    options.callTimeout = std::chrono::milliseconds(300);
    auto application = MakeDbusEngineSystem(options)->Attach();
    ASSERT_TRUE(application);
    const auto pid = static_cast<pid_t>(EnginePid());
    ::kill(pid, SIGSTOP);
    ExpectTimeOut(*application);
    ::kill(pid, SIGCONT);
    EXPECT_EQ(application->Version(), "21.0");
}

TEST_F(StandInTest, AStartedEngineEndsWhenItsOwnerLeavesTheBus)
{
    // A second connection plays Twinview; it must hold no reference when it
    // is closed, or the connection would stay open.
    QString owner;
    {
        const QDBusConnection twinview = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "owner");
        ASSERT_TRUE(twinview.isConnected());
        owner = twinview.baseService();
    }
    QProcess engine;
    engine.start(DRAFTORA_ENGINE_PROGRAM, {"--owner", owner});
    ASSERT_TRUE(WaitUntil(EngineRuns));
    QDBusConnection::disconnectFromBus("owner");
    EXPECT_TRUE(engine.waitForFinished(10000));
    EXPECT_EQ(engine.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(EngineRuns());
}

TEST_F(StandInTest, WrongCallsAreRefusedWithoutHarm)
{
    auto engine = NewEngine();
    ASSERT_TRUE(engine->Connect());
    auto documents = MakeDbusEngineSystem(Options())->Attach()->Documents();
    EXPECT_THROW(documents->Item(1), CAutomationError);
    EXPECT_THROW(documents->Open(temp->Path() + "/none.vkd"), CAutomationError);
    QDBusMessage call =
        QDBusMessage::createMethodCall(draftora::kServiceName, "/Documents", draftora::kDocumentsInterface, "Item");
    call << QString("one");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    EXPECT_EQ(reply.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(documents->Count(), 0);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
