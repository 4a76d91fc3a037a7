#include "platform/shape_map_picture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using Look = ShapeMapPicture::Look;

// The share of double stars that gives a region its full tint.
constexpr double kFullTintShare = 0.5;
// The elongation × coherence that makes a region's bar as long as the region is wide.
constexpr double kFullBar = 0.3;
// Whiskers are drawn one pixel wide, which QPainter draws some thirty times faster than any
// wider line: a run of a million stars takes seconds, not minutes. A double's whisker is two
// such lines side by side, so that it is bolder, to be told apart in the night's reds too.
constexpr double kWhiskerWidth = 1;
constexpr double kDoubleSpacing = 0.9;
// From this grid on, a region's numbers stand on one line.
constexpr int kCompactGrid = 5;

struct Colours {
    QColor page;    // around the sensor
    QColor sensor;  // inside its outline
    QColor outline;
    QColor grid;
    QColor single;  // whiskers of single stars
    QColor twin;    // whiskers of double stars
    QColor tint;    // a region's tint at kFullTintShare
    QColor bar;
    QColor halo;  // under bars and numbers, so that they stand out of the whiskers
    QColor text;
    QColor faint;  // the plot's size and the grid beside the title
};

QColor red(int level, int alpha = 255) {
    return {level, 0, 0, alpha};
}

Colours coloursOf(Look look) {
    if (look == Look::Night) {
        return {.page = Qt::black,
                .sensor = red(12),
                .outline = red(120),
                .grid = red(55),
                .single = red(115),
                .twin = red(185),
                .tint = red(150, 95),
                .bar = red(185),
                .halo = QColor(0, 0, 0, 210),
                .text = red(160),
                .faint = red(95)};
    }
    return {.page = QColor(0xf4, 0xf3, 0xef),
            .sensor = Qt::white,
            .outline = QColor(0x33, 0x33, 0x33),
            .grid = QColor(0xc6, 0xc6, 0xc6),
            .single = QColor(0x3f, 0x6e, 0xa6, 190),
            .twin = QColor(0xdd, 0x4b, 0x1f),
            .tint = QColor(0xf2, 0x8e, 0x2b, 120),
            .bar = QColor(0x1b, 0x1b, 0x1b),
            .halo = QColor(255, 255, 255, 215),
            .text = QColor(0x22, 0x22, 0x22),
            .faint = QColor(0x70, 0x70, 0x70)};
}

