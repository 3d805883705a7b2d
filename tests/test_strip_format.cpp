// The program file format: the reader's tolerance, reading, saving and loading real files.

#include "StripFormat.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fstream>
#include <sstream>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace mosaiq;

namespace {

QList<int> AllCells(const StripCodes& codes) {
    return QList<int>(codes.begin(), codes.end());
}

QByteArray ReadAll(const QString& path) {
    std::ostringstream text;
    text << std::ifstream(path.toStdString(), std::ios::binary).rdbuf();
    return QByteArray::fromStdString(text.str());
}

} // namespace

class TestStripFormat : public QObject {
    Q_OBJECT
private slots:
    void reader_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<int>>("leading"); // the first cells; all others must be 0
        const QByteArray mb(1 << 20, '0');
        StripCodes every; // every code, no two neighbours alike
        for (int i = 0; i < kCellCount; ++i)
            every[i] = std::uint8_t(i * 7 + 3);
        // clang-format off
        QTest::newRow("either case, one digit") << QByteArray("fF\r\n7\r\nAb\r\n0a") << QList<int>{255, 7, 171, 10};
        QTest::newRow("blanks and tabs anywhere") << QByteArray(" 0 A\r\n\t1\tF\t\r\n \t \r\n0 0 0 1") << QList<int>{10, 31, 0, 1};
        QTest::newRow("junk after or before digits") << QByteArray("0A;junk 12\r\n1Fz\r\n5-3\r\n;0A\r\n0x1F") << QList<int>{10, 31, 5, 0, 0};
        QTest::newRow("out of range gives 0") << QByteArray("100\r\n1FF\r\n1 0 0\r\n05") << QList<int>{0, 0, 0, 5};
        QTest::newRow("huge runs of hex digits") << "1" + mb + "A\r\n" + mb + "A\r\n" + QByteArray(mb).fill('F') + "\r\n05" << QList<int>{0, 10, 0, 5};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n03\r\n\n\n04") << QList<int>{0, 0, 3, 0, 0, 4};
        QTest::newRow("short file, the rest 0") << QByteArray("05\r\n06\r\n") << QList<int>{5, 6};
        QTest::newRow("lines past 1024 ignored") << QByteArray("0A\r\n").repeated(1024) + QByteArray("FF\r\n").repeated(976) << QList<int>(kCellCount, 10);
        QTest::newRow("CR LF, LF, CR, CR CR, LF CR") << QByteArray("01\r\n02\n03\r04\r\r05\n\r06") << QList<int>{1, 2, 3, 4, 0, 5, 0, 6};
        QTest::newRow("every code, as saved") << QByteArray::fromStdString(FormatStrip(every)) << AllCells(every);
        QTest::newRow("CR LF across a 16 KiB read") << QByteArray(16382, '0') + "1\r\n02" << QList<int>{1, 2};
        // clang-format on
    }
    void reader() {
        QFETCH(QByteArray, input);
        QFETCH(QList<int>, leading);
        const QList<int> want = leading + QList<int>(kCellCount - leading.size(), 0);
        StripReader reader;
        for (const char c : input) // every line end split across pieces, CR LF included
            reader.Feed(&c, 1);
        QCOMPARE(AllCells(reader.Finish()), want);
        QTemporaryDir dir;
        const std::string path = dir.filePath("in.mq").toStdString();
        std::ofstream(path, std::ios::binary) << input.toStdString();
        StripCodes read{};
        QVERIFY(ReadStripFile(path, read));
        QCOMPARE(AllCells(read), want);
    }

    // A device is refused before anything changes, as it may never end a line.
    void deviceRefused() {
        StripCodes codes;
        codes.fill(0xEE);
        QCOMPARE(ReadStripFile("/dev/zero", codes).error, "Not a regular file");
        QCOMPARE(int(codes[1]), 0xEE);
    }

    // The disk "fills up" after 100 bytes: the old file survives and no temporary file is left.
    void saveFailureKeepsOldFile() {
#ifndef Q_OS_UNIX
        QSKIP("needs a file size limit");
#else
        QTemporaryDir dir;
        const QString file = dir.filePath("prog.mq");
        std::ofstream(file.toStdString(), std::ios::binary) << "old program";
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
        const rlimit small{100, old.rlim_max};
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        const FileStatus status = WriteStripFile(file.toStdString(), StripCodes{});
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!status);
        QCOMPARE(ReadAll(file), QByteArray("old program"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"prog.mq"});
#endif
    }
};

QTEST_APPLESS_MAIN(TestStripFormat)
#include "test_strip_format.moc"
