// twinview-export-pair: renders two .VKD drawings through the Draftora engine
// exactly as Twinview's comparison does (one common view window) and saves
// the two bitmaps as PNG files.
//
//   twinview-export-pair DRAWING1 DRAWING2 OUT1.png OUT2.png [IMAGE_SIZE]
//
// Needs a session bus; attaches to a running engine or starts the one beside
// this program.

#include "twinview/dbus_engine_system.h"
#include "twinview/draftora_engine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace {

std::string Absolute(const char* path)
{
    return QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath().toStdString();
}

bool SavePng(const std::string& bitmap, const char* png)
{
    const QImage image(QString::fromStdString(bitmap), "BMP");
    if (!image.isNull() && image.save(QString::fromLocal8Bit(png), "PNG"))
        return true;
    std::fprintf(stderr, "twinview-export-pair: cannot convert %s into %s\n", bitmap.c_str(), png);
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: %s DRAWING1 DRAWING2 OUT1.png OUT2.png [IMAGE_SIZE]\n", argv[0]);
        return 2;
    }
    auto tempDir = std::make_shared<CPrivateTempDir>();
    CDraftoraEngine engine(MakeDbusEngineSystem(), tempDir);
    if (!engine.Connect()) {
        std::fprintf(stderr, "twinview-export-pair: no Draftora engine of version 20 or higher\n");
        return 1;
    }
    RenderRequest request;
    request.drawing1 = Absolute(argv[1]);
    request.bitmap1 = tempDir->NewFileName("cmp", ".BMP");
    request.drawing2 = Absolute(argv[2]);
    request.bitmap2 = tempDir->NewFileName("cmp", ".BMP");
    request.imageSize = argc == 6 ? std::atoi(argv[5]) : 1000;
    const RenderResult result = engine.RenderPair(request);
    for (const RenderMessage& message : result.messages)
        std::fprintf(stderr, "%s\n",
                     message.kind == RenderMessageKind::RetryComparison ? "Unable to complete the comparison."
                                                                        : message.text.c_str());
    if (!result.ok)
        return 1;
    return SavePng(request.bitmap1, argv[3]) && SavePng(request.bitmap2, argv[4]) ? 0 : 1;
}
