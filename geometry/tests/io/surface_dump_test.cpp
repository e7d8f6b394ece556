// The text dump: golden text, exact round trips, and hostile files that
// must leave the body unchanged.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "temp_dir.h"
#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"

namespace {
G3Surface* MakeTriangle()
{
    auto* s = new G3Surface(3, 0);
    G3Vertex* v[3] = {s->AddVertex(0, 0, 0), s->AddVertex(1, 0, 0), s->AddVertex(0, 1, 0)};
    s->AddFacet(3, v, 1, nullptr, nullptr);
    return s;
}

const char* kZero = "0.00000000000000000000";
const char* kOne = "1.00000000000000000000";

std::string GoldenTriangle()
{
    std::string z = kZero, o = kOne;
    return "3 3 1 1 0\n" + z + " " + z + " " + z + "\n" + o + " " + z + " " + z + "\n" + z + " " + o + " " + z +
        "\n0 1 1\n1 2 1\n2 0 1\n0 2 0 1\n0 -1 1 -1 2 1\n0 -1 2 -1 -1 2\n0 -1 -1 -1 -1 -1\n0 2\n0 1\n1 2\n";
}

// The golden triangle after its facet was removed: three detached edges.
std::string DetachedTriangle()
{
    std::string z = kZero, o = kOne;
    return "3 3 0 1 0\n" + z + " " + z + " " + z + "\n" + o + " " + z + " " + z + "\n" + z + " " + o + " " + z +
        "\n0 1 1\n1 2 1\n2 0 1\n-1 -1 -1 -1 -1 -1\n-1 -1 -1 -1 -1 -1\n-1 -1 -1 -1 -1 -1\n-1 -1\n-1 -1\n-1 -1\n";
}

// Position of each element, computed independently of ids.
template <class T> int PositionIn(GArrayCollection* list, const T* element)
{
    return element ? list->index(const_cast<T*>(element)) : -1;
}

// Same coordinates bit for bit and the same links by position.
void ExpectSameBody(G3Surface* a, G3Surface* b)
{
    ASSERT_EQ(a->GetVertexCount(), b->GetVertexCount());
    ASSERT_EQ(a->GetEdgeCount(), b->GetEdgeCount());
    ASSERT_EQ(a->GetFacetCount(), b->GetFacetCount());
    for (int k = 0; k < a->GetVertexCount(); ++k) {
        EXPECT_EQ(std::memcmp(a->GetVertex(k)->GetXYZ(), b->GetVertex(k)->GetXYZ(), 3 * sizeof(double)), 0);
        EXPECT_EQ(PositionIn(a->GetEdgeList(), a->GetVertex(k)->GetFirstEdge()),
                  PositionIn(b->GetEdgeList(), b->GetVertex(k)->GetFirstEdge()));
    }
    auto edges = [](G3Surface* s, G3Edge* e) {
        GArrayCollection* E = s->GetEdgeList();
        GArrayCollection* F = s->GetFacetList();
        return std::vector<int>{PositionIn(s->GetVertexList(), e->GetVertex1()),
                                PositionIn(s->GetVertexList(), e->GetVertex2()),
                                PositionIn(F, e->GetFacet1()),
                                PositionIn(F, e->GetFacet2()),
                                PositionIn(E, e->GetFacet1Edge()),
                                PositionIn(E, e->GetFacet2Edge()),
                                PositionIn(E, e->GetVertex1Edge()),
                                PositionIn(E, e->GetVertex2Edge()),
                                static_cast<int>(e->GetFlags())};
    };
    for (int k = 0; k < a->GetEdgeCount(); ++k)
        EXPECT_EQ(edges(a, a->GetEdge(k)), edges(b, b->GetEdge(k))) << "edge " << k;
    for (int k = 0; k < a->GetFacetCount(); ++k) {
        EXPECT_EQ(PositionIn(a->GetEdgeList(), a->GetFacet(k)->GetFirstEdge()),
                  PositionIn(b->GetEdgeList(), b->GetFacet(k)->GetFirstEdge()));
        EXPECT_EQ(a->GetFacet(k)->GetSurface(), b->GetFacet(k)->GetSurface());
    }
}
} // namespace

