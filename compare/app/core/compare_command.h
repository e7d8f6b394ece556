// The Compare command: checks the two files, has the Draftora engine render
// drawings into temporary bitmaps, reads the bitmaps, compares them and
// reports the result.
#pragma once

#include "int_rect.h"
#include "settings.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

class CDraftoraEngine;
class CPrivateTempDir;
class IStrings;
class IUserInterface;

enum class CompareStatus {
    CheckFailed, // a file is missing or not supported: nothing else changes
    Failed,      // the files could not be compared: no bitmaps are left
    Compared,
};

struct CompareOutcome {
    CompareStatus status = CompareStatus::CheckFailed;
    QImage first;
    QImage second;
    QImage difference;
    // The differing pixels (both ends included), when there are any.
    std::optional<IntRect> differenceBox;
    // How many pixels differ (when compared).
    std::int64_t differingPixels = 0;
    // The two sizes, when the images were read but differ in size.
    std::optional<std::pair<QSize, QSize>> differentSizes;
};

class CCompareCommand {
public:
    // `engine` may be null, and `engineReady` false, when no engine is there:
    // then only raster files can be compared.
    CCompareCommand(IUserInterface& ui, const IStrings& strings, CPrivateTempDir& tempDir, CDraftoraEngine* engine,
                    bool engineReady);
    // Deletes the temporary bitmaps of the last comparison.
    ~CCompareCommand();
    CCompareCommand(const CCompareCommand&) = delete;
    CCompareCommand& operator=(const CCompareCommand&) = delete;

    CompareOutcome Run(const QString& file1, const QString& file2, const TwinviewSettings& settings);

    // The two files as images (drawings rendered by the engine), without
    // comparing them; false after a message when they cannot be had.
    bool MakeImages(const QString& file1, const QString& file2, const TwinviewSettings& settings, QImage& first,
                    QImage& second);
    void DeleteTemporaryBitmaps();

    // Hands back the difference image of the previous comparison, which the
    // next comparison writes into when it has the size and nobody else holds
    // it: a new image of 10^8 pixels costs more in first touches of its pages
    // than the comparison itself. TakeRecycled gives it back unused (after a
    // failed check, which keeps the previous comparison).
    void Recycle(QImage difference) { m_recycled = std::move(difference); }
    QImage TakeRecycled() { return std::exchange(m_recycled, QImage()); }
    const QString& TemporaryBitmap1() const { return m_temporary1; }
    const QString& TemporaryBitmap2() const { return m_temporary2; }

private:
    bool CheckFiles(const QString& file1, const QString& file2);
    bool MakeBitmaps(const QString& file1, const QString& file2, const TwinviewSettings& settings, QString& bitmap1,
                     QString& bitmap2);
    bool RenderWithEngine(const QString& file1, const QString& file2, const TwinviewSettings& settings);
    bool ReadBitmaps(const QString& bitmap1, const QString& bitmap2, QImage& first, QImage& second);
    bool Compare(CompareOutcome& outcome);
    void Show(int stringId, const QStringList& arguments = {});

    IUserInterface& m_ui;
    const IStrings& m_strings;
    CPrivateTempDir& m_tempDir;
    CDraftoraEngine* m_engine;
    bool m_engineReady;
    QString m_temporary1;
    QString m_temporary2;
    QImage m_recycled;
};
