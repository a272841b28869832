// One-off drawing tool for the console's images. The PNGs it writes are committed;
// rebuild with:
//   g++ -std=c++17 -fPIC scripts/draw_images.cpp $(pkg-config --cflags --libs Qt5Gui) -o /tmp/draw_images
//   QT_QPA_PLATFORM=offscreen /tmp/draw_images resources
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <functional>

static QString gRoot;

static void save(const QString &rel, int w, int h, const std::function<void(QPainter &)> &draw)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    const QString path = gRoot + "/" + rel;
    QDir().mkpath(QFileInfo(path).path());
    img.save(path, "PNG");
}

static const int kBand = 6;
static const int kMaxAlpha = 70;

// Shadow edge: darkest next to the client area, fading outwards.
static void shadowEdge(const QString &name, Qt::Edge edge)
{
    const bool vertical = edge == Qt::LeftEdge || edge == Qt::RightEdge;
    const int w = vertical ? kBand : 16, h = vertical ? 16 : kBand;
    save("images/shadow/" + name, w, h, [&](QPainter &p) {
        QPointF from, to;
        switch (edge) {
        case Qt::LeftEdge:
            from = {0, 0};
            to = {kBand, 0};
            break;
        case Qt::RightEdge:
            from = {kBand, 0};
            to = {0, 0};
            break;
        case Qt::TopEdge:
            from = {0, 0};
            to = {0, kBand};
            break;
        default:
            from = {0, kBand};
            to = {0, 0};
            break;
        }
        QLinearGradient g(from, to);
        g.setColorAt(0, QColor(0, 0, 0, 0));
        g.setColorAt(1, QColor(0, 0, 0, kMaxAlpha));
        p.fillRect(0, 0, w, h, g);
    });
}

static void shadowCorner(const QString &name, QPointF inner)
{
    save("images/shadow/" + name, kBand, kBand, [&](QPainter &p) {
        QRadialGradient g(inner, kBand);
        g.setColorAt(0, QColor(0, 0, 0, kMaxAlpha));
        g.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(0, 0, kBand, kBand, g);
    });
}

enum class Glyph { Close, Maximize, Restore, Minimize };

static void titleButton(const QString &rel, int w, int h, QColor bg, Glyph glyph)
{
    save(rel, w, h, [&](QPainter &p) {
        p.fillRect(0, 0, w, h, bg);
        QPen pen(Qt::white, 1.6);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QPointF c(w / 2.0, h / 2.0);
        const double r = qMin(w, h) * 0.22;
        switch (glyph) {
        case Glyph::Close:
            p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
            p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
            break;
        case Glyph::Maximize:
            p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
            break;
        case Glyph::Restore:
            p.drawRect(QRectF(c.x() - r, c.y() - r + 2, 2 * r - 2, 2 * r - 2));
            p.drawPolyline(QPolygonF({c + QPointF(-r + 2, -r), c + QPointF(r, -r), c + QPointF(r, r - 2)}));
            break;
        case Glyph::Minimize:
            p.drawLine(c + QPointF(-r, r * 0.6), c + QPointF(r, r * 0.6));
            break;
        }
    });
}

static void infoIcon(const QString &rel, int s)
{
    save(rel, s, s, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2d, 0x8c, 0xf0));
        p.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
        p.setBrush(Qt::white);
        const double u = s / 16.0;
        p.drawEllipse(QRectF(7 * u, 3.2 * u, 2 * u, 2 * u));
        p.drawRoundedRect(QRectF(7 * u, 6.5 * u, 2 * u, 6.5 * u), 0.6 * u, 0.6 * u);
    });
}

static void editIcon(const QString &rel, int s)
{
    save(rel, s, s, [&](QPainter &p) {
        const double u = s / 20.0;
        p.setPen(QPen(QColor(255, 255, 255), 1.2 * u));
        p.setBrush(QColor(0xf5, 0xa6, 0x23));
        QPolygonF pencil({{4 * u, 16 * u}, {5 * u, 12 * u}, {13 * u, 4 * u}, {16 * u, 7 * u}, {8 * u, 15 * u}});
        p.drawPolygon(pencil);
        p.drawLine(QPointF(3 * u, 18 * u), QPointF(17 * u, 18 * u));
    });
}

