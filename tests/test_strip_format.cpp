// The program file format: the reader's tolerance, reading, saving and loading real files.

#include "StripFormat.h"
#include "StripLink.h"
#include "Table.h"
#include "fuzz/StripReaderCheck.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fstream>
#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace mosaiq;
using namespace mosaiq::test;
using namespace std::literals;

namespace {

QList<int> AllCells(const StripCodes& codes) {
    return QList<int>(codes.begin(), codes.end());
}

} // namespace

class TestStripFormat : public QObject {
    Q_OBJECT
private slots:
    void reader_data() {
        // The input, and the first cells it gives; all others must be 0.
        Columns<QByteArray, QList<int>>("input", "leading");
        const QByteArray run(300'000, '0');
        // clang-format off
        QTest::newRow("junk after or before digits, then any line end") << QByteArray("0A;junk 12\r1Fz\r\n5-3\r\n;0A\r\n0x1F") << QList<int>{10, 31, 5, 0, 0};
        QTest::newRow("huge runs of hex digits") << "1" + run + "A\r\n" + run + "A\r\n" + QByteArray(run).fill('F') + "\r\n05" << QList<int>{0, 10, 0, 5};
        QTest::newRow("CR LF, LF, CR, CR CR, LF CR") << QByteArray("01\r\n02\n03\r04\r\r05\n\r06") << QList<int>{1, 2, 3, 4, 0, 5, 0, 6};
        QTest::newRow("CR LF across a 16 KiB read") << QByteArray(16382, '0') + "1\r\n02" << QList<int>{1, 2};
        // A lone surrogate, NUL, any other character and an odd last byte are unreadable text.
        QTest::newRow("UTF-16, what is not text") << Utf16(u"05\r\n\xD800" "06\r\n\xDC00" "07\r\n\0" "08\r\n\u00E99\r\n\xD83D\xDE00" "1\r\n1\xD800\r2\r\n0A"sv, false) + '1' << QList<int>{5, 0, 0, 0, 0, 0, 1, 2, 10};
        QTest::newRow("UTF-16 mark after a UTF-8 one") << "\xEF\xBB\xBF" + Utf16(u"05", false) << QList<int>{0};
        QTest::newRow("UTF-16 marks begun or later") << QByteArray("\xFE" "05\r\n\xFF\xFE" "06") << QList<int>{0, 0};
        // clang-format on
    }
    void reader() {
        const auto [input, leading] = Fetch<QByteArray, QList<int>>("input", "leading");
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

    // The fuzz corpus through the reader's invariants.
    void corpus() {
        const QDir corpus(MOSAIQ_FUZZ_CORPUS);
        QVERIFY(corpus.count() > 2);
        for (const QFileInfo& entry : corpus.entryInfoList(QDir::Files)) {
            QFile file(entry.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray input = file.readAll();
            QVERIFY2(check::CheckStripReader(input.toStdString()).empty(),
                     qPrintable(entry.fileName()));
        }
    }

    // Saving over f.mq (5000 bytes of 1, 1000 where the disk is full): by a replace where that
    // works, else into the file itself, else not at all, and why.
    void save_data() {
        // link: g.mq names f.mq too; shut file: f.mq is read-only; shut folder: the folder takes
        // no new files; full: the disk fills after 100 bytes; mount: a read-only file system.
        // Saved: why not; f.mq's size, first byte, files in the folder, whether it is the file it
        // was.
        Columns<QString, QString>("setup", "saved");
        // clang-format off
        QTest::newRow("replaced") << "" << ": 4096 0 1 new";
        QTest::newRow("hard link") << "link" << ": 4096 0 2 same";
        QTest::newRow("folder takes no new files") << "shut folder" << ": 4096 0 1 same";
        QTest::newRow("read-only file") << "shut file" << "Permission denied: 5000 1 1 same";
        QTest::newRow("disk full") << "full" << "File too large: 1000 1 1 same";
        QTest::newRow("disk full, in place") << "full link" << "File too large: 1000 1 2 same";
        QTest::newRow("read-only mount") << "mount" << "Read-only file system: 5000 1 1 same";
        // clang-format on
    }
    void save() {
        QFETCH(QString, setup);
        if (setup.contains("shut") && RanAsNobody()) return;
        QTemporaryDir dir;
        const QByteArray d = dir.path().toUtf8(), f = d + "/f.mq";
        const bool mounted = setup == "mount" && ::mount("tmpfs", d, "tmpfs", 0, nullptr) == 0;
        if (setup == "mount" && !mounted) QSKIP("mounting a file system takes the right to");
        std::ofstream(f.toStdString()) << std::string(setup.contains("full") ? 1000 : 5000, '1');
        if (setup.contains("link")) QVERIFY(::link(f, d + "/g.mq") == 0);
        if (setup.contains("file")) QFile::setPermissions(f, QFile::ReadOwner);
        struct stat st {};
        const ino_t before = ::stat(f, &st) == 0 ? st.st_ino : 0;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{setup.contains("full") ? rlim_t{100} : old.rlim_cur, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        if (setup.contains("folder")) QFile::setPermissions(d, QFile::ReadOwner | QFile::ExeOwner);
        if (mounted) ::mount(nullptr, d, nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
        const FileStatus status = WriteStripFile(f.toStdString(), StripCodes{});
        ::setrlimit(RLIMIT_FSIZE, &old);
        QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString same = ::stat(f, &st) == 0 && st.st_ino == before ? " same" : " new";
        const QString got =
            QString::fromStdString(status.error) + ": " + QString::number(st.st_size) + ' ' +
            char(std::ifstream(f.toStdString()).get()) + ' ' +
            QString::number(QDir(d, {}, QDir::Name, QDir::Files | QDir::Hidden).count()) + same;
        if (mounted) ::umount(d);
        QTEST(got, "saved");
    }
    // A strip in an address and back; any text that is not such a link is refused, says why and
    // changes nothing.
    void link_data() {
        // The first cells (all others 0), the link made from them or read, and why it is refused
        // (empty for a link).
        Columns<QList<int>, QByteArray, QString>("leading", "link", "why");
        QList<int> every; // no cell 0, so nothing is dropped
        for (int i = 0; i < kCellCount; ++i)
            every << (i * 7 + 3) % 255 + 1;
        const QString notV1 = "it does not begin with v1.",
                      notBase64 = "it holds a character that is not base64url",
                      tooLong = "it is longer than any program";
        // clang-format off
        const auto row = [](const char* name, QList<int> leading, QByteArray link, QString why = {}) { QTest::newRow(name) << leading << link << why; };
        row("empty strip", {}, "v1.");
        row("three codes, one group", {1, 2, 3}, "v1.AQID");
        row("trailing zeros dropped", {5, 0, 0}, "v1.BQ");
        row("zeros before a code kept", {0, 0, 0, 0, 7}, "v1.AAAAAAc");
        row("high codes, both odd characters", {255, 254, 251}, "v1.__77");
        row("all 1024 cells, the longest link", every, {});
        row("nothing", {}, {}, notV1);
        row("another version", {}, "v2.AQID", notV1);
        row("a lone last character", {}, "v1.AQIDB", "it ends in the middle of a code");
        row("padding", {}, "v1.Aw==", notBase64);
        row("plain base64's characters", {}, "v1.+/+/", notBase64);
        row("bits past the last code", {}, "v1.Ax", "its last character does not end a code");
        row("one character too long", {}, "v1." + QByteArray(int(kLinkMaxLength) - 2, 'A'), tooLong);
        row("a megabyte", {}, QByteArray(1 << 20, 'A'), tooLong);
        // clang-format on
    }
    void link() {
        const auto [leading, link, why] =
            Fetch<QList<int>, QByteArray, QString>("leading", "link", "why");
        StripCodes codes{}, read{};
        std::copy(leading.begin(), leading.end(), codes.begin());
        read.fill(9);
        if (!why.isEmpty()) {
            QCOMPARE(QString::fromStdString(ReadStripLink(link.toStdString(), read)), why);
            QCOMPARE(AllCells(read), QList<int>(kCellCount, 9));
            return;
        }
        const std::string made = StripLink(codes);
        QCOMPARE(made.size(), link.isEmpty() ? kLinkMaxLength : std::size_t(link.size()));
        if (!link.isEmpty()) QCOMPARE(QByteArray::fromStdString(made), link);
        QCOMPARE(ReadStripLink(made, read), ""s);
        QCOMPARE(AllCells(read), AllCells(codes));
    }
};

QTEST_GUILESS_MAIN(TestStripFormat)
#include "test_strip_format.moc"
