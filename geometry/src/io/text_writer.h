#pragma once
// Buffered writing of text records to a C file, with a sticky error flag.

#include <cstdio>
#include <string>

class G3TextWriter {
public:
    explicit G3TextWriter(FILE* file) : m_File(file) { m_Buffer.reserve(1 << 20); }
    ~G3TextWriter() { Flush(); }
    G3TextWriter(const G3TextWriter&) = delete;
    G3TextWriter& operator=(const G3TextWriter&) = delete;

    void Text(const char* text)
    {
        m_Buffer += text;
        Spill();
    }
    void Int(int value);
    // Round-trip exact: more decimals when `decimals` would lose bits.
    void Fixed(double value, int decimals);
    // Exactly `decimals` decimals.
    void FixedPlain(double value, int decimals);
    // Ints separated by single spaces, then a newline.
    void IntLine(const int* values, int count);
    bool Flush();
    bool Ok() const { return m_Ok; }

private:
    void Spill()
    {
        if (m_Buffer.size() >= (1 << 20))
            Flush();
    }

    FILE* m_File;
    std::string m_Buffer;
    bool m_Ok = true;
};
