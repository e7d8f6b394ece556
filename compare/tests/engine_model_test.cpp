// The stand-in engine's documents, without the bus: opening drawings, the
// errors it reports, views, background colour and the SaveBmp macro.
#include "draftora/result_codes.h"
#include "engine_error.h"
#include "engine_model.h"
#include "twinview/private_temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <sys/stat.h>

using namespace draftora;

namespace {

class EngineModelTest : public ::testing::Test {
protected:
    CPrivateTempDir dir;
    EngineModel model{"21.0"};

    std::string Write(const std::string& name, const std::string& text)
    {
        const std::string path = dir.Path() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // The result code of the EngineError that `action` raises.
    template <class Action> std::uint32_t CodeOf(Action action, std::string* description = nullptr)
    {
        try {
            action();
        } catch (const EngineError& error) {
            if (description)
                *description = error.what();
            return error.Code();
        }
        return 0;
    }

    std::string Macro(const std::string& bitmap, int width = 40)
    {
        return Write("m.vkm",
                     ">SaveBmp\r\n{\r\n<PointXYZ 0,0,0\r\n<PointXYZ 4,2,0\r\n<FileName \"" + bitmap +
                         "\"\r\n<Type 1\r\n<Width " + std::to_string(width) + "\r\n}\r\n");
    }
};

std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST_F(EngineModelTest, OpensDrawingsUnderTheirCanonicalNames)
{
    const std::string path = Write("a.vkd", "VKD 1\nline 0 0 4 2\n");
    const int id = model.Open(dir.Path() + "/./a.vkd");
    EXPECT_EQ(model.Count(), 1);
    EXPECT_EQ(model.IdAt(1), id);
    EXPECT_EQ(model.Document(id).FullName(), path);
    EXPECT_EQ(model.Document(id).Extents(), (std::array<double, 6>{0, 0, 0, 4, 2, 0}));
}

TEST_F(EngineModelTest, ReportsMissingAndMalformedDrawings)
{
    std::string description;
    EXPECT_EQ(CodeOf([&] { model.Open(dir.Path() + "/none.vkd"); }), kFileNotFound);
    EXPECT_EQ(CodeOf([&] { model.Open(dir.Path()); }), kFileNotFound) << "a directory";
    const std::string bad = Write("bad.vkd", "VKD 1\nline 0 0 1 1\ncircle 1 1\n");
    EXPECT_EQ(CodeOf([&] { model.Open(bad); }, &description), kInvalidData);
    EXPECT_EQ(description, "malformed drawing " + bad + ", line 3: 'circle' needs 3 numbers, found 2 values");
    EXPECT_EQ(model.Count(), 0);
}

TEST_F(EngineModelTest, ClosedDocumentsAndBadIndicesAreErrors)
{
    const int id = model.Open(Write("a.vkd", "VKD 1\n"));
    EXPECT_EQ(CodeOf([&] { model.IdAt(2); }), kInvalidArgument);
    EXPECT_EQ(CodeOf([&] { model.Close(id, 1); }), kInvalidArgument) << "never saves";
    model.MakeCurrent(id, 1);
    EXPECT_EQ(model.CurrentId(), id);
    model.Close(id, 0);
    EXPECT_EQ(model.Count(), 0);
    EXPECT_EQ(model.CurrentId(), 0);
    EXPECT_EQ(CodeOf([&] { model.Document(id); }), kDisconnected);
}

TEST_F(EngineModelTest, RestoreBringsBackTheViewBeforeItWasBorrowed)
{
    StandInDocument& document = model.Document(model.Open(Write("a.vkd", "VKD 1\nline 0 0 4 2\n")));
    document.PutPoints(2, {-1, -1, 0, 1, 1, 0});
    document.ZoomToWindow();
    document.Scale(0.5);
    const ViewState before = document.View();
    document.FillFrame();
    document.PutPoints(2, {0, 0, 0, 9, 9, 0});
    document.ZoomToWindow();
    document.Scale(0.95);
    EXPECT_EQ(document.View().window.highX, 9.0);
    document.Restore();
    EXPECT_EQ(document.View().window.highX, before.window.highX);
    EXPECT_EQ(document.View().zoom, 0.5);
    EXPECT_EQ(CodeOf([&] { document.PutPoints(1, {0, 0, 0, 1, 1, 0}); }), kInvalidArgument);
    EXPECT_EQ(CodeOf([&] { document.Scale(0); }), kInvalidArgument);
}

TEST_F(EngineModelTest, SaveBmpWritesTheWindowOnTheDocumentsBackground)
{
    StandInDocument& document = model.Document(model.Open(Write("a.vkd", "VKD 1\nline 0 0 4 2\n")));
    EXPECT_EQ(document.Background(), 0xFFFFFFu);
    document.SetBackground(0x0000FF); // red
    const std::string bitmap = dir.Path() + "/out.BMP";
    document.RunMacro(Macro(bitmap));
    const auto bytes = ReadAll(bitmap);
    ASSERT_EQ(bytes.size(), 54u + 20 * 120) << "40 x 20 pixels, rows of 120 bytes";
    EXPECT_EQ(bytes[22], 20) << "height from the window's proportions";
    // The bottom-left pixel lies on the line; the bottom-right one is red.
    EXPECT_EQ(bytes[54], 0);
    EXPECT_EQ(bytes[54 + 3 * 39 + 2], 255);
    EXPECT_EQ(bytes[54 + 3 * 39], 0);
}

TEST_F(EngineModelTest, MacroFailuresAreAutomationErrors)
{
    StandInDocument& document = model.Document(model.Open(Write("a.vkd", "VKD 1\n")));
    std::string description;
    EXPECT_EQ(CodeOf([&] { document.RunMacro(dir.Path() + "/none.vkm"); }), kFileNotFound);
    const std::string pipe = dir.Path() + "/pipe.vkm";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(CodeOf([&] { document.RunMacro(pipe); }), kFileNotFound) << "not read, no hang";
    const std::string bad = Write("bad.vkm", ">SaveBmp\n{\n<Type 1\n");
    EXPECT_EQ(CodeOf([&] { document.RunMacro(bad); }, &description), kInvalidData);
    EXPECT_EQ(description, bad + ": macro line 3: missing '}' of >SaveBmp");
    EXPECT_EQ(CodeOf([&] { document.RunMacro(Macro(dir.Path() + "/no/such/dir.BMP")); }), kWriteFault);
    EXPECT_EQ(CodeOf([&] { document.SetBackground(0x1000000); }), kInvalidArgument);
}
