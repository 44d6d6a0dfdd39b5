// Draws the program's pictures (window icon, the write button's picture, the About emblem and the
// two small button glyphs) into the folder given as the only argument. Run by hand when a picture
// changes; the PNGs are kept with the sources.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kAccent(0x1f, 0x6f, 0xeb);
const QColor kAccentDark(0x13, 0x4f, 0xb0);
const QColor kInk(0x1c, 0x27, 0x36);

QImage Blank(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A chip with pins on two sides and an arrow into it: "firmware goes into the device".
void DrawChip(QPainter& p, QRectF box, const QColor& body, const QColor& mark, bool pins) {
    const qreal s = box.width();
    const QRectF chip = box.adjusted(s * 0.2, s * 0.2, -s * 0.2, -s * 0.2);
    if (pins) {
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        const int count = 3;
        for (int i = 0; i < count; ++i) {
            const qreal y = chip.top() + chip.height() * (i + 0.5) / count - s * 0.035;
            p.drawRect(QRectF(box.left() + s * 0.08, y, s * 0.12, s * 0.07));
            p.drawRect(QRectF(chip.right(), y, s * 0.12, s * 0.07));
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(chip, s * 0.07, s * 0.07);
    // The arrow, pointing down into the chip.
    QPainterPath arrow;
    const qreal cx = chip.center().x();
    const qreal top = chip.top() + chip.height() * 0.18;
    const qreal bottom = chip.bottom() - chip.height() * 0.16;
    const qreal shaft = chip.width() * 0.11;
    const qreal head = chip.width() * 0.30;
    const qreal headTop = bottom - chip.height() * 0.30;
    arrow.moveTo(cx - shaft, top);
    arrow.lineTo(cx + shaft, top);
    arrow.lineTo(cx + shaft, headTop);
    arrow.lineTo(cx + head, headTop);
    arrow.lineTo(cx, bottom);
    arrow.lineTo(cx - head, headTop);
    arrow.lineTo(cx - shaft, headTop);
    arrow.closeSubpath();
    p.setBrush(mark);
    p.drawPath(arrow);
}

QImage Icon(int size) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, kAccent);
    fill.setColorAt(1, kAccentDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size * 0.22, size * 0.22);
    DrawChip(p, QRectF(0, 0, size, size), Qt::white, kAccentDark, size >= 24);
    return image;
}

QImage WritePicture() {
    QImage image = Blank(24, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawChip(p, QRectF(0, 0, 24, 24), Qt::white, kAccent, true);
    return image;
}

QImage Globe() {
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(kAccent, 1.3);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF r(2, 2, 12, 12);
    p.drawEllipse(r);
    p.drawEllipse(QRectF(5.2, 2, 5.6, 12));
    p.drawLine(QPointF(2.3, 8), QPointF(13.7, 8));
    p.drawLine(QPointF(8, 2), QPointF(8, 14));
    return image;
}

QImage Info() {
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 3.8, 2, 2));
    p.drawRoundedRect(QRectF(7, 6.8, 2, 5.6), 0.8, 0.8);
    return image;
}

// The drop-down lists' arrow: a small chevron.
QImage ArrowDown() {
    QImage image = Blank(10, 6);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x5b, 0x67, 0x78), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawPolyline(QPolygonF({QPointF(1.5, 1.2), QPointF(5, 4.6), QPointF(8.5, 1.2)}));
    return image;
}

QImage Emblem() {
    QImage image = Blank(120, 89);  // transparent, so it sits on any skin's window colour
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // The badge: the icon's rounded square with the chip, large.
    QLinearGradient fill(0, 6, 0, 52);
    fill.setColorAt(0, kAccent);
    fill.setColorAt(1, kAccentDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    const QRectF badge(38, 4, 44, 44);
    p.drawRoundedRect(badge, 10, 10);
    DrawChip(p, badge, Qt::white, kAccentDark, true);
    QFont name("DejaVu Sans");
    name.setPixelSize(17);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(name);
    p.setPen(kInk);
    p.drawText(QRectF(0, 50, 120, 22), Qt::AlignCenter, "VELOR");
    QFont sub("DejaVu Sans");
    sub.setPixelSize(9);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(sub);
    p.setPen(QColor(0x5b, 0x67, 0x78));
    p.drawText(QRectF(0, 71, 120, 14), Qt::AlignCenter, "BOOTLOADER");
    return image;
}

bool Save(const QImage& image, const QString& folder, const char* name) {
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velor-draw-pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QImage icon32 = Icon(32);
    QImage icon32Palette = icon32.convertToFormat(QImage::Format_Indexed8);
    const bool ok =
        Save(icon32, folder, "icon-32.png") && Save(Icon(16), folder, "icon-16.png") &&
        Save(icon32Palette, folder, "icon-32-8bit.png") &&
        Save(Icon(16).convertToFormat(QImage::Format_Indexed8), folder, "icon-16-8bit.png") &&
        Save(WritePicture(), folder, "write-24.png") && Save(Globe(), folder, "web-16.png") &&
        Save(Info(), folder, "info-16.png") && Save(ArrowDown(), folder, "arrow-down.png") &&
        Save(Emblem(), folder, "emblem.png");
    return ok ? 0 : 1;
}
