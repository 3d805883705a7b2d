#include "StripFile.h"
#include "StripFormat.h"

#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace mosaiq;
namespace fs = std::filesystem;

namespace {

template <std::size_t N> QByteArray Bytes(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

StripCodes CodesOf(const QList<int>& leading) {
    StripCodes codes{};
    for (qsizetype i = 0; i < leading.size(); ++i)
        codes[i] = static_cast<std::uint8_t>(leading[i]);
    return codes;
}

// Every code from 0 to 255, and no two neighbouring cells alike.
StripCodes EveryCode() {
    StripCodes codes{};
    for (int i = 0; i < kCellCount; ++i)
        codes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return codes;
}

QString Diff(const char* how, const StripCodes& got, const StripCodes& want) {
    for (int i = 0; i < kCellCount; ++i)
        if (got[i] != want[i])
            return QString("%1: cell %2 is %3, expected %4")
                .arg(how)
                .arg(i + 1)
                .arg(got[i])
                .arg(want[i]);
    return {};
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& p, std::string_view text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// Everything under `dir`: contents of files, "<dir>" for folders, "-> target" for links (never
// followed, so a link loop is just two entries).
void Snapshot(const fs::path& root, const fs::path& dir, std::map<std::string, std::string>& out) {
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string rel = e.path().lexically_relative(root).generic_string();
        const fs::file_status st = e.symlink_status();
        if (fs::is_symlink(st)) {
            out[rel] = "-> " + fs::read_symlink(e.path()).generic_string();
        } else if (fs::is_directory(st)) {
            out[rel] = "<dir>";
            Snapshot(root, e.path(), out);
        } else {
            out[rel] = fs::is_regular_file(st) ? ReadAll(e.path()) : "<other>";
        }
    }
}

std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    Snapshot(dir, dir, entries);
    return entries;
}

std::string Reason(std::errc e) {
    return std::make_error_code(e).message();
}

// Builds a folder from entries: "name/" a folder, "name|" a pipe, "name>target" a link, else a
// file holding "old".
void Populate(const fs::path& dir, const QStringList& entries) {
    for (const QString& entry : entries) {
        const std::string s = entry.toStdString();
        if (s.ends_with('/')) {
            fs::create_directories(dir / s);
        } else if (const auto arrow = s.find('>'); arrow != std::string::npos) {
            fs::create_directories((dir / s.substr(0, arrow)).parent_path());
            fs::create_symlink(s.substr(arrow + 1), dir / s.substr(0, arrow));
        } else if (s.ends_with('|')) {
#ifdef Q_OS_UNIX
            QVERIFY(::mkfifo((dir / s.substr(0, s.size() - 1)).c_str(), 0644) == 0);
#else
            QSKIP("pipes need a Unix system");
#endif
        } else {
            WriteAll(dir / s, "old");
        }
    }
}

struct RecordingHost {
    std::array<Color, kCellCount + 1> fill{};
    std::array<BarCaption, kCellCount + 1> caption{};
    std::array<Color, kCellCount + 1> captionColor{};
    std::array<bool, kCellCount + 1> border{};
    int calls = 0;

    void SetBarFill(int i, Color c) { fill[i] = c, ++calls; }
    void SetBarCaption(int i, BarCaption c) { caption[i] = c, ++calls; }
    void SetBarCaptionColor(int i, Color c) { captionColor[i] = c, ++calls; }
    void SetBarBorder(int i, bool b) { border[i] = b, ++calls; }
    void SetBarHint(int, std::string_view) { ++calls; }
    void SetPanelColor(Color) { ++calls; }
    void SetRunCaption(std::string_view) { ++calls; }
    void SetStatus(std::string_view) { ++calls; }
    void Yield(YieldPoint) { ++calls; }
};

// A machine and bars in the middle of things: odd codes, touched cells, borders, a marker away
// from bar 1 and a run going.
void MakeBusy(MachineState& m, RecordingHost& host) {
    for (int i = 1; i <= kCellCount; ++i) {
        m.Cells[i] = static_cast<std::uint8_t>(i * 5);
        m.Touched[i] = i % 3 == 0;
        host.fill[i] = EditColor(m.Cells[i]);
        host.border[i] = i % 4 == 0;
        host.captionColor[i] = kBlack;
    }
    host.caption[77] = BarCaption::X;
    m.StopRequest = false;
    m.Cause = StopCause::None;
}

} // namespace

