// kelvo-xshot: grabs the X screen (the root window) the way a user sees it,
// saves it as PNG and/or answers questions about its pixels. Used by the
// end-to-end test and by scripts/screenshot.sh.
//
//   kelvo-xshot [-o FILE.png] [-r X,Y,W,H] [QUERY...]
//
//   -o FILE      save the grabbed picture (the region, if -r is given)
//   -r X,Y,W,H   grab only this rectangle of the screen; every query below
//                is then in coordinates of that rectangle
//
// Queries, each answered on its own line in the order given:
//   X,Y                     the colour of one pixel, as rrggbb
//   count:X,Y,W,H:rrggbb    how many pixels of the rectangle have that colour
//   diff:X,Y,W,H:X2,Y2[:T]  how many pixels of the rectangle differ from those
//                           of the same-sized one at X2,Y2 by more than T
//                           (default 32) in some colour channel; smoothed
//                           glyph edges of one text drawn at two places can
//                           differ by a few levels, a different text by far
//                           more
//   like:X,Y,W,H:FILE.png   the same count against the same rectangle of an
//                           earlier grab saved with -o (same region)
//
// Exit status: 0 on success, 2 on bad arguments, 3 when nothing could be
// grabbed (no X server, say).
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>

#include <cstdio>

namespace {
int fail(int code, const QString& message)
{
    std::fprintf(stderr, "kelvo-xshot: %s\n", qPrintable(message));
    return code;
}

bool parseInts(const QString& text, int count, int* out)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != count)
        return false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        out[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

bool parseRect(const QString& text, QRect* r)
{
    int v[4];
    if (!parseInts(text, 4, v) || v[2] <= 0 || v[3] <= 0)
        return false;
    *r = QRect(v[0], v[1], v[2], v[3]);
    return true;
}

// Pixels of rectangle r in a that differ from those at r moved to at in b.
long countDiffering(const QImage& a, const QRect& r, const QImage& b, const QPoint& at, int tolerance)
{
    long n = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const QRgb p = a.pixel(r.x() + x, r.y() + y);
            const QRgb q = b.pixel(at.x() + x, at.y() + y);
            if (qAbs(qRed(p) - qRed(q)) > tolerance || qAbs(qGreen(p) - qGreen(q)) > tolerance
                || qAbs(qBlue(p) - qBlue(q)) > tolerance)
                ++n;
        }
    return n;
}

QString hex(QRgb c)
{
    return QStringLiteral("%1").arg(c & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb"); // the real screen, never offscreen
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    QString outFile;
    QRect region;
    QStringList queries;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o") && i + 1 < args.size()) {
            outFile = args[++i];
        } else if (a == QLatin1String("-r") && i + 1 < args.size()) {
            if (!parseRect(args[++i], &region))
                return fail(2, QStringLiteral("bad region: ") + args[i]);
        } else {
            queries << a;
        }
    }

    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return fail(3, QStringLiteral("no screen"));
    const QRect whole = screen->geometry();
    if (region.isNull())
        region = whole;
    const QImage image = screen->grabWindow(0, region.x(), region.y(), region.width(), region.height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    if (image.isNull() || image.size() != region.size())
        return fail(3, QStringLiteral("could not grab %1x%2 at %3,%4")
                           .arg(region.width()).arg(region.height()).arg(region.x()).arg(region.y()));

    if (!outFile.isEmpty() && !image.save(outFile, "PNG"))
        return fail(3, QStringLiteral("could not write ") + outFile);

    const QRect bounds = image.rect();
    for (const QString& q : queries) {
        if (q.startsWith(QLatin1String("count:"))) {
            const QStringList parts = q.mid(6).split(u':');
            QRect r;
            bool ok = false;
            const QRgb wanted = parts.size() == 2 ? parts[1].toUInt(&ok, 16) : 0;
            if (!ok || !parseRect(parts[0], &r) || !bounds.contains(r))
                return fail(2, QStringLiteral("bad query: ") + q);
            long n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if ((image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF))
                        ++n;
            std::printf("%ld\n", n);
        } else if (q.startsWith(QLatin1String("like:"))) {
            const qsizetype colon = q.indexOf(u':', 5);
            QRect r;
            if (colon < 0 || !parseRect(q.mid(5, colon - 5), &r) || !bounds.contains(r))
                return fail(2, QStringLiteral("bad query: ") + q);
            const QString file = q.mid(colon + 1);
            const QImage earlier = QImage(file).convertToFormat(QImage::Format_RGB32);
            if (earlier.size() != image.size())
                return fail(2, QStringLiteral("not an earlier grab of this region: ") + file);
            std::printf("%ld\n", countDiffering(image, r, earlier, r.topLeft(), 32));
        } else if (q.startsWith(QLatin1String("diff:"))) {
            const QStringList parts = q.mid(5).split(u':');
            QRect r;
            int at[2];
            bool ok = parts.size() == 2 || parts.size() == 3;
            int tolerance = 32;
            if (ok && parts.size() == 3)
                tolerance = parts[2].toInt(&ok);
            if (!ok || !parseRect(parts[0], &r) || !parseInts(parts[1], 2, at) || !bounds.contains(r)
                || !bounds.contains(r.translated(at[0] - r.x(), at[1] - r.y())))
                return fail(2, QStringLiteral("bad query: ") + q);
            const long n = countDiffering(image, r, image, QPoint(at[0], at[1]), tolerance);
            std::printf("%ld\n", n);
        } else {
            int p[2];
            if (!parseInts(q, 2, p) || !bounds.contains(p[0], p[1]))
                return fail(2, QStringLiteral("bad query: ") + q);
            std::printf("%s\n", qPrintable(hex(image.pixel(p[0], p[1]))));
        }
    }
    std::fflush(stdout);
    return 0;
}
