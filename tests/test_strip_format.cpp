// The program file format: the reader's tolerance, reading, saving and loading real files.

#include "StripFormat.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fstream>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace mosaiq;

namespace {

QList<int> AllCells(const StripCodes& codes) {
    return QList<int>(codes.begin(), codes.end());
}

// A temporary folder removed by the bytes of its names, as Qt cannot remove a name that is not
// UTF-8.
struct Folder : QTemporaryDir {
    Folder() { setAutoRemove(false); }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path().toStdString(), ec);
    }
};

// The path of `name` (its bytes percent-encoded) in `dir`; a name from the root stays as it is.
std::string In(const QString& dir, const QString& name) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(name.toUtf8());
    return (name.startsWith('/') ? bytes : dir.toUtf8() + '/' + bytes).toStdString();
}

// Makes the file `name` in `dir` with `text`, made `size` bytes long by a sparse end of zeros.
void Make(const QString& dir, const QString& name, const QByteArray& text, qint64 size = 0) {
    std::ofstream(In(dir, name), std::ios::binary) << text.toStdString();
    if (size > text.size()) std::filesystem::resize_file(In(dir, name), size);
}

} // namespace

class TestStripFormat : public QObject {
    Q_OBJECT
private slots:
    void reader_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<int>>("leading"); // the first cells; all others must be 0
        const QByteArray run(300'000, '0');
        StripCodes every; // every code, no two neighbours alike
        for (int i = 0; i < kCellCount; ++i)
            every[i] = std::uint8_t(i * 7 + 3);
        // clang-format off
        QTest::newRow("either case, one digit") << QByteArray("fF\r\n7\r\nAb\r\n0a") << QList<int>{255, 7, 171, 10};
        QTest::newRow("blanks and tabs anywhere") << QByteArray(" 0 A\r\n\t1\tF\t\r\n \t \r\n0 0 0 1") << QList<int>{10, 31, 0, 1};
        QTest::newRow("junk after or before digits") << QByteArray("0A;junk 12\r\n1Fz\r\n5-3\r\n;0A\r\n0x1F") << QList<int>{10, 31, 5, 0, 0};
        QTest::newRow("out of range gives 0") << QByteArray("100\r\n1FF\r\n1 0 0\r\n05") << QList<int>{0, 0, 0, 5};
        QTest::newRow("huge runs of hex digits") << "1" + run + "A\r\n" + run + "A\r\n" + QByteArray(run).fill('F') + "\r\n05" << QList<int>{0, 10, 0, 5};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n03\r\n\n\n04") << QList<int>{0, 0, 3, 0, 0, 4};
        QTest::newRow("short file, the rest 0") << QByteArray("05\r\n06\r\n") << QList<int>{5, 6};
        QTest::newRow("lines past 1024 ignored") << QByteArray("0A\r\n").repeated(1024) + QByteArray("FF\r\n").repeated(976) << QList<int>(kCellCount, 10);
        QTest::newRow("CR LF, LF, CR, CR CR, LF CR") << QByteArray("01\r\n02\n03\r04\r\r05\n\r06") << QList<int>{1, 2, 3, 4, 0, 5, 0, 6};
        QTest::newRow("every code, as saved") << QByteArray::fromStdString(FormatStrip(every)) << AllCells(every);
        QTest::newRow("CR LF across a 16 KiB read") << QByteArray(16382, '0') + "1\r\n02" << QList<int>{1, 2};
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF" "0A\r\n05") << QList<int>{10, 5};
        QTest::newRow("byte order mark alone") << QByteArray("\xEF\xBB\xBF") << QList<int>{};
        QTest::newRow("a mark begun is text") << QByteArray("\xEF\xBB" "0A\r\n\xEF" "05\r\n05") << QList<int>{0, 0, 5};
        QTest::newRow("a mark after the start is text") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "0A\r\n01\xEF\xBB\xBF\r\n\xEF\xBB\xBF" "02") << QList<int>{0, 1, 0};
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