// Menu and tab icons: a rounded tile in a colour with a simple white mark.
// Media browser icon: an audio file page.
static void audioFileIcon(const QString &rel, int s)
{
    save(rel, s, s, [&](QPainter &p) {
        const double u = s / 24.0;
        p.setPen(QPen(QColor(0x6c, 0x7a, 0x89), 1.0 * u));
        p.setBrush(Qt::white);
        QPainterPath page;
        page.moveTo(5 * u, 2 * u);
        page.lineTo(15 * u, 2 * u);
        page.lineTo(20 * u, 7 * u);
        page.lineTo(20 * u, 22 * u);
        page.lineTo(5 * u, 22 * u);
        page.closeSubpath();
        p.drawPath(page);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2d, 0x8c, 0xf0));
        p.drawEllipse(QRectF(7 * u, 15 * u, 4.5 * u, 3.5 * u));
        p.drawEllipse(QRectF(13 * u, 13.5 * u, 4.5 * u, 3.5 * u));
        p.setPen(QPen(QColor(0x2d, 0x8c, 0xf0), 1.4 * u));
        p.drawLine(QPointF(11 * u, 16.5 * u), QPointF(11 * u, 9 * u));
        p.drawLine(QPointF(17 * u, 15 * u), QPointF(17 * u, 7.5 * u));
        p.drawLine(QPointF(11 * u, 9 * u), QPointF(17 * u, 7.5 * u));
    });
}

enum class Mark {
    Speaker,
    Mic,
    Group,
    Region,
    Media,
    Gear,
    Log,
    Record,
    Task,
    Clock,
    Hand,
    Plug,
    Alarm,
    Phone,
    Text,
    Server,
    Bell
};

