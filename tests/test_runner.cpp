// The headless runner, run as a separate process the way other tools run it.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Outcome RunTool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(MOSAIQ_RUN_PATH), args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

// A program file whose first cells hold `codes`, with cells given as "cell:code" overriding.
QByteArray ProgramText(const QList<int>& codes) {
    QByteArray text;
    for (int i = 0; i < 1024; ++i)
        text += QByteArray::number(i < codes.size() ? codes[i] : 0, 16)
                    .rightJustified(2, '0')
                    .toUpper() +
                "\r\n";
    return text;
}

QList<int> Repeat(int code, int count) {
    return QList<int>(count, code);
}

} // namespace

class TestRunner : public QObject {
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
    void outFileMatchesStandardOutput();
    void errors_data();
    void errors();
};

void TestRunner::runs_data() {
    QTest::addColumn<QList<int>>("program");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QList<int>>("firstCells"); // expected start of the final strip

    QTest::newRow("empty strip") << QList<int>{} << QStringList{}
                                 << "steps=1024 passes=1 x=1 end=limit" << QList<int>{0, 0};
    QTest::newRow("run cell first")
        << QList<int>{7} << QStringList{} << "steps=1 passes=1 x=1 end=idle-run" << QList<int>{7};
    QTest::newRow("endless passes, budget")
        << QList<int>{1, 7} << QStringList{"--steps", "10"} << "steps=10 passes=6 x=1 end=steps"
        << QList<int>{1, 7};
    QTest::newRow("limit") << QList<int>{1, 1, 1, 1, 3} << QStringList{"--limit", "3"}
                           << "steps=3 passes=1 x=4 end=limit" << QList<int>{1, 1, 1, 1, 3};
    QTest::newRow("stray end repeat")
        << QList<int>{6} << QStringList{} << "steps=1 passes=1 x=1 end=stray-end-repeat"
        << QList<int>{6};
    QTest::newRow("scan off the end")
        << QList<int>{2, 5} << QStringList{} << "steps=2 passes=1 x=1024 end=no-end-repeat"
        << QList<int>{2, 5};
    QTest::newRow("512 open loops") << Repeat(5, 513) << QStringList{"--steps=0"}
                                    << "steps=513 passes=1 x=1 end=loop-full" << QList<int>{5};
    // X moves to cell 4 and lowers it below zero: 0 - 1 wraps to 255.
    QTest::newRow("codes wrap") << QList<int>{1, 1, 1, 4} << QStringList{}
                                << "steps=1024 passes=1 x=4 end=limit" << QList<int>{1, 1, 1, 3};
    QTest::newRow("minus on white") << QList<int>{2, 4} << QStringList{"--limit", "2"}
                                    << "steps=2 passes=1 x=1024 end=limit" << QList<int>{2, 4};
}

void TestRunner::runs() {
    QFETCH(QList<int>, program);
    QFETCH(QStringList, options);
    QFETCH(QString, summary);
    QFETCH(QList<int>, firstCells);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.mq"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ProgramText(program));
    file.close();

    const Outcome outcome = RunTool(options + QStringList{path});
    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.err.trimmed(), summary);
    QCOMPARE(outcome.out.size(), 4096);
    const QList<QByteArray> lines = outcome.out.split('\n');
    for (int i = 0; i < firstCells.size(); ++i)
        QCOMPARE(lines[i].trimmed().toInt(nullptr, 16), firstCells[i]);
}

void TestRunner::outFileMatchesStandardOutput() {
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("p.mq"));
    const QString out = dir.filePath(QStringLiteral("out.mq"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ProgramText({1, 3, 1, 4, 2, 2, 4, 7}));
    file.close();
    const Outcome toStdout = RunTool({"--steps", "1000", program});
    const Outcome toFile = RunTool({"--steps", "1000", "--out", out, program});
    QCOMPARE(toFile.exitCode, 0);
    QVERIFY(toFile.out.isEmpty());
    QCOMPARE(toFile.err, toStdout.err);
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), toStdout.out);
    // The program lowers its own cells, so the strip that comes out is not the one that went in.
    QVERIFY(toStdout.out != ProgramText({1, 3, 1, 4, 2, 2, 4, 7}));
}

void TestRunner::errors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errContains");
    QTest::newRow("missing program") << QStringList{"/nonexistent/p.mq"} << 1 << "cannot read";
    QTest::newRow("program is a folder") << QStringList{"/"} << 1 << "cannot read";
    QTest::newRow("no program") << QStringList{} << 2 << "Usage:";
    QTest::newRow("two programs") << QStringList{"a.mq", "b.mq"} << 2 << "Usage:";
    QTest::newRow("limit too high") << QStringList{"--limit", "1025", "a.mq"} << 2 << "--limit";
    QTest::newRow("limit zero") << QStringList{"--limit=0", "a.mq"} << 2 << "--limit";
    QTest::newRow("steps not a number") << QStringList{"--steps", "-5", "a.mq"} << 2 << "--steps";
    QTest::newRow("unknown option") << QStringList{"--fast", "a.mq"} << 2 << "unknown option";
    QTest::newRow("option without value") << QStringList{"a.mq", "--out"} << 2 << "needs a value";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
}

void TestRunner::errors() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, errContains);
    const Outcome outcome = RunTool(args);
    QCOMPARE(outcome.exitCode, exitCode);
    QVERIFY2(outcome.err.contains(errContains), qPrintable(outcome.err));
    if (exitCode != 0)
        QVERIFY(outcome.out.isEmpty());
    else
        QVERIFY(outcome.out.startsWith("Usage: mosaiq-run"));
}

QTEST_GUILESS_MAIN(TestRunner)
#include "test_runner.moc"