    // The file routines on real paths. A read gives cell 1, cell 2 and how many cells are not 0
    // (238 238 1024: as they were); a save gives the folder's files and their sizes, and "same"
    // when f.mq is still the file it was. Either is preceded by why it failed.
    void files_data() {
        QTest::addColumn<QString>("setup"); // link: g.mq names f.mq too; ro: f.mq is read-only;
                                            // shut: the folder takes no new files; full: the disk
                                            // fills after 100 bytes; immutable: f.mq may not change
        QTest::addColumn<QString>("call");  // read or save, and a name, its bytes percent-encoded
        QTest::addColumn<QString>("result");
        const QString untouched = ": 238 238 1024",
                      tooLarge = "not a program file: too large" + untouched;
        // clang-format off
        QTest::newRow("missing") << "" << "read gone.mq" << "No such file or directory" + untouched;
        QTest::newRow("link loop") << "" << "read loop" << "Too many levels of symbolic links" + untouched;
        QTest::newRow("name too long") << "" << "read " + QString(300, 'n') << "File name too long" + untouched;
        QTest::newRow("path too long") << "" << "read " + QString("d/").repeated(2100) << "File name too long" + untouched;
        QTest::newRow("in a file") << "" << "read f.mq/x.mq" << "Not a directory" + untouched;
        QTest::newRow("in a folder not to be entered") << "" << "read shut/p.mq" << "Permission denied" + untouched;
        QTest::newRow("device") << "" << "read /dev/zero" << "Not a regular file" + untouched;
        QTest::newRow("Latin-1 name") << "" << "read caf%E9.mq" << ": 5 6 2";
        QTest::newRow("1 MiB, no line end") << "" << "read at limit" << ": 7 0 1";
        QTest::newRow("a byte more") << "" << "read past limit" << tooLarge;
        QTest::newRow("1024 lines, then 8 GiB") << "" << "read 8 GiB" << ": 1 1 1024";
        QTest::newRow("1024th line ends at the limit") << "" << "read lines to limit" << ": 1 1 1023";
        QTest::newRow("a byte later") << "" << "read lines past limit" << tooLarge;
        QTest::newRow("new file") << "" << "save n.mq" << ": f.mq 10000, n.mq 4096 same";
        QTest::newRow("replaced") << "" << "save f.mq" << ": f.mq 4096";
        QTest::newRow("Latin-1 name, new") << "" << "save caf%E9.mq" << ": caf%E9.mq 4096, f.mq 10000 same";
        QTest::newRow("hard link") << "link" << "save f.mq" << ": f.mq 4096, g.mq 4096 same";
        QTest::newRow("its other name") << "link" << "save g.mq" << ": f.mq 4096, g.mq 4096 same";
        QTest::newRow("folder takes no new files") << "shut" << "save f.mq" << ": f.mq 4096 same";
        QTest::newRow("nor may the file change") << "ro shut" << "save f.mq" << "Permission denied: f.mq 10000 same";
        QTest::newRow("new file there") << "shut" << "save n.mq" << "Permission denied: f.mq 10000 same";
        QTest::newRow("immutable file") << "immutable" << "save f.mq" << "Operation not permitted: f.mq 10000 same";
        QTest::newRow("disk full") << "full" << "save f.mq" << "File too large: f.mq 10000 same";
        QTest::newRow("disk full, in place") << "full link" << "save f.mq" << "File too large: f.mq 10000, g.mq 10000 same";
        // clang-format on
    }
    void files() {
        QFETCH(QString, setup);
        QFETCH(QString, call);
        QFETCH(QString, result);
        if ((setup.contains("shut") || result.contains("denied")) && ::geteuid() == 0)
            QSKIP("the superuser may enter and write any folder");
        Folder dir;
        const QString d = dir.path(), f = d + "/f.mq", name = call.section(' ', 1);
        const bool read = call.startsWith("read");
        const QByteArray lines = QByteArray("1\n").repeated(kCellCount - 1);
        const auto padded = [&](qint64 end) {
            return lines + QByteArray(end - lines.size(), ' ') + "\n 0";
        };
        Make(d, "f.mq", QByteArray(10000, '1'));
        QVERIFY(!read || (QDir(d).mkdir("shut") && QFile::link("loop", d + "/loop")));
        // clang-format off
        for (const auto& [file, text, size] : {std::tuple{"shut/p.mq", QByteArray("1"), 0ul}, {"caf%E9.mq", "5\r\n6", 0}, {"at limit", "7", kProgramFileLimit}, {"past limit", "7", kProgramFileLimit + 1}, {"8 GiB", lines + "1\n", 8ul << 30}, {"lines to limit", padded(kProgramFileLimit - 1), 0}, {"lines past limit", padded(kProgramFileLimit), 0}})
            if (read) Make(d, file, text, qint64(size));
        // clang-format on
        if (setup.contains("link")) std::filesystem::create_hard_link(In(d, "f.mq"), In(d, "g.mq"));
        if (setup.contains("ro")) QFile::setPermissions(f, QFile::ReadOwner);
        if (setup.contains("immutable") && QProcess::execute("chattr", {"+i", f}) != 0)
            QSKIP("files cannot be made immutable here");
        const auto inode = [&f] {
            struct stat st {};
            return ::stat(f.toUtf8(), &st) == 0 ? st.st_ino : 0;
        };
        const ino_t before = inode();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{setup.contains("full") ? rlim_t{100} : old.rlim_cur, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        QFile::setPermissions(d + "/shut", {});
        if (setup.contains("shut")) QFile::setPermissions(d, QFile::ReadOwner | QFile::ExeOwner);
        StripCodes codes;
        codes.fill(0xEE);
        const FileStatus status =
            read ? ReadStripFile(In(d, name), codes) : WriteStripFile(In(d, name), StripCodes{});
        ::setrlimit(RLIMIT_FSIZE, &old);
        for (const QString& folder : {d, d + "/shut"})
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (setup.contains("immutable")) QProcess::execute("chattr", {"-i", f});
        QStringList files;
        for (const auto& file : std::filesystem::directory_iterator(d.toStdString()))
            if (!read)
                files << QByteArray::fromStdString(file.path().filename().string())
                                 .toPercentEncoding(" .") +
                             ' ' + QString::number(file.file_size());
        files.sort();
        const auto count = std::ranges::count_if(codes, [](int code) { return code != 0; });
        const QString seen = read
                                 ? QStringLiteral("%1 %2 %3").arg(codes[0]).arg(codes[1]).arg(count)
                                 : files.join(", ") + (before && inode() == before ? " same" : "");
        QCOMPARE(QString::fromStdString(status.error) + ": " + seen, result);
    }
};

QTEST_APPLESS_MAIN(TestStripFormat)
#include "test_strip_format.moc"
