#include "vkd_reader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace draftora {

namespace {

constexpr int kMaxPenWidth = 64;

std::vector<std::string> Tokens(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;)
        tokens.push_back(token);
    return tokens;
}

// What is wrong with one line; the caller adds the file and line number.
struct LineProblem : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads one line's words into a shape or a setting.
class LineReader {
public:
    explicit LineReader(Drawing& drawing) : m_drawing(drawing) {}

    void Read(const std::vector<std::string>& words)
    {
        const std::string& keyword = words[0];
        m_words = &words;
        if (keyword == "background")
            Background();
        else if (keyword == "pen")
            PenSetting();
        else if (keyword == "line")
            AddPoints(ShapeKind::Line, 2, 2);
        else if (keyword == "polyline")
            AddPoints(ShapeKind::Polyline, 2, 0);
        else if (keyword == "polygon")
            AddPoints(ShapeKind::Polygon, 3, 0);
        else if (keyword == "circle")
            Circle();
        else
            throw LineProblem("unknown keyword '" + keyword + "'");
    }

private:
    std::size_t Arguments() const { return m_words->size() - 1; }
    const std::string& Argument(std::size_t i) const { return (*m_words)[i + 1]; }

    void ExpectArguments(std::size_t count, const char* what) const
    {
        if (Arguments() != count)
            throw LineProblem("'" + (*m_words)[0] + "' needs " + what + ", found " + std::to_string(Arguments()) +
                              " values");
    }

    double Number(std::size_t i) const
    {
        const std::string& token = Argument(i);
        double value = 0;
        const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
        if (result.ec != std::errc() || result.ptr != token.data() + token.size() || !std::isfinite(value))
            throw LineProblem("'" + token + "' is not a number");
        return value;
    }

    Rgb Colour(std::size_t i) const
    {
        const std::string& token = Argument(i);
        unsigned value = 0;
        const char* end = token.data() + token.size();
        const auto result = std::from_chars(token.data() + (token.empty() ? 0 : 1), end, value, 16);
        if (token.size() != 7 || token[0] != '#' || result.ec != std::errc() || result.ptr != end)
            throw LineProblem("'" + token + "' is not a colour of the form #RRGGBB");
        return Rgb{std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
    }

    void Background()
    {
        ExpectArguments(1, "a colour");
        if (m_backgroundSeen)
            throw LineProblem("the background is given twice");
        m_backgroundSeen = true;
        m_drawing.background = Colour(0);
    }

    void PenSetting()
    {
        ExpectArguments(2, "a colour and a width");
        const std::string& token = Argument(1);
        int width = 0;
        const auto result = std::from_chars(token.data(), token.data() + token.size(), width);
        if (result.ec != std::errc() || result.ptr != token.data() + token.size() || width < 1 || width > kMaxPenWidth)
            throw LineProblem("the pen width '" + token + "' is not a whole number from 1 to " +
                              std::to_string(kMaxPenWidth));
        m_pen = Pen{Colour(0), width};
    }

    // exactPoints 0: any number of points from minPoints on.
    void AddPoints(ShapeKind kind, std::size_t minPoints, std::size_t exactPoints)
    {
        const std::size_t n = Arguments();
        if (exactPoints != 0 && n != 2 * exactPoints)
            ExpectArguments(2 * exactPoints, (std::to_string(2 * exactPoints) + " numbers").c_str());
        if (n % 2 != 0 || n < 2 * minPoints)
            throw LineProblem("'" + (*m_words)[0] + "' needs at least " + std::to_string(minPoints) +
                              " x y pairs, found " + std::to_string(n) + " values");
        Shape shape{kind, m_pen, {}, 0};
        for (std::size_t i = 0; i < n; i += 2)
            shape.points.push_back({Number(i), Number(i + 1)});
        m_drawing.shapes.push_back(std::move(shape));
    }

    void Circle()
    {
        ExpectArguments(3, "3 numbers");
        const double radius = Number(2);
        if (!(radius > 0))
            throw LineProblem("the circle's radius must be above 0");
        m_drawing.shapes.push_back({ShapeKind::Circle, m_pen, {{Number(0), Number(1)}}, radius});
    }

    Drawing& m_drawing;
    const std::vector<std::string>* m_words = nullptr;
    Pen m_pen;
    bool m_backgroundSeen = false;
};

bool IsBlankOrComment(const std::vector<std::string>& words)
{
    return words.empty() || words[0][0] == '#';
}

void CheckHeader(const std::vector<std::string>& words, const std::string& file)
{
    if (words.size() == 2 && words[0] == "VKD" && words[1] == "1")
        return;
    if (words.size() == 2 && words[0] == "VKD")
        throw VkdError(file, 1, "unsupported format version '" + words[1] + "'");
    throw VkdError(file, 1, "expected the header 'VKD 1'");
}

} // namespace

VkdError::VkdError(const std::string& file, int line, const std::string& problem)
    : std::runtime_error(file + ", line " + std::to_string(line) + ": " + problem), m_line(line)
{
}

Drawing ParseVkd(std::istream& in, const std::string& fileName)
{
    Drawing drawing;
    LineReader reader(drawing);
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        // Editors on other systems begin UTF-8 files with a byte-order mark.
        static const std::string kByteOrderMark = "\xEF\xBB\xBF";
        if (number == 0 && text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
            text.erase(0, kByteOrderMark.size());
        const std::vector<std::string> words = Tokens(text);
        if (++number == 1) {
            CheckHeader(words, fileName);
            continue;
        }
        if (IsBlankOrComment(words))
            continue;
        try {
            reader.Read(words);
        } catch (const LineProblem& problem) {
            throw VkdError(fileName, number, problem.what());
        }
    }
    if (number == 0)
        throw VkdError(fileName, 1, "the file is empty; expected the header 'VKD 1'");
    return drawing;
}

Drawing ReadVkdFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::system_error(errno ? errno : ENOENT, std::generic_category(), "cannot open " + path);
    return ParseVkd(in, path);
}

} // namespace draftora