class TestStripFormat : public QObject {
    Q_OBJECT

private slots:
    void formatWritesTwoUpperCaseDigitsAndCrLf_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("0") << 0 << QByteArray("00\r\n");
        QTest::newRow("10 keeps its leading zero") << 10 << QByteArray("0A\r\n");
        QTest::newRow("31") << 31 << QByteArray("1F\r\n");
        QTest::newRow("171 in upper case") << 171 << QByteArray("AB\r\n");
        QTest::newRow("255") << 255 << QByteArray("FF\r\n");
    }
    void formatWritesTwoUpperCaseDigitsAndCrLf() {
        QFETCH(int, code);
        QFETCH(QByteArray, line);
        StripCodes codes;
        codes.fill(static_cast<std::uint8_t>(code));
        const std::string text = FormatStrip(codes);
        QCOMPARE(text.size(), std::size_t{4096});
        QCOMPARE(QByteArray::fromStdString(text), line.repeated(kCellCount));
    }

    void readerTolerance_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<int>>("expected"); // the first cells; all others must be 0

        QTest::newRow("upper case") << Bytes("FF\r\n0A\r\n") << QList<int>{255, 10};
        QTest::newRow("lower case") << Bytes("ff\r\n0a\r\n") << QList<int>{255, 10};
        QTest::newRow("mixed case, one digit") << Bytes("fF\r\n7\r\nAb") << QList<int>{255, 7, 171};
        QTest::newRow("leading zeros")
            << Bytes("000A\r\n00000000000000000000FF") << QList<int>{10, 255};
        QTest::newRow("blanks and tabs anywhere")
            << Bytes(" 0 A\r\n\t1\tF\t\r\n \t \r\n0 0 0 1") << QList<int>{10, 31, 0, 1};
        QTest::newRow("junk after the digits")
            << Bytes("0A;junk 12\r\n1Fz\r\n5-3\r\n") << QList<int>{10, 31, 5};
        QTest::newRow("no leading digit")
            << Bytes(";0A\r\n-1\r\n+5\r\nG1\r\n") << QList<int>{0, 0, 0, 0};
        QTest::newRow("0x prefix stops at x") << Bytes("0x1F\r\n9x\r\n") << QList<int>{0, 9};
        QTest::newRow("out of range leaves 0")
            << Bytes("100\r\n1FF\r\n1 0 0\r\n05") << QList<int>{0, 0, 0, 5};
        QTest::newRow("values that wrap a 32- or 64-bit integer")
            << Bytes("10000000A\r\n1000000000000000A\r\nFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\r"
                     "\n07")
            << QList<int>{0, 0, 0, 7};
        QTest::newRow("empty lines")
            << Bytes("\r\n\r\n03\r\n\n\n04") << QList<int>{0, 0, 3, 0, 0, 4};
        QTest::newRow("empty file") << QByteArray() << QList<int>{};
        QTest::newRow("short file does not repeat its last line")
            << Bytes("05\r\n06\r\n") << QList<int>{5, 6};
        QTest::newRow("last line without line end") << Bytes("05\r\n06") << QList<int>{5, 6};
        QTest::newRow("LF") << Bytes("01\n02\n03\n") << QList<int>{1, 2, 3};
        QTest::newRow("bare CR") << Bytes("01\r02\r03\r") << QList<int>{1, 2, 3};
        QTest::newRow("mixed line ends")
            << Bytes("01\r\n02\n03\r04\r\n05") << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("CR CR is two line ends") << Bytes("01\r\r02") << QList<int>{1, 0, 2};
        QTest::newRow("LF CR is two line ends") << Bytes("01\n\r02") << QList<int>{1, 0, 2};
        QTest::newRow("CR LF LF is two line ends") << Bytes("01\r\n\n02") << QList<int>{1, 0, 2};
        QTest::newRow("NUL bytes") << Bytes("\0\r\n0A\0"
                                            "7\r\n1\0"
                                            "2")
                                   << QList<int>{0, 10, 1};

        QByteArray longFile;
        QList<int> first1024;
        for (int line = 1; line <= 2000; ++line) {
            const int code = line <= kCellCount ? line % 251 + 1 : 0xEE;
            longFile += QByteArray::number(code, 16) + "\r\n";
            if (line <= kCellCount) first1024 << code;
        }
        QTest::newRow("2000 lines: the rest is ignored") << longFile << first1024;

        const QByteArray tenMB(10 * 1024 * 1024, '0');
        QTest::newRow("10 MB of zeros, then A") << tenMB + "A\r\n05" << QList<int>{10, 5};
        QTest::newRow("10 MB of F") << QByteArray(tenMB).fill('F') + "\r\n05" << QList<int>{0, 5};
        QTest::newRow("0A, then 10 MB of junk")
            << "0A" + QByteArray(tenMB).fill('x') + "\r\n05" << QList<int>{10, 5};
    }
    void readerTolerance() {
        QFETCH(QByteArray, input);
        QFETCH(QList<int>, expected);
        const StripCodes want = CodesOf(expected);

        StripReader reader;
        reader.Feed(input.constData(), static_cast<std::size_t>(input.size()));
        QString diff = Diff("whole", reader.Finish(), want);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));

        // One byte at a time: every line end falls on a chunk boundary, a CR LF pair included.
        for (const char c : input)
            reader.Feed(&c, 1);
        diff = Diff("single bytes", reader.Finish(), want);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));

        QTemporaryDir dir;
        const fs::path file = fs::path(dir.path().toStdString()) / "input.mq";
        WriteAll(file, std::string_view(input.constData(), input.size()));
        StripCodes read{};
        QVERIFY(ReadStripFile(file, read));
        diff = Diff("file", read, want);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void readFileFailureKeepsCodes_data() {
        QTest::addColumn<QString>("path"); // relative to a fresh folder holding "file.mq"
        QTest::addColumn<int>("reason");
        QTest::newRow("missing file") << "missing.mq" << int(std::errc::no_such_file_or_directory);
        QTest::newRow("missing folder") << "none/x.mq" << int(std::errc::no_such_file_or_directory);
        QTest::newRow("directory") << "." << int(std::errc::is_a_directory);
        QTest::newRow("parent is a file") << "file.mq/x.mq" << int(std::errc::not_a_directory);
        QTest::newRow("read error") << "/proc/self/mem" << int(std::errc::io_error);
        QTest::newRow("endless device") << "/dev/zero" << -1; // would never end its first line
    }
    void readFileFailureKeepsCodes() {
        QFETCH(QString, path);
        QFETCH(int, reason);
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        WriteAll(root / "file.mq", "01\r\n");
        const fs::path target = root / path.toStdString();
        if (fs::path(path.toStdString()).is_absolute() && !fs::exists(target))
            QSKIP("no such file on this system");

        StripCodes codes = EveryCode();
        const FileStatus status = ReadStripFile(target, codes);
        QVERIFY(!status);
        QCOMPARE(status.error,
                 reason < 0 ? std::string("Not a regular file") : Reason(std::errc(reason)));
        QVERIFY(codes == EveryCode());
    }

    void readFileWithoutPermission() {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0) QSKIP("root reads a file whatever its permissions");
        QTemporaryDir dir;
        const fs::path file = fs::path(dir.path().toStdString()) / "secret.mq";
        WriteAll(file, "01\r\n");
        fs::permissions(file, fs::perms::none);
        StripCodes codes{};
        const FileStatus status = ReadStripFile(file, codes);
        QVERIFY(!status);
        QCOMPARE(status.error, Reason(std::errc::permission_denied));
