#include "io/text_writer.h"

#include "io/c_locale_numbers.h"

void G3TextWriter::Int(int value)
{
    char text[16];
    m_Buffer.append(text, static_cast<std::size_t>(G3FormatInt(value, text)));
    Spill();
}

void G3TextWriter::Fixed(double value, int decimals)
{
    char text[400];
    m_Buffer.append(text, static_cast<std::size_t>(G3FormatFixed(value, decimals, text)));
    Spill();
}

void G3TextWriter::FixedPlain(double value, int decimals)
{
    char text[400];
    m_Buffer.append(text, static_cast<std::size_t>(G3FormatFixedPlain(value, decimals, text)));
    Spill();
}

void G3TextWriter::IntLine(const int* values, int count)
{
    for (int k = 0; k < count; ++k) {
        if (k)
            m_Buffer += ' ';
        Int(values[k]);
    }
    m_Buffer += '\n';
    Spill();
}

bool G3TextWriter::Flush()
{
    if (!m_Buffer.empty() && m_Ok)
        m_Ok = std::fwrite(m_Buffer.data(), 1, m_Buffer.size(), m_File) == m_Buffer.size();
    m_Buffer.clear();
    return m_Ok;
}
