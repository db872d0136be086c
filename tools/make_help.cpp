// make_help: lays out the program's help, written in Markdown, as an A4 PDF.
//
//     make_help HELP.md ICON_DIR OUT.pdf
//
// Images written as "![text](icons/<name>.svg)" are taken from ICON_DIR and
// shown at the height of a line of text. The Markdown reader drops images
// without a text, so the text is required.

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <cstdio>

namespace {

constexpr int kIconSide = 18;        // shown size, pixels at 96 dpi
constexpr int kIconResolution = 96;  // rendered size, sharp enough for print

class HelpDocument : public QTextDocument {
public:
    explicit HelpDocument(QString iconDir) : iconDir_(std::move(iconDir)) {}

    bool ImagesMissing() const { return imagesMissing_; }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QString path = name.path();
        if (type != QTextDocument::ImageResource || !path.startsWith("icons/"))
            return QTextDocument::loadResource(type, name);
        QSvgRenderer renderer(iconDir_ + "/" + path.mid(6));
        if (!renderer.isValid()) {
            std::fprintf(stderr, "make_help: нет рисунка %s\n", qPrintable(path));
            imagesMissing_ = true;
            return {};
        }
        QImage image(kIconResolution, kIconResolution, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        return image;
    }

private:
    QString iconDir_;
    bool imagesMissing_ = false;
};

// Sets every image to the height of a line; returns how many there are.
int SizeImages(QTextDocument& doc)
{
    QList<QPair<int, int>> ranges;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                ranges << qMakePair(it.fragment().position(), it.fragment().length());
    for (const auto& [position, length] : ranges) {
        QTextCursor cursor(&doc);
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        QTextImageFormat format = cursor.charFormat().toImageFormat();
        format.setWidth(kIconSide);
        format.setHeight(kIconSide);
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        cursor.setCharFormat(format);
    }
    return int(ranges.size());
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "make_help: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // A build step: no display is needed or wanted.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) return Fail("вызов: make_help HELP.md ICON_DIR OUT.pdf");
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    const QString outPath = QString::fromLocal8Bit(argv[3]);

    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text))
        return Fail(QString("не удалось прочитать %1: %2").arg(sourcePath, source.errorString()));
    const QString markdown = QString::fromUtf8(source.readAll());

    HelpDocument doc(QString::fromLocal8Bit(argv[2]));
    QFont font;
    font.setFamilies({"DejaVu Sans", "Liberation Sans"});
    font.setPointSizeF(10);
    doc.setDefaultFont(font);
    doc.setMarkdown(markdown);
    const qsizetype written = markdown.count(QRegularExpression(R"(!\[[^\]]*\]\()"));
    if (SizeImages(doc) != written) return Fail("в справке есть рисунки без подписи ![подпись](файл)");

    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly))
        return Fail(QString("не удалось создать %1: %2").arg(outPath, out.errorString()));
    {
        QPdfWriter pdf(&out);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setTitle("Stelmar: справка");
        pdf.setCreator("Stelmar");
        doc.print(&pdf);
    }
    if (doc.ImagesMissing()) {
        out.cancelWriting();
        return Fail("в справке есть ссылки на несуществующие рисунки");
    }
    if (!out.commit()) return Fail(QString("не удалось записать %1: %2").arg(outPath, out.errorString()));
    return 0;
}