#else
        QSKIP("needs Unix permissions");
#endif
    }

    void writeCreatesTheNamedFileOnly() {
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        QVERIFY(WriteStripFile(root / "program", EveryCode()));
        const auto want = std::map<std::string, std::string>{{"program", FormatStrip(EveryCode())}};
        QVERIFY(Snapshot(root) == want);
        StripCodes read{};
        QVERIFY(ReadStripFile(root / "program", read));
        QVERIFY(read == EveryCode());
    }

    void writeReplacesFileKeepingPermissions() {
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        const fs::path file = root / "old.mq";
        WriteAll(file, std::string(10000, 'Z'));
        const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
        fs::permissions(file, perms);

        QVERIFY(WriteStripFile(file, EveryCode()));
        QVERIFY(Snapshot(root) ==
                (std::map<std::string, std::string>{{"old.mq", FormatStrip(EveryCode())}}));
        QCOMPARE(fs::status(file).permissions(), perms);
    }

    void writeThroughLinksKeepsThem_data() {
        QTest::addColumn<QStringList>("entries"); // as Populate takes them
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("real");
        QTest::newRow("link from another folder")
            << QStringList{"real.mq", "sub/link.mq>../real.mq"} << "sub/link.mq"
            << "real.mq";
        QTest::newRow("link to a missing file") << QStringList{"link.mq>new.mq"} << "link.mq"
                                                << "new.mq";
        QTest::newRow("chain of links")
            << QStringList{"sub/real.mq", "b.mq>sub/real.mq", "a.mq>b.mq"} << "a.mq"
            << "sub/real.mq";
    }
    void writeThroughLinksKeepsThem() {
        QFETCH(QStringList, entries);
        QFETCH(QString, path);
        QFETCH(QString, real);
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        Populate(root, entries);
        auto want = Snapshot(root);
        want[real.toStdString()] = FormatStrip(EveryCode());

        const FileStatus status = WriteStripFile(root / path.toStdString(), EveryCode());
        QVERIFY2(status, status.error.c_str());
        QVERIFY(Snapshot(root) == want);
    }

    void writeFailureChangesNothing_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("target is a folder")
            << QStringList{"prog.mq/", "prog.mq/inner"} << "prog.mq"
            << QString::fromStdString(Reason(std::errc::is_a_directory));
        QTest::newRow("parent is a file")
            << QStringList{"file.mq"} << "file.mq/x.mq"
            << QString::fromStdString(Reason(std::errc::not_a_directory));
        QTest::newRow("missing folder")
            << QStringList{} << "none/x.mq"
            << QString::fromStdString(Reason(std::errc::no_such_file_or_directory));
        QTest::newRow("link loop")
            << QStringList{"a.mq>b.mq", "b.mq>a.mq"} << "a.mq"
            << QString::fromStdString(Reason(std::errc::too_many_symbolic_link_levels));
        QTest::newRow("pipe") << QStringList{"pipe.mq|"} << "pipe.mq"
                              << "Not a regular file";
    }
    void writeFailureChangesNothing() {
        QFETCH(QStringList, entries);
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        Populate(root, entries);
        const auto before = Snapshot(root);

        const FileStatus status = WriteStripFile(root / path.toStdString(), EveryCode());
        QVERIFY(!status);
        QCOMPARE(QString::fromStdString(status.error), reason);
        QVERIFY(Snapshot(root) == before);
    }

    // The disk "fills up" after 100 bytes: the old file must survive and no partial file remain.
    void writeFailingHalfwayKeepsOldFile() {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        WriteAll(root / "prog.mq", "old program");
        const auto before = Snapshot(root);

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
        rlimit small = old;
        small.rlim_cur = 100;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        const FileStatus status = WriteStripFile(root / "prog.mq", EveryCode());
        ::setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!status);
        QCOMPARE(status.error, Reason(std::errc::file_too_large));
        QVERIFY(Snapshot(root) == before);
