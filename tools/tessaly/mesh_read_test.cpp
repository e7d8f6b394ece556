// The command line's mesh readers on hostile and damaged files: a binary
// STL whose header says "solid", files from which nothing can be read,
// faces that have to be skipped, true line numbers and safe echoes in the
// messages.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "mesh_formats.h"
#include "tessaly/surface.h"

namespace {
namespace fs = std::filesystem;

class MeshRead : public testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = fs::temp_directory_path() / ("tessaly-mesh-read-" + std::to_string(::getpid()));
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = (m_Dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Reads path; the facet count, or -1 with the message in error.
    int Read(const std::string& path, std::string* warning = nullptr)
    {
        G3Surface s;
        testing::internal::CaptureStderr();
        const bool ok = ReadMesh(path, &s, error);
        const std::string err = testing::internal::GetCapturedStderr();
        if (warning)
            *warning = err;
        return ok ? s.GetFacetCount() : -1;
    }

    fs::path m_Dir;
    std::string error;
};

// A binary STL of one triangle; the header begins with the given text.
std::string BinaryStl(const std::string& header)
{
    std::string bytes(80, ' ');
    bytes.replace(0, header.size(), header);
    const std::uint32_t count = 1;
    bytes.append(reinterpret_cast<const char*>(&count), sizeof count);
    const float data[12] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};
    bytes.append(reinterpret_cast<const char*>(data), sizeof data);
    bytes.append(2, '\0');
    return bytes;
}
} // namespace

TEST_F(MeshRead, BinaryStlIsToldBySizeWhateverItsHeaderSays)
{
    EXPECT_EQ(Read(Write("solid.stl", BinaryStl("solid exported by a tool, 1 facet"))), 1) << error;
    EXPECT_EQ(Read(Write("plain.stl", BinaryStl("binary"))), 1) << error;
    // ASCII still reads as ASCII.
    const std::string ascii = "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
                              "endloop\nendfacet\nendsolid t\n";
    EXPECT_EQ(Read(Write("ascii.stl", ascii)), 1) << error;
}

TEST_F(MeshRead, NothingReadIsAnError)
{
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"random.obj", std::string("\x13\x9a\x01garbage\xff\xfe", 12)},
        {"empty.obj", ""},
        {"empty.stl", ""},
        {"only-vertices.off", "OFF\n3 0 0\n0 0 0\n1 0 0\n0 1 0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(Write(c.name, c.bytes)), -1);
        EXPECT_NE(error.find(c.name), std::string::npos) << "the message names the file: " << error;
    }
    fs::create_directories(m_Dir / "x.obj");
    EXPECT_EQ(Read((m_Dir / "x.obj").string()), -1);
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
    // A FIFO without a writer and an endless device are refused at once.
    const std::string fifo = (m_Dir / "pipe.stl").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Read(fifo), -1);
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    EXPECT_EQ(Read("/dev/zero.off"), -1);
    const fs::path zero = m_Dir / "zero.obj";
    fs::create_symlink("/dev/zero", zero);
    EXPECT_EQ(Read(zero.string()), -1);
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

TEST_F(MeshRead, SkippedFacesAreReported)
{
    std::string warning;
    // The last face runs round its triangle 30 000 times: every side twice
    // or more (read whole, it took seconds: each side got thousands of edges).
    std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 1 1\nf 1 2\nf\nf 1 2 4 1 2 3\nf";
    for (int k = 0; k < 30000; ++k)
        obj += " 1 3 4";
    EXPECT_EQ(Read(Write("faces.obj", obj + "\n"), &warning), 1) << error;
    EXPECT_NE(warning.find("5 faces skipped"), std::string::npos) << warning;
    // Nothing left: an error.
    EXPECT_EQ(Read(Write("bad-faces.obj", "v 0 0 0\nv 1 0 0\nf 1 1 1\nf 1 2\n")), -1);
    // An ASCII STL cut off inside its second facet.
    const std::string cut = "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
                            "endloop\nendfacet\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0";
    EXPECT_EQ(Read(Write("cut.stl", cut), &warning), -1) << "a malformed vertex line";
    const std::string truncated = "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                                  "vertex 0 1 0\nendloop\nendfacet\nfacet normal 0 0 1\nouter loop\nvertex 0 0 1\n";
    EXPECT_EQ(Read(Write("truncated.stl", truncated), &warning), 1) << error;
    EXPECT_NE(warning.find("1 faces skipped"), std::string::npos) << warning;
}

TEST_F(MeshRead, MessagesNameTheLineAndEchoSafely)
{
    EXPECT_EQ(Read(Write("lines.off", "OFF\n# a comment\n3 1 0\n0 0 0\n1 x 0\n0 1 0\n3 0 1 2\n")), -1);
    EXPECT_NE(error.find("lines.off: line 5:"), std::string::npos) << error;
    EXPECT_EQ(Read(Write("face.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n\n3 0 1 7\n")), -1);
    EXPECT_NE(error.find("line 7:"), std::string::npos) << error;
    // A huge token and terminal escapes are cut and escaped.
    const std::string huge = "v 0 0 0\nf 1 " + std::string(5 << 20, 'x') + "\n";
    EXPECT_EQ(Read(Write("huge.obj", huge)), -1);
    EXPECT_LT(error.size(), 300u);
    EXPECT_EQ(Read(Write("escape.obj", "v 0 0 0\nf 1 \x1b[31mred\n")), -1);
    EXPECT_EQ(error.find('\x1b'), std::string::npos) << "an escape sequence passed through";
    EXPECT_NE(error.find("\\x1b"), std::string::npos) << error;
}
