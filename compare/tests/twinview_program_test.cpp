// The real twinview with the real stand-in engine, each run on a private
// session bus of its own: the sample drawings compared and the window saved,
// raster files, a wrong path, the German language library, and no engine.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString output;
};

class TwinviewProgram : public ::testing::Test {
protected:
    ProgramRun Twinview(const QStringList& arguments, const QString& program = TWINVIEW_PROGRAM,
                        const QString& libraryPath = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        if (!libraryPath.isEmpty())
            environment.insert("LD_LIBRARY_PATH", libraryPath);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(DBUS_RUN_SESSION, QStringList{"--", program} + arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput())};
    }

    QString Sample(const char* name) const { return QString(TWINVIEW_SAMPLES) + "/" + name; }

    QTemporaryDir dir;
};

} // namespace

TEST_F(TwinviewProgram, ComparesTheSampleDrawingsAndSavesTheWindow)
{
    const QString shot = dir.filePath("window.png");
    const ProgramRun run = Twinview({"-screenshot", shot, Sample("plan-a.vkd"), Sample("plan-b.vkd")});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(run.output, "Twinview: Differences have been Detected!\n");
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 800);
    EXPECT_GE(image.height(), 600);
}

TEST_F(TwinviewProgram, TheSameRasterFileTwiceHasNoDifferences)
{
    const ProgramRun run = Twinview({"-screenshot", dir.filePath("w.png"), Sample("plan-a.png"), Sample("plan-a.png")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Twinview: No differences detected.\n");
}

TEST_F(TwinviewProgram, AWrongPathIsNamedAndNothingIsSaved)
{
    const QString missing = dir.filePath("missing.vkd");
    const QString shot = dir.filePath("w.png");
    const ProgramRun run = Twinview({"-screenshot", shot, missing, Sample("plan-b.vkd")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "Twinview: The path to file '" + missing + "' is not correct. Please, enter correct path.\n");
}

TEST_F(TwinviewProgram, AnInputIsNeverWrittenOver)
{
    // "-screenshot a.png b.png": the image path was forgotten, and a.png is
    // an input. Nothing is written; a usage error.
    const QString a = dir.filePath("a.png");
    ASSERT_TRUE(QFile::copy(Sample("plan-a.png"), a));
    const QByteArray before = [&] {
        QFile f(a);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    for (const QStringList& arguments : {QStringList{"-screenshot", a, Sample("plan-b.png")},
                                         QStringList{"-screenshot", a, a, Sample("plan-b.png")}}) {
        const ProgramRun run = Twinview(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        QFile f(a);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before) << "an input was overwritten";
    }
    // A compare that fails writes no image.
    const QString shot = dir.filePath("none.png");
    const ProgramRun run = Twinview({"-screenshot", shot, dir.filePath("missing.png"), Sample("plan-b.png")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFile::exists(shot));
}

TEST_F(TwinviewProgram, SaysWhatIsMissingInsteadOfAborting)
{
    // Without any display: a window cannot open (a message, exit 1), an
    // unattended run draws off screen. A TMPDIR that leads nowhere is named.
    auto run = [&](const QStringList& arguments, const QString& tmp) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        if (!tmp.isEmpty())
            environment.insert("TMPDIR", tmp);
        process.setProcessEnvironment(environment);
        process.start(DBUS_RUN_SESSION, QStringList{"--", TWINVIEW_PROGRAM} + arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return std::make_pair(process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()));
    };
    const auto window = run({Sample("plan-a.png"), Sample("plan-b.png")}, {});
    EXPECT_EQ(window.first, 1);
    EXPECT_TRUE(window.second.contains("no display")) << window.second.toStdString();
    const auto unattended = run({"-screenshot", dir.filePath("w.png"), Sample("plan-a.png"), Sample("plan-b.png")}, {});
    EXPECT_EQ(unattended.first, 0) << unattended.second.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("w.png")));
    const auto nowhere =
        run({"-screenshot", dir.filePath("v.png"), Sample("plan-a.png"), Sample("plan-b.png")}, "/nonexistent/tmp");
    EXPECT_EQ(nowhere.first, 1);
    EXPECT_TRUE(nowhere.second.contains("TMPDIR")) << nowhere.second.toStdString();
}

TEST_F(TwinviewProgram, SaysWhenThereIsNoSessionBus)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
    environment.insert("XDG_RUNTIME_DIR", dir.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    process.setProcessEnvironment(environment);
    process.start(TWINVIEW_PROGRAM, {"-screenshot", dir.filePath("w.png"), Sample("plan-a.png"), Sample("plan-b.png")});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 1);
    const QString error = QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_TRUE(error.contains("no session bus")) << error.toStdString();
}

TEST_F(TwinviewProgram, SpeaksGermanWithTheGermanLanguageLibrary)
{
    // A Tolkara of its own, with its INI file and the language library
    // beside it, found first through the library path.
    const QString languages = dir.filePath("languages");
    ASSERT_TRUE(QDir().mkpath(languages));
    ASSERT_TRUE(QFile::copy(TOLKARA_LIBRARY, languages + "/libtolkara.so"));
    ASSERT_TRUE(QFile::copy(TWINVIEW_GERMAN_LIBRARY, languages + "/twinviewde.so"));
    QFile ini(languages + "/libtolkara.INI");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Program]\nDefLang=de\n");
    ini.close();
    const ProgramRun run = Twinview({"-screenshot", dir.filePath("w.png"), Sample("plan-a.vkd"), Sample("plan-b.vkd")},
                                    TWINVIEW_PROGRAM, languages);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, QString::fromUtf8("Twinview: Unterschiede gefunden!\n"));
}

TEST_F(TwinviewProgram, WithoutAnEngineItEndsWithoutAWord)
{
    // A copy of the program in a directory without draftora-engine beside it.
    const QString lonely = dir.filePath("twinview");
    ASSERT_TRUE(QFile::copy(TWINVIEW_PROGRAM, lonely));
    const QString shot = dir.filePath("w.png");
    const ProgramRun run = Twinview({"-screenshot", shot, Sample("plan-a.png"), Sample("plan-b.png")}, lonely);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.isEmpty());
    EXPECT_FALSE(QFile::exists(shot));
}
