// The clock's time label draws from pictures of its characters; it must look
// where and how large an ordinary label's text would, and follow font changes.
#include "timelabel.h"
#include "uitest.h"

namespace {
// The box around every pixel of `color` in the widget's picture.
QRect inkBox(QWidget &widget, QColor color)
{
    const QImage image = widget.grab().toImage();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 128 && qAbs(pixel.red() - color.red()) < 64 &&
                qAbs(pixel.blue() - color.blue()) < 64)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

QFont timeFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

void place(QLabel &label, const QString &text, const QFont &font)
{
    // White text on black, so that the background never counts as ink.
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.setText(text);
    label.setFont(font);
    label.setAlignment(Qt::AlignCenter);
    label.setGeometry(0, 0, 71, 19);
}

void expectSameInk(QLabel &ours, QLabel &ordinary, QColor color)
{
    const QRect a = inkBox(ours, color), b = inkBox(ordinary, color);
    ASSERT_FALSE(b.isEmpty());
    EXPECT_LE(qAbs(a.center().x() - b.center().x()), 1)
        << "ours " << a.x() << " ordinary " << b.x();
    EXPECT_LE(qAbs(a.center().y() - b.center().y()), 1);
    EXPECT_LE(qAbs(a.width() - b.width()), 2);
    EXPECT_LE(qAbs(a.height() - b.height()), 1);
}
} // namespace

TEST(TimeLabel, DrawsTheTimeWhereAnOrdinaryLabelWouldAndFollowsTheFont)
{
    QWidget white, black;
    TimeLabel ours(QString(), Qt::white, &white);
    QLabel ordinary(&black);
    for (const QString &time :
         {QStringLiteral("14:05:09"), QStringLiteral("00:00:00"), QStringLiteral("23:59:59")}) {
        place(ours, time, timeFont(13));
        place(ordinary, time, timeFont(13));
        expectSameInk(ours, ordinary, Qt::white);
    }
    // A larger font draws larger characters, not the cached small ones.
    place(ours, QStringLiteral("14:05:09"), timeFont(16));
    place(ordinary, QStringLiteral("14:05:09"), timeFont(16));
    expectSameInk(ours, ordinary, Qt::white);
    // Text that is not plain ASCII is drawn the ordinary way.
    place(ours, QStringLiteral("十四点"), timeFont(13));
    place(ordinary, QStringLiteral("十四点"), timeFont(13));
    expectSameInk(ours, ordinary, Qt::white);
}

int main(int argc, char **argv)
{
    return runWidgetTests(argc, argv);
}
