// The cell machine: the colour rules and RunProgram through a scripted window.

#include "RunProgram.h"
#include "Table.h"

#include <QtTest>

#include <memory>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

struct Bar {
    Color captionColor = kRed;
    BarCaption caption = BarCaption::Empty;
    bool hint = false;
};

// The window as a run sees it: logs mode, panel, run item and yields in order, keeps the bars, and
// plays one handler at the n-th yield of a kind: "C3 stop", "S1 stop", "C3 limit=1", "C1 3=1"
// (paints cell 3 with code 1).
struct Host {
    MachineState& m;
    QString script;
    std::vector<Bar> bars = std::vector<Bar>(kCellCount + 1);
    QStringList log = {};
    int counts[4] = {};

    void SetBarFill(int, Color) {} // a run's colours: the editor's and the runner's suites
    void SetBarCaption(int i, BarCaption c) { bars[i].caption = c; }
    void SetBarCaptionColor(int i, Color c) { bars[i].captionColor = c; }
    void SetBarBorder(int, bool) {}
    void SetBarHint(int i, std::string_view s) { bars[i].hint = s == kBarHint; }
    void SetPanelColor(Color c) { log << (c == kWhite ? "white" : c == kBlack ? "black" : "?"); }
    void SetRunCaption(std::string_view s) { log << QString::fromLatin1(s.data(), s.size()); }
    void SetStatus(std::string_view s) { log << QString::fromLatin1(s.data(), s.size()); }
    void Yield(YieldPoint p) {
        const QString kind(QLatin1Char("CRSW"[int(p)]));
        const int n = ++counts[int(p)];
        if (p != YieldPoint::Sweep)
            log << kind + QString::number(m.ProgPos);
        else if (n == 1)
            log << kind;
        // The step clears its caption before this yield: no bar shows "X" during a run.
        if (p == YieldPoint::BeforeCheck && bars[m.ProgPos].caption != BarCaption::Empty)
            log << "X!";
        if (p == YieldPoint::BeforeCheck && n > 100'000) m.RequestStop(RunEnd::Steps);
        const QStringList s = script.split(' '), kv = s.last().split('=');
        if (s.size() < 2 || s[0] != kind + QString::number(n)) return;
        if (s[1] == "stop")
            m.RequestStop(RunEnd::Stopped);
        else if (kv[0] == "limit")
            m.RunLimit = kv[1].toInt();
        else
            m.Cells[kv[0].toInt()] = kv[1].toInt(), SetBarValue(m, *this, kv[0].toInt());
    }
};

// "2 5 1024=3 10-12=7 5=9t": bare codes fill cells from 1 on (or after the last one named), "n=c"
// sets cell n, "a-b=c" a range; a trailing t marks the cell touched by an earlier run.
void Load(MachineState& m, const QString& program) {
    int next = 1;
    for (QString token : program.split(' ', Qt::SkipEmptyParts)) {
        const bool touched = token.endsWith('t');
        token.remove('t');
        const QStringList kv = token.split('=');
        const QStringList range =
            kv.size() > 1 ? kv[0].split('-') : QStringList{QString::number(next)};
        for (int i = range.first().toInt(); i <= range.last().toInt(); next = ++i)
            m.Cells[i] = kv.last().toInt(), m.Touched[i] = touched;
    }
}

} // namespace

class TestMachine : public QObject {
    Q_OBJECT
private slots:
    void colorRules_data() {
        Columns<int, uint, uint>("code", "edit", "run");
        // clang-format off
        QTest::newRow("1 red, blue-green-red order") << 1 << 0x0000FFu << 0x0000FFu;
        QTest::newRow("254 light, inverted dark") << 254 << 0xFEFEFEu << 0x020202u;
        QTest::newRow("255 black") << 255 << 0u << 0u;
        // clang-format on
    }

    void colorRules() {
        const auto [code, edit, run] = Fetch<int, uint, uint>("code", "edit", "run");
        QCOMPARE(EditColor(std::uint8_t(code)), edit);
        QCOMPARE(RunColor(std::uint8_t(code)), run);
    }

