// twinview-guide: writes the user guide as a PDF file from its Markdown
// source (images are found beside the source).
//
//   twinview-guide SOURCE.md OUTPUT.pdf
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>

namespace {

bool ReadText(const QString& path, QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    text = QString::fromUtf8(file.readAll());
    return true;
}

// Images keep their proportions but fit the width of the text.
void FitImages(QTextDocument& document, double width)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            format.setWidth(width);
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE.md OUTPUT.pdf\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QString markdown;
    if (!ReadText(source, markdown)) {
        std::fprintf(stderr, "twinview-guide: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument document;
    // Relative image paths are resolved against the document's own URL.
    const QUrl base = QUrl::fromLocalFile(QFileInfo(source).absolutePath() + "/");
    document.setBaseUrl(base);
    document.setMetaInformation(QTextDocument::DocumentUrl, base.toString());
    QFont font("DejaVu Sans");
    font.setPointSize(10);
    document.setDefaultFont(font);
    document.setMarkdown(markdown);
    FitImages(document, 560);

    QPdfWriter writer(output);
    writer.setTitle("Twinview user guide");
    writer.setCreator("twinview-guide");
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    document.print(&writer);
    if (!QFileInfo(output).isFile() || QFileInfo(output).size() == 0) {
        std::fprintf(stderr, "twinview-guide: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
