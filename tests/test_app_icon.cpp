// The application icon in the editor's resources: every size is there, and each drawing shows the
// nine bars in the colours the editor gives their codes, on the black frame.

#include "AppIcon.h"
#include "Codes.h"

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QTest>

using namespace mosaiq;

namespace {

// The bars of the drawing, row by row (see tools/make-icons.sh): the codes they stand for.
constexpr std::uint8_t kBarCodes[9] = {NextPixel,  PlusColor,  PreviousPixel,
                                       MinusColor, WhitePixel, RepeatUntilWhite,
                                       EndRepeat,  Run,        128};

QColor ToRgb(Color bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// A point of the 256-unit drawing, in pixels of an image `size` pixels square.
QPoint At(int size, int ux, int uy) {
    return QPoint(ux * size / 256, uy * size / 256);
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    void everySizeIsThere() {
        const QIcon icon = AppIcon();
        QVERIFY(!icon.isNull());
        const QList<QSize> expected = {QSize(16, 16), QSize(32, 32),   QSize(48, 48),
                                       QSize(64, 64), QSize(128, 128), QSize(256, 256)};
        QCOMPARE(icon.availableSizes(), expected);
    }

    void drawing_data() {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QStringLiteral("%1px").arg(size))) << size;
    }

    void drawing() {
        QFETCH(int, size);
        const QImage image =
            AppIcon().pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(size, size));

        for (int i = 0; i < 9; ++i) {
            // Bar i spans 64 units from (16 + 80 * column, 16 + 80 * row); test its middle.
            const QPoint middle = At(size, 48 + 80 * (i % 3), 48 + 80 * (i / 3));
            const QColor want = ToRgb(EditColor(kBarCodes[i]));
            QCOMPARE(QColor(image.pixel(middle)), want);
            // Its corners too, one unit in, so that a shifted or shrunken bar is caught.
            const int x0 = 16 + 80 * (i % 3), y0 = 16 + 80 * (i / 3);
            for (const QPoint corner : {At(size, x0 + 1, y0 + 1), At(size, x0 + 63, y0 + 1),
                                        At(size, x0 + 1, y0 + 63), At(size, x0 + 63, y0 + 63)})
                QCOMPARE(QColor(image.pixel(corner)), want);
        }
        // The frame: the gaps between and around the bars are opaque black.
        for (const QPoint gap : {At(size, 8, 128), At(size, 88, 48), At(size, 168, 208),
                                 At(size, 128, 88), At(size, 248, 128), At(size, 128, 248)})
            QCOMPARE(image.pixel(gap), qRgba(0, 0, 0, 255));
        // The rounded corner leaves the very corner pixel at least partly transparent.
        QVERIFY(qAlpha(image.pixel(0, 0)) < 255);
    }
};

QTEST_MAIN(TestAppIcon)
#include "test_app_icon.moc"
