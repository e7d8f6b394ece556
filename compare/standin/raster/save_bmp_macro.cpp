#include "save_bmp_macro.h"

#include "canvas.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace draftora {

namespace {

std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(Trim(text.substr(start, end == std::string::npos ? end : end - start)));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

template <class T> std::optional<T> ParseNumber(const std::string& token)
{
    const std::string t = Trim(token);
    T value{};
    const auto result = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || result.ec != std::errc() || result.ptr != t.data() + t.size())
        return std::nullopt;
    return value;
}

// Reads the keys of one ">SaveBmp" block, one line at a time.
class SaveBmpReader {
public:
    void Key(int line, const std::string& text)
    {
        if (text.empty() || text[0] != '<')
            throw MacroError(line, "expected a '<Key value' line, found '" + text + "'");
        const std::size_t space = text.find(' ');
        const std::string key = text.substr(1, space == std::string::npos ? space : space - 1);
        const std::string value = space == std::string::npos ? std::string() : Trim(text.substr(space));
        if (key == "PointXYZ")
            Point(line, value);
        else if (key == "FileName")
            FileName(line, value);
        else if (key == "Type")
            m_command.type = Integer(line, key, value, m_typeSeen);
        else if (key == "Width")
            m_command.width = Integer(line, key, value, m_widthSeen);
        else
            throw MacroError(line, "unknown key '<" + key + "'");
    }

    SaveBmpCommand Finish(int line) const
    {
        if (m_points != 2 || m_command.fileName.empty() || !m_typeSeen || !m_widthSeen)
            throw MacroError(line, ">SaveBmp needs two <PointXYZ, a <FileName, a <Type and a <Width");
        if (m_command.type != 1)
            throw MacroError(line, "bitmap type " + std::to_string(m_command.type) + " is not supported (only type 1)");
        if (m_command.width < 1 || m_command.width > kMaxImageSide)
            throw MacroError(line,
                             "the width " + std::to_string(m_command.width) + " is not within 1.." +
                                 std::to_string(kMaxImageSide));
        return m_command;
    }

private:
    void Point(int line, const std::string& value)
    {
        if (m_points == 2)
            throw MacroError(line, "more than two <PointXYZ");
        double xyz[3];
        std::size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            const std::size_t comma = value.find(',', start);
            if ((i < 2) != (comma != std::string::npos))
                throw MacroError(line, "a point needs three numbers separated by commas");
            const auto number = ParseNumber<double>(value.substr(start, comma - start));
            if (!number || !std::isfinite(*number))
                throw MacroError(line, "'" + value + "' is not a point x,y,z");
            xyz[i] = *number;
            start = comma + 1;
        }
        if (m_points++ == 0) {
            m_command.x0 = xyz[0];
            m_command.y0 = xyz[1];
            m_command.z0 = xyz[2];
        } else {
            m_command.x1 = xyz[0];
            m_command.y1 = xyz[1];
            m_command.z1 = xyz[2];
        }
    }

    void FileName(int line, const std::string& value)
    {
        if (value.size() < 3 || value.front() != '"' || value.back() != '"' || value.find('"', 1) != value.size() - 1)
            throw MacroError(line, "the file name must be one non-empty text in double quotes");
        if (!m_command.fileName.empty())
            throw MacroError(line, "more than one <FileName");
        m_command.fileName = value.substr(1, value.size() - 2);
    }

    static int Integer(int line, const std::string& key, const std::string& value, bool& seen)
    {
        if (seen)
            throw MacroError(line, "more than one <" + key);
        seen = true;
        const auto number = ParseNumber<int>(value);
        if (!number)
            throw MacroError(line, "'" + value + "' is not a whole number for <" + key);
        return *number;
    }

    SaveBmpCommand m_command;
    int m_points = 0;
    bool m_typeSeen = false;
    bool m_widthSeen = false;
};

} // namespace

MacroError::MacroError(int line, const std::string& problem)
    : std::runtime_error("macro line " + std::to_string(line) + ": " + problem)
{
}

std::vector<SaveBmpCommand> ParseMacro(const std::string& text)
{
    const std::vector<std::string> lines = Lines(text);
    std::vector<SaveBmpCommand> commands;
    std::size_t i = 0;
    auto nextLine = [&]() -> std::size_t {
        while (i < lines.size() && lines[i].empty())
            ++i;
        return i;
    };
    while (nextLine() < lines.size()) {
        const int commandLine = static_cast<int>(i) + 1;
        if (lines[i] != ">SaveBmp")
            throw MacroError(commandLine, "unknown command '" + lines[i] + "'");
        ++i;
        if (nextLine() == lines.size() || lines[i] != "{")
            throw MacroError(static_cast<int>(std::min(i, lines.size() - 1)) + 1, "expected '{' after >SaveBmp");
        SaveBmpReader reader;
        for (++i; nextLine() < lines.size() && lines[i] != "}"; ++i)
            reader.Key(static_cast<int>(i) + 1, lines[i]);
        if (i == lines.size())
            throw MacroError(static_cast<int>(lines.size()), "missing '}' of >SaveBmp");
        commands.push_back(reader.Finish(static_cast<int>(i) + 1));
        ++i;
    }
    if (commands.empty())
        throw MacroError(1, "the macro holds no command");
    return commands;
}

} // namespace draftora
