// Twinview's command line parser. The input is the argument list, one
// argument per NUL-separated piece, in UTF-8. Every file and image path the
// parser keeps must be one of the arguments as given, and an image path
// always asks for a compare.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

#include "command_line_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QStringList arguments;
    std::size_t begin = 0;
    for (std::size_t k = 0; k <= size; ++k)
        if (k == size || data[k] == 0) {
            arguments << QString::fromUtf8(reinterpret_cast<const char*>(data) + begin,
                                           static_cast<qsizetype>(k - begin));
            begin = k + 1;
        }
    CMyCommandLineInfo info;
    info.ParseArguments(arguments);
    for (const QString* kept : {&info.file1, &info.file2, &info.screenshotPath})
        if (!kept->isEmpty() && !arguments.contains(*kept))
            std::abort();
    if (!info.screenshotPath.isEmpty() && !info.compareAtStart)
        std::abort();
    return 0;
}