#else
        QSKIP("needs setrlimit");
#endif
    }

    void writeRefusesReadOnlyFile() {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0) QSKIP("root may write any file");
#endif
        QTemporaryDir dir;
        const fs::path file = fs::path(dir.path().toStdString()) / "locked.mq";
        WriteAll(file, "old");
        fs::permissions(file, fs::perms::owner_read);
        const FileStatus status = WriteStripFile(file, EveryCode());
        QVERIFY(!status);
        QCOMPARE(status.error, Reason(std::errc::permission_denied));
        QCOMPARE(ReadAll(file), std::string("old"));
    }

    void loadFailureChangesNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << "missing.mq";
        QTest::newRow("directory") << ".";
    }
    void loadFailureChangesNothing() {
        QFETCH(QString, path);
        QTemporaryDir dir;
        MachineState m;
        RecordingHost host;
        MakeBusy(m, host);
        const MachineState before = m;

        QVERIFY(!LoadStripFile(m, host, fs::path(dir.path().toStdString()) / path.toStdString()));
        QVERIFY(m.Cells == before.Cells);
        QVERIFY(m.Touched == before.Touched);
        QCOMPARE(m.StopRequest, false);
        QCOMPARE(host.calls, 0);
    }

    void loadClearsStripThenFillsCells() {
        QTemporaryDir dir;
        const fs::path file = fs::path(dir.path().toStdString()) / "prog.mq";
        WriteAll(file, "03\r\n01\r\nff\r\n");
        MachineState m;
        RecordingHost host;
        MakeBusy(m, host);

        QVERIFY(LoadStripFile(m, host, file));
        QCOMPARE(int(m.Cells[1]), 3);
        QCOMPARE(int(m.Cells[2]), 1);
        QCOMPARE(int(m.Cells[3]), 255);
        for (int i = 4; i <= kCellCount; ++i)
            QCOMPARE(int(m.Cells[i]), 0);
        QVERIFY(m.StopRequest);
        QCOMPARE(m.Cause, StopCause::User);
        for (int i = 1; i <= kCellCount; ++i) {
            QVERIFY(!m.Touched[i]);
            QVERIFY(!host.border[i]);
            // Not repainted from the new codes: that is the caller's step.
            QCOMPARE(host.fill[i], kWhite);
            QCOMPARE(host.caption[i], i == 1 ? BarCaption::X : BarCaption::Empty);
        }
        QCOMPARE(host.captionColor[1], kRed);
    }

    void saveThenLoadGivesEveryCodeBack() {
        QTemporaryDir dir;
        const fs::path file = fs::path(dir.path().toStdString()) / "every.mq";
        MachineState saved;
        const StripCodes every = EveryCode();
        std::copy(every.begin(), every.end(), saved.Cells.begin() + 1);
        const std::uint8_t example[] = {3, 1, 5, 4, 1, 6, 0, 31};
        std::copy(std::begin(example), std::end(example), saved.Cells.begin() + 1);
        QVERIFY(SaveStripFile(saved, file));

        const std::string text = ReadAll(file);
        QCOMPARE(text.size(), std::size_t{4096});
        QCOMPARE(text.substr(0, 32),
                 std::string("03\r\n01\r\n05\r\n04\r\n01\r\n06\r\n00\r\n1F\r\n"));

        MachineState loaded;
        RecordingHost host;
        QVERIFY(LoadStripFile(loaded, host, file));
        QVERIFY(loaded.Cells == saved.Cells);
    }
};

QTEST_APPLESS_MAIN(TestStripFormat)
#include "test_strip_format.moc"
