// Writes the program's icon: the scalable SVG and one PNG per size given, all from the one
// drawing below, so the menu, the window and the file manager show the same picture.
//   make_icon <output folder> <name> <size>...
// gives <folder>/<name>.svg and <folder>/<size>/<name>.png for each size.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSaveFile>

#include <cstdio>

namespace {

// A yellow "T" on a dark red tile with a darker rim, on a grid of 256 units.
constexpr double kGrid = 256.0;
constexpr double kRadius = kGrid / 6.0;
constexpr double kRim = kGrid / 16.0;
const QColor kTile(0x8b, 0x1a, 0x1a);
const QColor kRimColour(0x3a, 0x08, 0x08);
const QColor kLetter(0xf4, 0xd0, 0x3f);

// The letter's outline: the cross bar, then down and round the stem.
const QPolygonF kT = QPolygonF({{63.5, 54.5},   {192.5, 54.5},  {192.5, 81.8}, {146.0, 81.8},
                                {146.0, 194.5}, {110.0, 194.5}, {110.0, 81.8}, {63.5, 81.8}});

QString svg()
{
    QString letter;
    for (qsizetype i = 0; i < kT.size(); ++i)
        letter += QStringLiteral("%1%2 %3").arg(i == 0 ? QStringLiteral("M") : QStringLiteral("L")).arg(kT[i].x()).arg(kT[i].y());
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
               "  <rect x=\"0.5\" y=\"0.5\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"%4\" stroke=\"%5\" "
               "stroke-width=\"%6\"/>\n"
               "  <path d=\"%7Z\" fill=\"%8\"/>\n"
               "</svg>\n")
        .arg(kGrid)
        .arg(kGrid - 1)
        .arg(kRadius, 0, 'f', 3)
        .arg(kTile.name(), kRimColour.name())
        .arg(kRim)
        .arg(letter, kLetter.name());
}

QImage png(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = size / kGrid;
    painter.setBrush(kTile);
    painter.setPen(QPen(kRimColour, kRim * scale));
    painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), kRadius * scale, kRadius * scale);
    // Small icons keep the letter's edges on whole pixels, so it stays sharp.
    QPolygonF letter;
    for (const QPointF& p : kT) {
        const QPointF scaled = p * scale;
        letter << (size <= 48 ? QPointF(qRound(scaled.x()), qRound(scaled.y())) : scaled);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLetter);
    painter.drawPolygon(letter);
    painter.end();
    return image;
}

bool write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: make_icon <output folder> <name> <size>...\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(out.path()) || !write(out.filePath(name + QStringLiteral(".svg")), svg().toUtf8())) {
        std::fprintf(stderr, "make_icon: cannot write into %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder = out.filePath(QString::number(size));
        if (size < 1 || size > 1024 || !QDir().mkpath(folder) ||
            !png(size).save(QDir(folder).filePath(name + QStringLiteral(".png")), "PNG")) {
            std::fprintf(stderr, "make_icon: cannot make the %s pixel icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