static void tile(const QString &rel, int s, QColor colour, Mark mark)
{
    save(rel, s, s, [&](QPainter &p) {
        const double u = s / 24.0;
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(1 * u, 1 * u, 22 * u, 22 * u), 5 * u, 5 * u);
        p.setBrush(Qt::white);
        p.setPen(QPen(Qt::white, 1.6 * u, Qt::SolidLine, Qt::RoundCap));
        auto R = [u](double x, double y, double w, double h) { return QRectF(x * u, y * u, w * u, h * u); };
        auto P = [u](double x, double y) { return QPointF(x * u, y * u); };
        switch (mark) {
        case Mark::Speaker:
            p.drawPolygon(QPolygonF({P(5, 10), P(8, 10), P(12, 6), P(12, 18), P(8, 14), P(5, 14)}));
            p.setBrush(Qt::NoBrush);
            p.drawArc(R(10, 8, 6, 8), -60 * 16, 120 * 16);
            p.drawArc(R(10, 5, 10, 14), -60 * 16, 120 * 16);
            break;
        case Mark::Mic:
            p.drawRoundedRect(R(9.5, 4, 5, 10), 2.5 * u, 2.5 * u);
            p.setBrush(Qt::NoBrush);
            p.drawArc(R(7, 7, 10, 10), 180 * 16, 180 * 16);
            p.drawLine(P(12, 17), P(12, 20));
            break;
        case Mark::Group:
            p.drawEllipse(R(5, 6, 5, 5));
            p.drawEllipse(R(14, 6, 5, 5));
            p.drawPie(R(3, 12, 9, 9), 0, 180 * 16);
            p.drawPie(R(12, 12, 9, 9), 0, 180 * 16);
            break;
        case Mark::Region:
            p.setBrush(Qt::NoBrush);
            p.drawRect(R(5, 5, 6, 6));
            p.drawRect(R(13, 5, 6, 6));
            p.drawRect(R(5, 13, 6, 6));
            p.setBrush(Qt::white);
            p.drawRect(R(13, 13, 6, 6));
            break;
        case Mark::Media:
            p.drawEllipse(R(5, 14, 5, 4));
            p.drawEllipse(R(13, 12, 5, 4));
            p.drawLine(P(10, 16), P(10, 6));
            p.drawLine(P(18, 14), P(18, 5));
            p.drawLine(P(10, 6), P(18, 5));
            break;
        case Mark::Gear:
            for (int i = 0; i < 8; ++i) {
                p.save();
                p.translate(P(12, 12));
                p.rotate(i * 45);
                p.drawRect(QRectF(-1.5 * u, -8 * u, 3 * u, 4 * u));
                p.restore();
            }
            p.drawEllipse(R(6, 6, 12, 12));
            p.setBrush(colour);
            p.setPen(Qt::NoPen);
            p.drawEllipse(R(9.5, 9.5, 5, 5));
            break;
        case Mark::Log:
            p.setBrush(Qt::NoBrush);
            p.drawRect(R(6, 4, 12, 16));
            p.drawLine(P(9, 9), P(15, 9));
            p.drawLine(P(9, 12), P(15, 12));
            p.drawLine(P(9, 15), P(13, 15));
            break;
        case Mark::Record:
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(R(5, 5, 14, 14));
            p.setBrush(QColor(0xe8, 0x4c, 0x3d));
            p.setPen(Qt::NoPen);
            p.drawEllipse(R(9, 9, 6, 6));
            break;
        case Mark::Task:
            p.setBrush(Qt::NoBrush);
            p.drawRect(R(5, 5, 14, 14));
            p.drawPolyline(QPolygonF({P(8, 12), P(11, 15), P(16, 9)}));
            break;
        case Mark::Clock:
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(R(5, 5, 14, 14));
            p.drawPolyline(QPolygonF({P(12, 8), P(12, 12), P(15, 14)}));
            break;
        case Mark::Hand:
            p.drawPolygon(
                QPolygonF({P(7, 19), P(7, 10), P(9, 10), P(9, 5), P(15, 5), P(15, 10), P(17, 10), P(17, 19)}));
            break;
        case Mark::Plug:
            p.drawRect(R(8, 9, 8, 6));
            p.drawLine(P(10, 5), P(10, 9));
            p.drawLine(P(14, 5), P(14, 9));
            p.drawLine(P(12, 15), P(12, 20));
            break;
        case Mark::Alarm:
            p.drawPolygon(QPolygonF({P(12, 4), P(20, 19), P(4, 19)}));
            p.setPen(QPen(colour, 2 * u));
            p.drawLine(P(12, 9), P(12, 14));
            p.drawPoint(P(12, 17));
            break;
        case Mark::Phone:
            p.drawRoundedRect(R(8, 4, 8, 16), 1.5 * u, 1.5 * u);
            p.setBrush(colour);
            p.setPen(Qt::NoPen);
            p.drawRect(R(9.5, 6, 5, 10));
            break;
        case Mark::Text:
            p.drawLine(P(6, 6), P(18, 6));
            p.drawLine(P(12, 6), P(12, 19));
            break;
        case Mark::Server:
            p.drawRect(R(6, 4, 12, 7));
            p.drawRect(R(6, 13, 12, 7));
            p.setPen(QPen(colour, 1.6 * u));
            p.drawPoint(P(15, 7.5));
            p.drawPoint(P(15, 16.5));
            break;
        case Mark::Bell:
            p.drawPie(R(6, 4, 12, 14), 0, 180 * 16);
            p.drawRect(R(6, 11, 12, 5));
            p.drawEllipse(R(10.5, 17, 3, 3));
            break;
        }
    });
}

