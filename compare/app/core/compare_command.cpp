#include "compare_command.h"

#include "bitmap_file.h"
#include "file_kind.h"
#include "pixel_compare.h"
#include "string_ids.h"
#include "text_table.h"
#include "user_interface.h"

#include "twinview/draftora_engine.h"
#include "twinview/private_temp_dir.h"

#include <QFile>
#include <QFileInfo>

#include <exception>
#include <system_error>

namespace {

bool IsPlainFile(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isFile();
}

std::string FullPath(const QString& path)
{
    return QFileInfo(path).absoluteFilePath().toStdString();
}

} // namespace

CCompareCommand::CCompareCommand(IUserInterface& ui, const IStrings& strings, CPrivateTempDir& tempDir,
                                 CDraftoraEngine* engine, bool engineReady)
    : m_ui(ui), m_strings(strings), m_tempDir(tempDir), m_engine(engine),
      m_engineReady(engineReady && engine != nullptr)
{
}

CCompareCommand::~CCompareCommand()
{
    DeleteTemporaryBitmaps();
}

void CCompareCommand::DeleteTemporaryBitmaps()
{
    for (QString* path : {&m_temporary1, &m_temporary2}) {
        if (!path->isEmpty())
            QFile::remove(*path);
        path->clear();
    }
}

CompareOutcome CCompareCommand::Run(const QString& file1, const QString& file2, const TwinviewSettings& settings)
{
    DeleteTemporaryBitmaps();
    CompareOutcome outcome;
    if (!CheckFiles(file1, file2))
        return outcome;
    // From here on any failure leaves no bitmaps at all, so that the view
    // never offers a new first bitmap beside an old second one.
    outcome.status = CompareStatus::Failed;
    try {
        QString bitmap1;
        QString bitmap2;
        if (MakeBitmaps(file1, file2, settings, bitmap1, bitmap2) &&
            ReadBitmaps(bitmap1, bitmap2, outcome.first, outcome.second) && Compare(outcome)) {
            outcome.status = CompareStatus::Compared;
            return outcome;
        }
    } catch (const std::exception&) {
        Show(ids::kCannotRead);
    }
    CompareOutcome failed;
    failed.status = CompareStatus::Failed;
    failed.differentSizes = outcome.differentSizes;
    return failed;
}

bool CCompareCommand::MakeImages(const QString& file1, const QString& file2, const TwinviewSettings& settings,
                                 QImage& first, QImage& second)
{
    DeleteTemporaryBitmaps();
    if (!CheckFiles(file1, file2))
        return false;
    try {
        QString bitmap1;
        QString bitmap2;
        return MakeBitmaps(file1, file2, settings, bitmap1, bitmap2) && ReadBitmaps(bitmap1, bitmap2, first, second);
    } catch (const std::exception&) {
        Show(ids::kCannotRead);
    }
    return false;
}

// Stops at the first fault: file 1 missing, file 2 missing, file 1 not
// supported, file 2 not supported.
bool CCompareCommand::CheckFiles(const QString& file1, const QString& file2)
{
    for (const QString& file : {file1, file2}) {
        if (!IsPlainFile(file)) {
            Show(ids::kWrongPath, {file});
            return false;
        }
    }
    for (const QString& file : {file1, file2}) {
        if (!IsSupported(file)) {
            Show(ids::kNotSupported, {file});
            return false;
        }
    }
    return true;
}

// Raster files are their own bitmaps; drawings get a temporary bitmap that
// the engine renders.
bool CCompareCommand::MakeBitmaps(const QString& file1, const QString& file2, const TwinviewSettings& settings,
                                  QString& bitmap1, QString& bitmap2)
{
    const bool render1 = NeedsRendering(file1);
    const bool render2 = NeedsRendering(file2);
    try {
        if (render1)
            m_temporary1 = QString::fromStdString(m_tempDir.NewFileName("cmp", ".BMP"));
        if (render2)
            m_temporary2 = QString::fromStdString(m_tempDir.NewFileName("cmp", ".BMP"));
    } catch (const std::system_error&) {
        // The temporary directory went away (a cleaner removed it).
        Show(ids::kCannotRead);
        return false;
    }
    bitmap1 = render1 ? m_temporary1 : file1;
    bitmap2 = render2 ? m_temporary2 : file2;
    if (!render1 && !render2)
        return true;
    const bool drawing = KindOfFile(file1) == FileKind::Drawing || KindOfFile(file2) == FileKind::Drawing;
    if (drawing && m_engineReady)
        return RenderWithEngine(file1, file2, settings);
    // No engine here renders the other drawing formats.
    Show(ids::kCannotRead);
    return false;
}

bool CCompareCommand::RenderWithEngine(const QString& file1, const QString& file2, const TwinviewSettings& settings)
{
    if (IsSameFile(file1, file2)) {
        Show(ids::kSameFile);
        return false;
    }
    RenderRequest request;
    request.drawing1 = FullPath(file1);
    request.bitmap1 = m_temporary1.toStdString();
    request.drawing2 = FullPath(file2);
    request.bitmap2 = m_temporary2.toStdString();
    request.imageSize = settings.imageSize;
    request.changeColour = settings.changeColour;
    request.colour = settings.colour;
    const RenderResult result = m_engine->RenderPair(request);
    for (const RenderMessage& message : result.messages) {
        if (message.kind == RenderMessageKind::RetryComparison)
            Show(ids::kRetryComparison);
        else
            m_ui.ShowMessage({0, QString::fromStdString(message.text)}, m_strings.Get(ids::kAppTitle));
    }
    if (!result.ok)
        Show(ids::kCannotRead);
    m_ui.BringToFront();
    return result.ok;
}

bool CCompareCommand::ReadBitmaps(const QString& bitmap1, const QString& bitmap2, QImage& first, QImage& second)
{
    ReadBitmapFiles(bitmap1, bitmap2, first, second);
    if (first.isNull() || second.isNull()) {
        Show(ids::kCannotRead);
        return false;
    }
    return true;
}

bool CCompareCommand::Compare(CompareOutcome& outcome)
{
    const QSize size1 = outcome.first.size();
    const QSize size2 = outcome.second.size();
    if (size1 != size2) {
        outcome.differentSizes = std::pair{size1, size2};
        Show(ids::kDifferentSize,
             {QString::number(size1.width()), QString::number(size1.height()), QString::number(size2.width()),
              QString::number(size2.height())});
        return false;
    }
    PixelDifference difference;
    difference.image = TakeRecycled();
    ComparePixels(outcome.first, outcome.second, difference);
    if (difference.image.isNull()) {
        Show(ids::kCannotRead);
        return false;
    }
    Show(difference.differs ? ids::kDifferencesDetected : ids::kNoDifferences);
    outcome.difference = difference.image;
    outcome.differingPixels = difference.count;
    if (difference.differs)
        outcome.differenceBox = difference.box;
    return true;
}

void CCompareCommand::Show(int stringId, const QStringList& arguments)
{
    m_ui.ShowMessage({stringId, m_strings.Format(stringId, arguments)}, m_strings.Get(ids::kAppTitle));
}
