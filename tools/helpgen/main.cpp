// lumora-helpgen <input.md> <output.pdf> [font family]
// Lays out a Markdown document on A4 pages and writes it as PDF.
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: lumora-helpgen <input.md> <output.pdf> [font family]\n");
        return 2;
    }
    QFile input(args.at(1));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "lumora-helpgen: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }

    QTextDocument document;
    QFont font(args.size() > 3 ? args.at(3) : QStringLiteral("DejaVu Sans"));
    font.setPointSize(11);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(input.readAll()));

    QPdfWriter writer(args.at(2));
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    writer.setCreator(QStringLiteral("Lumora"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setResolution(300);
    document.print(&writer);
    return QFile::exists(args.at(2)) ? 0 : 1;
}