    void run_data() {
        // The result: end, steps, passes, X, LoopTop, yields per kind | cells changed (t: touched),
        // kN: bar N left with a black caption colour. The trace: the log between the start and the
        // sweep, when short.
        Columns<QString, int, QString, QString, QString>("program", "limit", "script", "result",
                                                         "trace");
        // clang-format off
        QTest::newRow("empty strip") << "" << 0 << "" << "limit s1024 p1 x1 top1 C1024 R1024 S0 |" << "";
        QTest::newRow("X wraps both ways") << "2 2 1 1 1 2 1024=1" << 6 << "" << "limit s6 p1 x1 top1 C6 R6 S0 | k1024" << "";
        QTest::newRow("codes wrap 0-1 and 255+1") << "2 4 2 3 1023=255" << 4 << "" << "limit s4 p1 x1023 top1 C4 R4 S0 | 1023=0t 1024=255t" << "";
        QTest::newRow("touched reset to 0 first, grey by run rule") << "2 3 2 3 5=9t 1023=7 1024=7t" << 4 << "" << "limit s4 p1 x1023 top1 C4 R4 S0 | 5=0 1023=8t 1024=1t k1024" << "";
        QTest::newRow("nested 5 5 6 6 skipped, limit 2000 clamped") << "2 5 5 6 6 3" << 2000 << "" << "limit s1021 p1 x1 top1 C1021 R1021 S3 | 1024=1t k1024" << "";
        QTest::newRow("loop until cell X is white") << "2 5 4 6 1024=3" << 0 << "" << "limit s1031 p1 x1024 top1 C1031 R1031 S2 | 1024=0t" << "";
        QTest::newRow("Repeat in cell 1 pushes 0") << "5 6" << 0 << "C4 stop" << "stopped s3 p1 x1 top2 C4 R3 S0 |" << "C1 R1 C2 R0 C1 R1 C2";
        QTest::newRow("513th open loop") << "1-513=5" << 0 << "" << "loop-full s513 p1 x1 top513 C514 R513 S0 |" << "";
        QTest::newRow("stray End Repeat") << "6 1" << 0 << "" << "stray-end-repeat s1 p1 x1 top1 C2 R1 S0 |" << "C1 R1 C2";
        QTest::newRow("scan off cell 1024") << "2 5" << 0 << "" << "no-end-repeat s2 p1 x1024 top1 C2 R2 S1023 |" << "";
        QTest::newRow("scan past the limit") << "2 0 5 1 9=6 10=1" << 5 << "" << "limit s3 p1 x1024 top1 C3 R3 S6 |" << "C1 R1 C2 R2 C3 S3 S4 S5 S6 S7 S8 R9";
        QTest::newRow("Run with only data codes") << "8 255 0 7 1" << 0 << "" << "idle-run s4 p1 x1 top1 C5 R4 S0 |" << "C1 R1 C2 R2 C3 R3 C4 R4 C5";
        QTest::newRow("Run starts a pass, which counts afresh") << "1 7" << 0 << "C3 1=0" << "idle-run s4 p2 x1 top1 C5 R3 S0 | 1=0" << "C1 R1 C2 Stop C1 R1 C2 R2 C3";
        QTest::newRow("limit changed waits for the pass") << "1 7" << 0 << "C3 limit=1" << "limit s5 p3 x2 top1 C5 R3 S0 |" << "C1 R1 C2 Stop C1 R1 C2 Stop C1 R1";
        QTest::newRow("Stop during a scan") << "2 5 0 6 1" << 0 << "S1 stop" << "stopped s2 p1 x1024 top1 C3 R2 S2 |" << "C1 R1 C2 S2 S3 R4 C5";
        QTest::newRow("cell painted at its check runs") << "" << 5 << "C1 1=1" << "limit s5 p1 x2 top1 C5 R5 S0 | 1=1" << "";
        // clang-format on
    }

    void run() {
        const auto [program, limit, script, result, trace] =
            Fetch<QString, int, QString, QString, QString>("program", "limit", "script", "result",
                                                           "trace");
        auto before = std::make_unique<MachineState>();
        Load(*before, program);
        auto m = std::make_unique<MachineState>(*before);
        m->RunLimit = limit;
        Host host{*m, script};
        const RunResult r = RunProgram(*m, host);

        QString got = QString::asprintf("%s s%d p%d x%d top%d C%d R%d S%d |",
                                        std::string(RunEndName(r.end)).c_str(), int(r.steps),
                                        int(r.passes), m->PixelX, m->LoopTop, host.counts[0],
                                        host.counts[1], host.counts[2]);
        for (int i = 1; i <= kCellCount; ++i) {
            const Bar& bar = host.bars[i];
            if (m->Cells[i] != before->Cells[i] || m->Touched[i])
                got += QString(" %1=%2").arg(i).arg(m->Cells[i]) + (m->Touched[i] ? "t" : "");
            if (i != m->PixelX && bar.captionColor == kBlack) got += QString(" k%1").arg(i);
            // The closing sweep: the hint on every white cell.
            QCOMPARE(bar.hint, m->Cells[i] == 0);
        }
        QCOMPARE(got, result);
        QCOMPARE(host.bars[m->PixelX].captionColor, kRed);
        QCOMPARE(host.counts[3], kCellCount);
        QVERIFY(m->StopRequest && m->RunLimit == 0);
        // Around the steps: the mode, the panel (white only for a whole-strip run), the run item.
        const QString all = host.log.join(' '), tail = " W [Design] Run black";
        const QString head = limit ? "[Running] " : "[Running] white ";
        QVERIFY2(all.startsWith(head) && all.endsWith(tail) && !all.contains('!'), qPrintable(all));
        const QString steps = all.mid(head.size(), all.size() - head.size() - tail.size());
        if (!trace.isEmpty()) QCOMPARE(steps, trace);
    }
};

QTEST_APPLESS_MAIN(TestMachine)
#include "test_machine.moc"
