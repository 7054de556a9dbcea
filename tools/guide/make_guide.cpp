// Writes the player's guide at build time: the template with the map's legend filled in (each picture drawn by
// the map's own cell painter, inline), and the screenshot beside it.
//   make-guide <guide.html.in> <screenshot.png> <output folder>
#include "mapview/levelpicture.h"
#include "mapview/mapicons.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: make-guide <guide.html.in> <screenshot.png> <output folder>\n", stderr);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    const QString out = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(out);

    const veldor::MapIcons icons;
    QString legend = QStringLiteral("<table class=\"legend\">\n");
    for (const veldor::LegendEntry& entry : veldor::LegendEntries()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        veldor::LegendPicture(entry, icons).save(&buffer, "PNG");
        const int shown = 2 * (veldor::kLegendCell + 2 * veldor::kLegendMargin);
        legend +=
            QStringLiteral("<tr><td><img width=\"%1\" height=\"%1\" alt=\"\" src=\"data:image/png;base64,%2\"></td>"
                           "<td>%3</td></tr>\n")
                .arg(shown)
                .arg(QString::fromLatin1(png.toBase64()), entry.name.toHtmlEscaped());
    }
    legend += QStringLiteral("</table>");

    QFile guide(QDir(out).filePath(QStringLiteral("guide.html")));
    if (!guide.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    guide.write(QString::fromUtf8(in.readAll()).replace(QStringLiteral("@LEGEND@"), legend).toUtf8());
    const QString shot = QDir(out).filePath(QStringLiteral("screenshot.png"));
    QFile::remove(shot);
    return QFile::copy(QString::fromLocal8Bit(argv[2]), shot) && guide.flush() ? 0 : 1;
}