TEST(SurfaceDump, SingleTriangleMatchesTheGoldenText)
{
    TempDir dir;
    G3Surface* s = MakeTriangle();
    ASSERT_TRUE(s->Save(dir.File("t.txt").c_str()));
    EXPECT_EQ(ReadText(dir.File("t.txt")), GoldenTriangle());
    delete s;
}

TEST(SurfaceDump, RoundTripIsBitExactWithIdenticalLinks)
{
    TempDir dir;
    G3Surface* s = MakeCubeWithBridgedHole();
    // Values that 20 fixed decimals cannot carry exactly.
    s->GetVertex(0)->Set(1e-30, -1.0 / 3.0, 0.1);
    s->GetVertex(1)->Set(-123456.789e10, 5e-324, 7.0);
    s->SetNextSurface(41);
    ASSERT_TRUE(s->Save(dir.File("a.txt").c_str()));
    G3Surface loaded;
    std::string error;
    ASSERT_TRUE(loaded.Load(dir.File("a.txt").c_str(), &error)) << error;
    EXPECT_EQ(ValidateTopology(&loaded), "");
    ExpectSameBody(s, &loaded);
    // Loading writes what it read.
    ASSERT_TRUE(loaded.Save(dir.File("b.txt").c_str()));
    EXPECT_EQ(ReadText(dir.File("a.txt")), ReadText(dir.File("b.txt")));
    EXPECT_EQ(loaded.GetNextSurface(), 42);
    delete s;
}

TEST(SurfaceDump, PositionsNotIdsAreWrittenAfterRemovals)
{
    TempDir dir;
    G3Surface* s = MakeCubeWithBridgedHole();
    s->RemoveFacet(s->GetFacet(0));
    s->RemoveFacet(s->GetFacet(3));
    s->RemoveUnused();
    ASSERT_EQ(ValidateTopology(s), "");
    // Some ids are stale now; the host's ids stay as they are.
    std::vector<long> ids;
    bool stale = false;
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        ids.push_back(s->GetEdge(k)->GetId());
        stale = stale || ids.back() != k;
    }
    ASSERT_TRUE(stale);
    ASSERT_TRUE(s->Save(dir.File("stale.txt").c_str()));
    for (int k = 0; k < s->GetEdgeCount(); ++k)
        EXPECT_EQ(s->GetEdge(k)->GetId(), ids[static_cast<std::size_t>(k)]);
    G3Surface loaded;
    ASSERT_TRUE(loaded.Load(dir.File("stale.txt").c_str()));
    EXPECT_EQ(ValidateTopology(&loaded), "");
    ExpectSameBody(s, &loaded);
    s->AssignIds();
    ASSERT_TRUE(s->Save(dir.File("fresh.txt").c_str()));
    EXPECT_EQ(ReadText(dir.File("stale.txt")), ReadText(dir.File("fresh.txt")));
    delete s;
}

// Removing facets detaches the edges that lose their last facet: they stay
// in the body, outside every vertex ring. Such a body loads back exactly.
TEST(SurfaceDump, BodiesSavedAfterEditsLoadBackExactly)
{
    struct Edit {
        const char* name;
        std::function<void(G3Surface*)> apply;
    };
    const std::vector<Edit> edits = {
        {"one facet removed", [](G3Surface* s) { s->RemoveFacet(s->GetFacet(0)); }},
        {"two facets removed",
         [](G3Surface* s) {
             s->RemoveFacet(s->GetFacet(0));
             s->RemoveFacet(s->GetFacet(2));
         }},
        {"every facet removed",
         [](G3Surface* s) {
             while (s->GetFacetCount() > 0)
                 s->RemoveFacet(s->GetFacet(0));
         }},
    };
    TempDir dir;
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        G3Surface* s = MakeCubeWithBridgedHole();
        edit.apply(s);
        ASSERT_TRUE(s->Save(dir.File("a.txt").c_str()));
        G3Surface loaded;
        std::string error;
        ASSERT_TRUE(loaded.Load(dir.File("a.txt").c_str(), &error)) << error;
        ExpectSameBody(s, &loaded);
        ASSERT_TRUE(loaded.Save(dir.File("b.txt").c_str()));
        EXPECT_EQ(ReadText(dir.File("a.txt")), ReadText(dir.File("b.txt")));
        delete s;
    }
    G3Surface* triangle = MakeTriangle();
    triangle->RemoveFacet(triangle->GetFacet(0));
    ASSERT_TRUE(triangle->Save(dir.File("detached.txt").c_str()));
    EXPECT_EQ(ReadText(dir.File("detached.txt")), DetachedTriangle());
    delete triangle;

    // A triangle whose edge collapses loses all its edges, which stay in
    // the body detached, and keeps its facet without edges.
    G3Surface* collapsed = MakeTriangle();
    collapsed->GetVertex(1)->SetExData(collapsed->GetVertex(0));
    ASSERT_TRUE(collapsed->GetFacet(0)->RemoveSmallEdges());
    collapsed->GetVertex(1)->SetExData(nullptr);
    ASSERT_TRUE(collapsed->Save(dir.File("c.txt").c_str()));
    G3Surface loaded;
    std::string error;
    ASSERT_TRUE(loaded.Load(dir.File("c.txt").c_str(), &error)) << error;
    ExpectSameBody(collapsed, &loaded);
    ASSERT_TRUE(loaded.Save(dir.File("d.txt").c_str()));
    EXPECT_EQ(ReadText(dir.File("c.txt")), ReadText(dir.File("d.txt")));
    delete collapsed;
}