// Header pieces of the picture-header dialogs, read from ./images at run time.
static void diskImages()
{
    const QColor top(0x4a, 0x5f, 0x6b), bottom(0x3b, 0x4b, 0x54);
    auto band = [&](QPainter &p, int w, int h) {
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.fillRect(0, 0, w, h, g);
    };
    save("disk_images/dialog_header.png", 64, 30, [&](QPainter &p) { band(p, 64, 30); });
    save("disk_images/lTop.png", 8, 30, [&](QPainter &p) {
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, 16, 30), 4, 4);
        p.setClipPath(path);
        band(p, 8, 30);
    });
    save("disk_images/rTop.png", 9, 30, [&](QPainter &p) {
        QPainterPath path;
        path.addRoundedRect(QRectF(-8, 0, 17, 30), 4, 4);
        p.setClipPath(path);
        band(p, 9, 30);
    });
    save("disk_images/window_icon_small.png", 20, 20, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2d, 0x8c, 0xf0));
        p.drawRoundedRect(QRectF(1, 1, 18, 18), 4, 4);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({{5, 8}, {8, 8}, {12, 5}, {12, 15}, {8, 12}, {5, 12}}));
        p.setPen(QPen(Qt::white, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(10, 6, 6, 8), -60 * 16, 120 * 16);
    });
    titleButton("disk_images/close.png", 37, 17, QColor(0, 0, 0, 0), Glyph::Close);
    titleButton("disk_images/close_hover.png", 37, 17, QColor(0xe8, 0x4c, 0x3d), Glyph::Close);
    titleButton("disk_images/close_pressed.png", 37, 17, QColor(0xb0, 0x33, 0x27), Glyph::Close);
}

