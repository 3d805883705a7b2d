// The application icon in the editor's resources: every size is there, and each drawing shows the
// nine bars in the colours the editor gives their codes, on the black frame.

#include "AppIcon.h"
#include "Codes.h"

#include <QTest>

class TestAppIcon : public QObject {
    Q_OBJECT
private slots:
    void drawing() {
        const QList<QSize> sizes = {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
        QCOMPARE(mosaiq::AppIcon().availableSizes(), sizes);
        // Row by row (see tools/make-icons.sh): Next, Plus, Previous; Minus, White, Repeat; End,
        // Run, a grey. Bars are 64 units of 256 wide, 16 apart; probe each one unit inside its
        // top-left corner, and the black gap to its right. Pixels read blue-green-red here.
        const std::uint8_t codes[9] = {1, 3, 2, 4, 0, 5, 6, 7, 128};
        for (int k = 0; k < 9 * sizes.size(); ++k) {
            const QImage im = mosaiq::AppIcon().pixmap(sizes[k / 9]).toImage().scaled(256, 256);
            const QPoint at(17 + 80 * (k % 3), 17 + 80 * (k % 9 / 3));
            QCOMPARE(im.rgbSwapped().pixel(at), 0xFF000000 | mosaiq::EditColor(codes[k % 9]));
            QCOMPARE(im.pixel(at + QPoint(71, 31)), 0xFF000000);
        }
    }
};

QTEST_MAIN(TestAppIcon)
#include "test_app_icon.moc"