namespace {
struct Hostile {
    const char* name;
    std::string text;
};

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::vector<Hostile> HostileDumps()
{
    std::string g = GoldenTriangle();
    return {
        {"vertex id out of range", Replace(g, "\n1 2 1\n", "\n1 7 1\n")},
        {"negative vertex id", Replace(g, "\n1 2 1\n", "\n-4 2 1\n")},
        {"negative link id", Replace(g, "0 -1 2 -1 -1 2", "0 -1 2 -1 -9 2")},
        {"facet id out of range", Replace(g, "0 -1 2 -1 -1 2", "3 -1 2 -1 -1 2")},
        {"truncated file", g.substr(0, g.size() / 2)},
        {"truncated last line", g.substr(0, g.size() - 3)},
        {"negative count", Replace(g, "3 3 1 1 0", "3 -3 1 1 0")},
        {"huge counts", Replace(g, "3 3 1 1 0", "3 2000000000 2000000000 1 0")},
        {"edge with equal ends", Replace(g, "\n1 2 1\n", "\n2 2 1\n")},
        {"facet list cycle", Replace(g, "0 -1 -1 -1 -1 -1", "0 -1 0 -1 -1 -1")},
        {"vertex ring cycle", Replace(Replace(g, "0 -1 -1 -1 -1 -1", "0 -1 -1 -1 -1 0"), "\n0 2\n0 1", "\n0 2\n0 1")},
        {"nan coordinate", Replace(g, kOne, "nan")},
        {"infinite coordinate", Replace(g, kOne, "inf")},
        {"garbage token", Replace(g, "\n0 2 0 1\n", "\n0 2 x 1\n")},
        {"fraction where an id belongs", Replace(g, "\n0 1 1\n", "\n0 1.5 1\n")},
        {"extra text at the end", g + "7\n"},
        {"one facet on both sides", Replace(g, "0 -1 1 -1 2 1", "0 0 1 -1 2 1")},
        {"edge missing from a ring", Replace(g, "\n0 2\n0 1\n1 2\n", "\n0 0\n0 1\n1 2\n")},
        {"empty file", ""},
        // Edges without facets: out of both rings they are kept, but not
        // when a ring still holds them or they still link a ring.
        {"free edge in one ring only", Replace(DetachedTriangle(), "\n-1 -1\n-1 -1\n-1 -1\n", "\n0 0\n-1 -1\n-1 -1\n")},
        {"free edge with a ring link", Replace(DetachedTriangle(), "-1 -1 -1 -1 -1 -1", "-1 -1 -1 -1 1 -1")},
    };
}
} // namespace