// Small line icons of the log pages and the export dialog.
static void logIcons()
{
    const QColor ink(0x3b, 0x4b, 0x54), folder(0xf0, 0xb4, 0x3c);
    save("images/refresh_btn_16px.png", 16, 16, [&](QPainter &p) {
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(13.5, 1.5);
        head.lineTo(13.5, 6.5);
        head.lineTo(8.5, 6.5);
        head.closeSubpath();
        p.fillPath(head, ink);
    });
    save("images/dwonload_btn_16px.png", 16, 16, [&](QPainter &p) {
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(8, 2), QPointF(8, 10));
        p.drawPolyline(QPolygonF({QPointF(4.5, 6.5), QPointF(8, 10), QPointF(11.5, 6.5)}));
        p.drawPolyline(QPolygonF({QPointF(2.5, 11), QPointF(2.5, 13.5), QPointF(13.5, 13.5), QPointF(13.5, 11)}));
    });
    const auto drawFolder = [&](QPainter &p, qreal s, bool open) {
        QPainterPath back;
        back.addRoundedRect(QRectF(s * 0.08, s * 0.2, s * 0.84, s * 0.66), s * 0.06, s * 0.06);
        back.addRoundedRect(QRectF(s * 0.08, s * 0.12, s * 0.36, s * 0.16), s * 0.04, s * 0.04);
        p.fillPath(back.simplified(), folder.darker(115));
        QPainterPath front;
        if (open) {
            front.moveTo(s * 0.2, s * 0.42);
            front.lineTo(s * 0.98, s * 0.42);
            front.lineTo(s * 0.84, s * 0.86);
            front.lineTo(s * 0.08, s * 0.86);
        } else {
            front.addRoundedRect(QRectF(s * 0.08, s * 0.32, s * 0.84, s * 0.54), s * 0.06, s * 0.06);
        }
        front.closeSubpath();
        p.fillPath(front, folder);
    };
    save("images/folder-open.png", 20, 20, [&](QPainter &p) { drawFolder(p, 20, true); });
    save("images/folder_24px.png", 24, 24, [&](QPainter &p) { drawFolder(p, 24, false); });
    save("images/desktop.png", 24, 24, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(2, 3, 20, 14), 2, 2);
        p.setBrush(QColor(0x8e, 0xc5, 0xfc));
        p.drawRect(QRectF(4, 5, 16, 10));
        p.setBrush(ink);
        p.drawRect(QRectF(10, 17, 4, 3));
        p.drawRoundedRect(QRectF(6, 19.5, 12, 2), 1, 1);
    });
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    gRoot = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");

    shadowEdge("shadow-left", Qt::LeftEdge);
    shadowEdge("shadow-right", Qt::RightEdge);
    shadowEdge("shadow-top", Qt::TopEdge);
    shadowEdge("shadow-bottom", Qt::BottomEdge);
    shadowCorner("shadow-left-top", {kBand, kBand});
    shadowCorner("shadow-right-top", {0, kBand});
    shadowCorner("shadow-left-bottom", {kBand, 0});
    shadowCorner("shadow-right-bottom", {0, 0});

    const QColor band(0x3b, 0x4b, 0x54), bar(0x33, 0x41, 0x48);
    titleButton("images/button/close_btn_normal.png", 23, 25, band, Glyph::Close);
    titleButton("images/button/close_btn_hover.png", 23, 25, QColor(0xe8, 0x4c, 0x3d), Glyph::Close);
    titleButton("images/button/close_btn_pressed.png", 23, 25, QColor(0xb0, 0x33, 0x27), Glyph::Close);
    titleButton("images/button/maximize_btn_normal.png", 23, 25, bar, Glyph::Maximize);
    titleButton("images/button/maximize_btn_hover.png", 23, 25, QColor(0x4f, 0x63, 0x6e), Glyph::Maximize);
    titleButton("images/button/maximize_btn_pressed.png", 23, 25, QColor(0x25, 0x30, 0x36), Glyph::Maximize);
    titleButton("images/button/show_normal_btn_normal.png", 23, 25, bar, Glyph::Restore);
    titleButton("images/button/show_normal_btn_hover.png", 23, 25, QColor(0x4f, 0x63, 0x6e), Glyph::Restore);
    titleButton("images/button/show_normal_btn_pressed.png", 23, 25, QColor(0x25, 0x30, 0x36), Glyph::Restore);
    titleButton("images/button/mini_btn_normal.png", 23, 25, bar, Glyph::Minimize);
    titleButton("images/button/mini_btn_hover.png", 23, 25, QColor(0x4f, 0x63, 0x6e), Glyph::Minimize);
    titleButton("images/button/mini_btn_pressed.png", 23, 25, QColor(0x25, 0x30, 0x36), Glyph::Minimize);

    infoIcon("images/info32x32.png", 32);
    infoIcon("images/info18x18.png", 18);
    editIcon("images/edit20x20.png", 20);

    const QColor blue(0x2d, 0x8c, 0xf0), green(0x19, 0xbe, 0x6b), orange(0xf5, 0x9a, 0x23), red(0xe8, 0x4c, 0x3d),
        teal(0x16, 0xa0, 0x85), purple(0x8e, 0x44, 0xad), grey(0x6c, 0x7a, 0x89);
    tile("images/top_task32px.png", 32, orange, Mark::Task);
    tile("images/top_terminal32px.png", 32, blue, Mark::Speaker);
    tile("images/top_setting32px.png", 32, teal, Mark::Gear);
    tile("images/top_log32px.png", 32, purple, Mark::Log);
    tile("images/top_record.png", 32, red, Mark::Record);
    tile("images/task_ss.png", 24, orange, Mark::Task);
    tile("images/task_timer.png", 24, orange, Mark::Clock);
    tile("images/task_manual.png", 24, orange, Mark::Hand);
    tile("images/task_sdk.png", 24, orange, Mark::Plug);
    tile("images/player_term.png", 24, blue, Mark::Speaker);
    tile("images/server_mic.png", 24, blue, Mark::Mic);
    tile("images/call_mic.png", 24, blue, Mark::Bell);
    tile("images/alarm_info.png", 24, red, Mark::Alarm);
    tile("images/plate_svr.png", 24, blue, Mark::Server);
    tile("images/term_tts.png", 24, blue, Mark::Text);
    tile("images/term_falarm.png", 24, red, Mark::Alarm);
    tile("images/term_d82.png", 24, blue, Mark::Phone);
    tile("images/media_mgr.png", 24, teal, Mark::Media);
    audioFileIcon("images/file_mp3_24px.png", 24);
    tile("images/server_group.png", 24, teal, Mark::Group);
    tile("images/region_mgr.png", 24, teal, Mark::Region);
    tile("images/parameter_setting.png", 24, teal, Mark::Gear);
    tile("images/userlog.png", 24, purple, Mark::Log);
    tile("images/talklog.png", 24, purple, Mark::Speaker);
    tile("images/termlog.png", 24, purple, Mark::Server);
    tile("images/talk_record.png", 24, red, Mark::Record);
    (void)green;
    (void)grey;

    logIcons();
    diskImages();
    return 0;
}