QFont fontOf(double pixels, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Sans Serif")});
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

QString fixed(const std::optional<double>& value, int decimals) {
    if (!value || !std::isfinite(*value)) return QStringLiteral("—");
    const QString text = QString::number(*value, 'f', decimals);
    const QString zero = QString::number(0.0, 'f', decimals);
    return text == QLatin1Char('-') + zero ? zero : text;  // no "-0.00"
}

QString percent(const std::optional<double>& fraction) {
    if (!fraction || !std::isfinite(*fraction)) return QStringLiteral("—");
    return fixed(100 * *fraction, 0) + QLatin1Char('%');
}

QString degrees(const std::optional<double>& value) {
    if (!value) return QStringLiteral("—");
    const QString text = fixed(value, 0);
    return (text == QLatin1String("180") ? QStringLiteral("0") : text) + QStringLiteral("°");
}

QString signedFixed(const std::optional<double>& value) {
    const QString text = fixed(value, 2);
    return value && *value > 0 && text != QLatin1String("0.00") ? QLatin1Char('+') + text : text;
}

// Where everything goes, in picture pixels.
struct Layout {
    double scale = 1;  // of every length, against a picture kWidth wide
    double margin = 0;
    QRectF title;
    QRectF box;  // the sensor
    QRectF legend;
    QRectF caption;
    QSize size;
};

// The reading as one paragraph per finding.
QStringList captionLines(const ShapeMap& map) {
    QStringList lines;
    for (const ReadingLine& line : map.reading()) lines << QString::fromStdString(line.text);
    return lines;
}

double captionHeight(const QStringList& lines, double width, double scale) {
    const QFontMetricsF heading(fontOf(16 * scale, true));
    const QFontMetricsF body(fontOf(15 * scale));
    double height = heading.height() + 6 * scale;
    for (const QString& line : lines) {
        height += body.boundingRect(QRectF(0, 0, width - 18 * scale, 1e6),
                                    Qt::TextWordWrap | Qt::AlignLeft, line)
                      .height() +
                  6 * scale;
    }
    return height;
}

Layout layoutOf(const ShapeMap& map, int width, bool captioned) {
    Layout l;
    l.scale = width / static_cast<double>(ShapeMapPicture::kWidth);
    l.margin = 28 * l.scale;
    const double inner = width - 2 * l.margin;
    l.title = QRectF(l.margin, l.margin * 0.8, inner, 58 * l.scale);
    // A plot without a size is drawn 3 : 2, the usual sensor.
    const double aspect = map.width() > 0 && map.height() > 0
                              ? static_cast<double>(map.height()) / map.width()
                              : 2.0 / 3;
    double boxWidth = inner;
    double boxHeight = inner * aspect;
    if (boxHeight > inner * 0.8) {  // a sensor upright: not taller than wide
        boxHeight = inner * 0.8;
        boxWidth = boxHeight / aspect;
    }
    l.box = QRectF((width - boxWidth) / 2, l.title.bottom() + 10 * l.scale, boxWidth, boxHeight);
    l.legend = QRectF(l.margin, l.box.bottom() + 14 * l.scale, inner, 30 * l.scale);
    const double captionTop = l.legend.bottom() + 16 * l.scale;
    l.caption = captioned ? QRectF(l.margin, captionTop, inner,
                                   captionHeight(captionLines(map), inner, l.scale))
                          : QRectF(l.margin, l.legend.bottom(), inner, 0);
    l.size = QSize(width, static_cast<int>(std::ceil(l.caption.bottom() + l.margin * 0.8)));
    return l;
}

class MapPainter {
public:
    MapPainter(QPainter& painter, const ShapeMap& map, const Layout& layout, const Colours& c)
        : p_(painter), map_(map), l_(layout), c_(c) {}

    void paint() {
        p_.fillRect(QRectF(QPointF(0, 0), QSizeF(l_.size)), c_.page);
        title();
        p_.fillRect(l_.box, c_.sensor);
        tints();
        p_.save();
        p_.setClipRect(l_.box);
        guides();
        whiskers(false);
        whiskers(true);
        bars();
        p_.restore();
        grid();
        regionNumbers();
        legend();
        if (!l_.caption.isEmpty()) caption();
    }

private:
    double s(double length) const { return length * l_.scale; }

    QPointF at(double x, double y) const {
        const double w = map_.width() > 0 ? map_.width() : 1;
        const double h = map_.height() > 0 ? map_.height() : 1;
        return {l_.box.left() + x / w * l_.box.width(), l_.box.top() + y / h * l_.box.height()};
    }

    QRectF cell(const ShapeRegion& region) const {
        const double w = l_.box.width() / map_.grid();
        const double h = l_.box.height() / map_.grid();
        return {l_.box.left() + (region.column - 1) * w, l_.box.top() + (region.row - 1) * h, w, h};
    }

    // A line through the centre along an angle (degrees, counter-clockwise, y up).
    static QLineF axial(QPointF centre, double angle, double length) {
        const double radians = angle * std::numbers::pi / 180;
        const QPointF half(std::cos(radians) * length / 2, -std::sin(radians) * length / 2);
        return {centre - half, centre + half};
    }

    void title() {
        p_.setPen(c_.text);
        p_.setFont(fontOf(s(22), true));
        const QFontMetricsF big(p_.font());
        const QString name = QStringLiteral("星像マップ");
        p_.drawText(QPointF(l_.title.left(), l_.title.top() + big.ascent()), name);
        p_.setPen(c_.faint);
        p_.setFont(fontOf(s(14)));
        p_.drawText(QPointF(l_.title.left() + big.horizontalAdvance(name) + s(14),
                            l_.title.top() + big.ascent()),
                    QStringLiteral("%1 × %2 px ・ %3 × %3 の領域%4")
                        .arg(map_.width())
                        .arg(map_.height())
                        .arg(map_.grid())
                        .arg(compact() ? QStringLiteral("（数字は 星の数・重星の割合・大きさ）")
                                       : QString()));
        p_.setPen(c_.text);
        p_.setFont(fontOf(s(15)));
        const ShapeSummary& f = map_.frame();
        p_.drawText(QPointF(l_.title.left(), l_.title.bottom() - s(4)),
                    QStringLiteral("星 %1 個（重星 %2）　大きさ %3　伸び %4　向き %5　そろい %6"
                                   "　放射度 %7　四隅の差 %8　周辺の差 %9")
                        .arg(f.n)
                        .arg(percent(f.doubleFraction), fixed(f.size, 2), fixed(f.elongation, 2),
                             degrees(f.direction), fixed(f.coherence, 2), signedFixed(f.radial),
                             percentText(map_.tilt()), percentText(map_.curvature())));
    }

    static QString percentText(const std::optional<double>& value) {
        return value ? fixed(value, 0) + QLatin1Char('%') : QStringLiteral("—");
    }

    void tints() {
        for (const ShapeRegion& region : map_.regions()) {
            const std::optional<double>& share = region.summary.doubleFraction;
            if (!share || !(*share > 0)) continue;
            QColor tint = c_.tint;
            tint.setAlphaF(
                static_cast<float>(c_.tint.alphaF() * std::min(*share / kFullTintShare, 1.0)));
            p_.fillRect(cell(region), tint);
        }
    }

    // The centre, and the rings within which the curvature takes the centre's and beyond which
    // the edge's stars.
    void guides() {
        const QPointF centre = at(map_.width() / 2.0, map_.height() / 2.0);
        const double radius = std::hypot(l_.box.width(), l_.box.height()) / 2;
        QPen pen(c_.grid, s(1), Qt::DashLine);
        p_.setPen(pen);
        p_.setBrush(Qt::NoBrush);
        p_.drawEllipse(centre, radius * 0.25, radius * 0.25);
        p_.drawEllipse(centre, radius * 0.75, radius * 0.75);
        p_.setPen(QPen(c_.outline, s(1.2)));
        p_.drawLine(centre - QPointF(s(7), 0), centre + QPointF(s(7), 0));
        p_.drawLine(centre - QPointF(0, s(7)), centre + QPointF(0, s(7)));
    }

    double whiskerLength(double elongation) const { return s(3) + s(34) * elongation; }

    void whiskers(bool doubles) {
        // Stars off the sensor, and the numbers of a broken star list, are left out of the
        // picture (they are in the numbers).
        const double longest = whiskerLength(1);
        const QRectF room = l_.box.adjusted(-longest, -longest, longest, longest);
        QList<QLineF> lines;
        for (const ShapeStar& star : map_.stars()) {
            const QPointF centre = at(star.x, star.y);
            if (star.isDouble != doubles || !room.contains(centre) || !std::isfinite(star.angle)) {
                continue;
            }
            const double e = star.elongation();
            const QLineF line = axial(centre, static_cast<double>(star.angle),
                                      whiskerLength(std::isfinite(e) ? e : 0));
            lines.append(line);
            if (doubles) lines.append(line.translated(beside(line)));
        }
        p_.setPen(QPen(doubles ? c_.twin : c_.single, kWhiskerWidth, Qt::SolidLine, Qt::FlatCap));
        p_.drawLines(lines);
    }

    // The step to a line's neighbour on its left, kDoubleSpacing pixels away.
    static QPointF beside(const QLineF& line) {
        const QLineF normal = line.normalVector().unitVector();
        return (normal.p2() - normal.p1()) * kDoubleSpacing;
    }

    double barLength(const ShapeRegion& region) const {
        const QRectF r = cell(region);
        const double share = *region.summary.elongation * *region.summary.coherence / kFullBar;
        return std::min(r.width(), r.height()) * 0.86 * std::min(share, 1.0);
    }

    void bars() {
        for (const ShapeRegion& region : map_.regions()) {
            const ShapeSummary& r = region.summary;
            if (!r.direction || !r.coherence || !r.elongation) continue;
            const QLineF bar = axial(cell(region).center(), *r.direction, barLength(region));
            p_.setPen(QPen(c_.halo, s(12), Qt::SolidLine, Qt::RoundCap));
            p_.drawLine(bar);
            p_.setPen(QPen(c_.bar, s(6.5), Qt::SolidLine, Qt::RoundCap));
            p_.drawLine(bar);
        }
    }

    void grid() {
        p_.setPen(QPen(c_.grid, s(1)));
        const int n = map_.grid();
        for (int k = 1; k < n; ++k) {
            const double x = l_.box.left() + l_.box.width() * k / n;
            const double y = l_.box.top() + l_.box.height() * k / n;
            p_.drawLine(QPointF(x, l_.box.top()), QPointF(x, l_.box.bottom()));
            p_.drawLine(QPointF(l_.box.left(), y), QPointF(l_.box.right(), y));
        }
        p_.setPen(QPen(c_.outline, s(2)));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(l_.box);
    }

    // Small grids name their numbers; from 5 × 5 on there is room for the numbers alone, which
    // the title explains.
    bool compact() const { return map_.grid() >= kCompactGrid; }

    QStringList regionLabel(const ShapeSummary& r) const {
        if (compact()) {
            if (r.n == 0) return {QStringLiteral("—")};
            return {QStringLiteral("%1・%2・%3")
                        .arg(r.n)
                        .arg(percent(r.doubleFraction), fixed(r.size, 1))};
        }
        if (r.n == 0) return {QStringLiteral("星なし")};
        return {QStringLiteral("%1 星 ・ 重星 %2").arg(r.n).arg(percent(r.doubleFraction)),
                QStringLiteral("大きさ ") + fixed(r.size, 2)};
    }

    void regionNumbers() {
        p_.setFont(fontOf(s(compact() ? 11 : 12.5)));
        const QFontMetricsF metrics(p_.font());
        for (const ShapeRegion& region : map_.regions()) {
            const QStringList lines = regionLabel(region.summary);
            double width = 0;
            for (const QString& line : lines)
                width = std::max(width, metrics.horizontalAdvance(line));
            const QPointF corner = cell(region).topLeft() + QPointF(s(4), s(4));
            p_.setPen(Qt::NoPen);
            p_.setBrush(c_.halo);
            p_.drawRoundedRect(
                QRectF(corner, QSizeF(width + s(8), metrics.lineSpacing() * lines.size() + s(4))),
                s(3), s(3));
            p_.setPen(c_.text);
            for (qsizetype k = 0; k < lines.size(); ++k) {
                p_.drawText(
                    corner + QPointF(s(4), s(2) + metrics.lineSpacing() * k + metrics.ascent()),
                    lines[k]);
            }
        }
    }

    // One sample and its words; returns where the next begins.
    double legendText(double x, const QString& text) {
        const QFontMetricsF metrics(p_.font());
        p_.setPen(c_.text);
        p_.drawText(QPointF(x, l_.legend.center().y() + metrics.ascent() / 2 - s(2)), text);
        return x + metrics.horizontalAdvance(text) + s(26);
    }

    void legend() {
        p_.setFont(fontOf(s(13.5)));
        const double y = l_.legend.center().y();
        double x = l_.legend.left();
        p_.setPen(QPen(c_.single, kWhiskerWidth, Qt::SolidLine, Qt::FlatCap));
        p_.drawLine(axial(QPointF(x + s(12), y), 35, whiskerLength(0.5)));
        x = legendText(x + s(30), QStringLiteral("単星"));
        const QLineF twin = axial(QPointF(x + s(12), y), 35, whiskerLength(0.5));
        p_.setPen(QPen(c_.twin, kWhiskerWidth, Qt::SolidLine, Qt::FlatCap));
        p_.drawLines(QList<QLineF>{twin, twin.translated(beside(twin))});
        x = legendText(x + s(30), QStringLiteral("重星（線は星の向き、長いほど伸びている）"));
        p_.setPen(QPen(c_.halo, s(12), Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(QPointF(x + s(6), y), QPointF(x + s(40), y));
        p_.setPen(QPen(c_.bar, s(6.5), Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(QPointF(x + s(6), y), QPointF(x + s(40), y));
        x = legendText(x + s(54), QStringLiteral("領域の向き（長さ ＝ 伸び × そろい）"));
        for (const double share : {0.1, 0.25, 0.5}) {
            QColor tint = c_.tint;
            tint.setAlphaF(static_cast<float>(c_.tint.alphaF() * share / kFullTintShare));
            const QRectF swatch(x, y - s(9), s(18), s(18));
            p_.fillRect(swatch, c_.sensor);
            p_.fillRect(swatch, tint);
            p_.setPen(QPen(c_.grid, s(1)));
            p_.setBrush(Qt::NoBrush);
            p_.drawRect(swatch);
            x += s(22);
        }
        legendText(x + s(4), QStringLiteral("重星の割合 10・25・50%"));
    }

    void caption() {
        p_.setPen(c_.text);
        p_.setFont(fontOf(s(16), true));
        const QFontMetricsF heading(p_.font());
        p_.drawText(QPointF(l_.caption.left(), l_.caption.top() + heading.ascent()),
                    QStringLiteral("読み取り"));
        double y = l_.caption.top() + heading.height() + s(6);
        p_.setFont(fontOf(s(15)));
        const QFontMetricsF body(p_.font());
        for (const QString& line : captionLines(map_)) {
            p_.drawText(QPointF(l_.caption.left(), y + body.ascent()), QStringLiteral("•"));
            const QRectF room(l_.caption.left() + s(18), y, l_.caption.width() - s(18), 1e6);
            const QRectF used = p_.boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft, line);
            p_.drawText(room, Qt::TextWordWrap | Qt::AlignLeft, line);
            y += used.height() + s(6);
        }
    }

    QPainter& p_;
    const ShapeMap& map_;
    const Layout& l_;
    const Colours& c_;
};

}  // namespace

QImage ShapeMapPicture::render(const ShapeMap& map, Look look, int width, Caption caption) {
    const Layout layout = layoutOf(map, std::max(width, 400), caption == Caption::Reading);
    QImage picture(layout.size, QImage::Format_RGB32);
    if (picture.isNull()) return picture;
    const Colours colours = coloursOf(look);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    MapPainter(painter, map, layout, colours).paint();
    return picture;
}
