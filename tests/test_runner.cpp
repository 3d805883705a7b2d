// The headless runner, run as a separate process the way other tools run it.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Exit code (-1: crashed or hung), standard output and standard error.
std::tuple<int, QByteArray, QString> RunTool(const QStringList& args) {
    QProcess process; // kills a hung runner when it goes
    process.start(QStringLiteral(MOSAIQ_RUN_PATH), args);
    const bool ended =
        process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestRunner : public QObject {
    Q_OBJECT
private slots:
    void run_data() {
        QTest::addColumn<QByteArray>("program"); // saved as %p
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("summary");  // the whole line, or a part of an error message
        QTest::addColumn<QByteArray>("start"); // of standard output
        // clang-format off
        QTest::newRow("empty strip") << QByteArray() << QStringList{"%p"} << 0 << "steps=1024 passes=1 x=1 end=limit" << QByteArray("00\r\n00\r\n");
        QTest::newRow("Run first") << QByteArray("7") << QStringList{"%p"} << 0 << "steps=1 passes=1 x=1 end=idle-run" << QByteArray("07\r\n00\r\n");
        QTest::newRow("endless passes, step budget") << QByteArray("1\n7") << QStringList{"--steps", "10", "%p"} << 0 << "steps=10 passes=6 x=1 end=steps" << QByteArray("01\r\n07\r\n");
        QTest::newRow("stray End Repeat") << QByteArray("6") << QStringList{"%p"} << 0 << "steps=1 passes=1 x=1 end=stray-end-repeat" << QByteArray("06\r\n");
        QTest::newRow("513 Repeats") << QByteArray("05\r\n").repeated(513) << QStringList{"%p"} << 0 << "steps=513 passes=1 x=1 end=loop-full" << QByteArray("05\r\n");
        QTest::newRow("--limit, a cell lowered") << QByteArray("1\n1\n1\n4\n3") << QStringList{"--limit=4", "%p"} << 0 << "steps=4 passes=1 x=4 end=limit" << QByteArray("01\r\n01\r\n01\r\n03\r\n03\r\n");
        QTest::newRow("missing program") << QByteArray() << QStringList{"/nonexistent/p.mq"} << 1 << "cannot read /nonexistent/p.mq" << QByteArray();
        QTest::newRow("no program") << QByteArray() << QStringList{} << 2 << "Usage:" << QByteArray();
        QTest::newRow("limit past 1024") << QByteArray() << QStringList{"--limit", "1025", "%p"} << 2 << "--limit" << QByteArray();
        QTest::newRow("unknown option") << QByteArray() << QStringList{"--fast", "%p"} << 2 << "unknown option --fast" << QByteArray();
        QTest::newRow("--help") << QByteArray() << QStringList{"--help"} << 0 << "" << QByteArray("Usage: mosaiq-run");
        // clang-format on
    }
    void run() {
        QFETCH(QByteArray, program);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, summary);
        QFETCH(QByteArray, start);
        QTemporaryDir dir;
        QFile file(dir.filePath("p.mq"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(program) == program.size() &&
                file.flush());
        const auto [code, out, err] = RunTool(args.replaceInStrings("%p", file.fileName()));
        QCOMPARE(code, exitCode);
        QVERIFY2(code ? err.contains(summary) : err.trimmed() == summary, qPrintable(err));
        QVERIFY2(out.startsWith(start) && (code == 0 || out.isEmpty()), out.left(80));
        if (code != 0 || !args.contains(file.fileName())) return;
        // The strip written to --out is the one standard output gets, with the same summary.
        QCOMPARE(out.size(), 4096);
        const auto [fileCode, fileOut, fileErr] =
            RunTool(QStringList{"--out", dir.filePath("o")} + args);
        QVERIFY(fileCode == 0 && fileOut.isEmpty() && fileErr == err);
        QFile written(dir.filePath("o"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), out);
    }
};

QTEST_GUILESS_MAIN(TestRunner)
#include "test_runner.moc"