TEST(SurfaceDump, HostileFilesLeaveTheBodyUnchanged)
{
    TempDir dir;
    for (const Hostile& h : HostileDumps()) {
        SCOPED_TRACE(h.name);
        ASSERT_NE(h.text, GoldenTriangle());
        WriteText(dir.File("bad.txt"), h.text);
        G3Surface* s = MakeTetrahedron();
        std::string error;
        EXPECT_FALSE(s->Load(dir.File("bad.txt").c_str(), &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(s->GetVertexCount(), 4);
        EXPECT_EQ(s->GetEdgeCount(), 6);
        EXPECT_EQ(s->GetFacetCount(), 4);
        EXPECT_EQ(ValidateTopology(s), "");
        delete s;
    }
    G3Surface s;
    std::string error;
    EXPECT_FALSE(s.Load(dir.File("missing.txt").c_str(), &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
    EXPECT_FALSE(s.Load(nullptr));
    EXPECT_FALSE(s.Save(dir.File("no/such/dir.txt").c_str()));
}

TEST(SurfaceDump, LoadAppendsToABodyThatHasElements)
{
    TempDir dir;
    WriteText(dir.File("t.txt"), GoldenTriangle());
    G3Surface* s = MakeTetrahedron();
    ASSERT_TRUE(s->Load(dir.File("t.txt").c_str()));
    EXPECT_EQ(s->GetVertexCount(), 7);
    EXPECT_EQ(s->GetFacetCount(), 5);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_NEAR(s->GetFacet(4)->GetPlaneC(), 1.0, 1e-12);
    delete s;
}

TEST(SurfaceDump, RandomlyCorruptedDumpsNeverHalfLoad)
{
    TempDir dir;
    G3Surface* source = MakeCubeWithBridgedHole();
    ASSERT_TRUE(source->Save(dir.File("good.txt").c_str()));
    std::string good = ReadText(dir.File("good.txt"));
    delete source;
    // Token positions, to replace one token at a time.
    std::vector<std::pair<std::size_t, std::size_t>> tokens;
    for (std::size_t at = 0; at < good.size();) {
        std::size_t end = good.find_first_of(" \n", at);
        tokens.emplace_back(at, end - at);
        at = end + 1;
    }
    const char* replacements[] = {"-1", "0", "1", "15", "25", "-7", "999999", "x", "1e400", ""};
    std::mt19937 random(2024);
    int refused = 0;
    for (int trial = 0; trial < 400; ++trial) {
        auto token = tokens[random() % tokens.size()];
        std::string text = good;
        text.replace(token.first, token.second, replacements[random() % 10]);
        WriteText(dir.File("bad.txt"), text);
        G3Surface s;
        std::string error;
        if (s.Load(dir.File("bad.txt").c_str(), &error)) {
            EXPECT_EQ(ValidateTopology(&s), "") << "accepted a broken body, trial " << trial;
        } else {
            EXPECT_EQ(s.GetVertexCount() + s.GetEdgeCount() + s.GetFacetCount(), 0);
            ++refused;
        }
    }
    EXPECT_GT(refused, 300);
}

TEST(SurfaceDump, OnlyRegularFilesAreRead)
{
    // A directory, a FIFO without a writer and an endless device are refused
    // at once, with the body left as it was.
    TempDir dir;
    const std::string sub = dir.File("d.g3s");
    ASSERT_EQ(::mkdir(sub.c_str(), 0700), 0);
    const std::string fifo = dir.File("f.g3s");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {sub, fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        std::unique_ptr<G3Surface> s(MakeCube());
        std::string error;
        EXPECT_FALSE(s->Load(path.c_str(), &error));
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
        EXPECT_EQ(s->GetFacetCount(), 6);
    }
}

namespace {
// A sphere whose dump is a few megabytes: larger than any read buffer, so
// tokens and lines fall across the parts the file is read in.
std::string LargeSphereDump(const TempDir& dir, std::unique_ptr<G3Surface>& sphere)
{
    sphere.reset(MakeSphere(90, 120));
    EXPECT_TRUE(sphere->Save(dir.File("sphere.txt").c_str()));
    return ReadText(dir.File("sphere.txt"));
}

int LineCount(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}
} // namespace

TEST(SurfaceDump, LargeDumpsLoadExactlyWhereverTheirTokensFall)
{
    TempDir dir;
    std::unique_ptr<G3Surface> sphere;
    const std::string dump = LargeSphereDump(dir, sphere);
    ASSERT_GT(dump.size(), std::size_t{2} << 20);
    // Leading blanks shift every token by one byte more in each case. The
    // loaded body saves to the same text: every coordinate and link came
    // back (the round trip of small bodies is checked element by element).
    for (int shift : {0, 1, 2, 3, 5}) {
        SCOPED_TRACE(shift);
        WriteText(dir.File("shifted.txt"), std::string(static_cast<std::size_t>(shift), ' ') + dump);
        G3Surface loaded;
        std::string error;
        ASSERT_TRUE(loaded.Load(dir.File("shifted.txt").c_str(), &error)) << error;
        EXPECT_EQ(loaded.GetFacetCount(), sphere->GetFacetCount());
        ASSERT_TRUE(loaded.Save(dir.File("again.txt").c_str()));
        EXPECT_EQ(ReadText(dir.File("again.txt")), dump);
    }
}

TEST(SurfaceDump, ErrorsNameTheirLineFarIntoALargeDump)
{
    TempDir dir;
    std::unique_ptr<G3Surface> sphere;
    const std::string dump = LargeSphereDump(dir, sphere);
    const std::size_t lastToken = dump.find_last_of(' ') + 1;
    struct Case {
        const char* name;
        std::string text;
        std::string error;
    };
    const std::string lines = std::to_string(LineCount(dump));
    const Case cases[] = {
        {"bad last token", dump.substr(0, lastToken) + "x\n", "line " + lines + ": not an integer: 'x'"},
        {"missing last token", dump.substr(0, lastToken), "line " + lines + ": the file ends too early"},
        {"extra token", dump + "\n\n7\n",
         "line " + std::to_string(LineCount(dump) + 3) + ": unexpected text after the last record"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(dir.File("bad.txt"), c.text);
        G3Surface loaded;
        std::string error;
        EXPECT_FALSE(loaded.Load(dir.File("bad.txt").c_str(), &error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(loaded.GetVertexCount() + loaded.GetEdgeCount() + loaded.GetFacetCount(), 0);
    }
}

TEST(SurfaceDump, ATokenLongerThanAnyReadBufferIsQuotedWhole)
{
    TempDir dir;
    const std::string digits(std::size_t{5} << 20, '7');
    WriteText(dir.File("long.txt"), digits + " 0 0 1 0\n");
    G3Surface s;
    std::string error;
    EXPECT_FALSE(s.Load(dir.File("long.txt").c_str(), &error));
    EXPECT_EQ(error, "line 1: not an integer: '" + digits + "'");
}

// Every integer of a dump is read the way strtol reads a whole token in
// the int range: plain digits, one sign, leading zeros, the range's ends.
// Anything else is refused with the token quoted. The token is read both
// with whitespace after it and as the last byte of the file.
TEST(SurfaceDump, IntegerTokensReadAsStrtolReadsThem)
{
    const char* tokens[] = {"0",
                            "7",
                            "-0",
                            "-12",
                            "+12",
                            "0012",
                            "-0012",
                            "999999999",
                            "-999999999",
                            "1000000000",
                            "2147483647",
                            "-2147483648",
                            "2147483648",
                            "-2147483649",
                            "00000000000000000042",
                            "12a",
                            "a12",
                            "-",
                            "+",
                            "--1",
                            "+-5",
                            "-+5",
                            "1.0",
                            "1e3",
                            "0x10",
                            "99999999999999999999"};
    TempDir dir;
    for (const char* token : tokens) {
        char* end = nullptr;
        errno = 0;
        const long expected = std::strtol(token, &end, 10);
        const bool isInt = *token != '\0' && *end == '\0' && errno == 0 && expected >= INT_MIN && expected <= INT_MAX;
        for (const char* after : {" 0\n", ""}) {
            const std::string text = after[0] ? std::string("0 0 0 ") + token + after : std::string("0 0 0 1 ") + token;
            WriteText(dir.File("int.txt"), text);
            G3Surface s;
            std::string error;
            EXPECT_EQ(s.Load(dir.File("int.txt").c_str(), &error), isInt) << "'" << text << "'";
            if (!isInt) {
                EXPECT_EQ(error, std::string("line 1: not an integer: '") + token + "'");
            } else if (after[0]) {
                EXPECT_EQ(s.GetNextSurfaceCounter(), expected) << "'" << text << "'";
            }
        }
    }
}
