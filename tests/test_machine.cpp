// The cell machine: colour rules, the bar painting routines, the Reset Data and Clear All sweeps,
// and RunProgram driven through a scripted host.

#include "RunProgram.h"
#include "ScriptedHost.h"

#include <QtTest>

#include <map>
#include <memory>
#include <set>

using namespace mosaiq;
using mosaiq::test::kUnpainted;
using mosaiq::test::ScriptedHost;

// What a window handler does during the n-th yield at `point`.
struct Script {
    enum Act { None, Stop, Paint, Clear, Reset, Limit } act = None;
    YieldPoint point = YieldPoint::BeforeCheck;
    int n = 0;
    int cell = 0;
    int code = 0;
};
Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(mosaiq::RunEnd)

namespace {

Script NoScript() {
    return {};
}
Script StopAt(YieldPoint p, int n) {
    return {Script::Stop, p, n};
}
Script PaintAt(int check, int cell, int code) {
    return {Script::Paint, YieldPoint::BeforeCheck, check, cell, code};
}
Script ClearAt(int check) {
    return {Script::Clear, YieldPoint::BeforeCheck, check};
}
Script ResetAt(int check) {
    return {Script::Reset, YieldPoint::BeforeCheck, check};
}
Script LimitAt(int check, int limit) {
    return {Script::Limit, YieldPoint::BeforeCheck, check, 0, limit};
}

// "2 5 4 6 1024=3 10-12=7": bare codes fill cells from 1 on, "n=c" sets cell n, "a-b=c" a range;
// a bare code after an assignment goes to the next cell.
std::map<int, int> ParseCells(const QString& text) {
    std::map<int, int> cells;
    int next = 1;
    for (const QString& token : text.split(' ', Qt::SkipEmptyParts)) {
        const qsizetype eq = token.indexOf('=');
        if (eq < 0) {
            cells[next++] = token.toInt();
            continue;
        }
        const QString where = token.left(eq);
        const qsizetype dash = where.indexOf('-');
        const int from = (dash < 0 ? where : where.left(dash)).toInt();
        const int to = dash < 0 ? from : where.mid(dash + 1).toInt();
        for (int i = from; i <= to; ++i)
            cells[i] = token.mid(eq + 1).toInt();
        next = to + 1;
    }
    return cells;
}

std::set<int> ParseNumbers(const QString& text) {
    std::set<int> numbers;
    for (const QString& token : text.split(' ', Qt::SkipEmptyParts))
        numbers.insert(token.toInt());
    return numbers;
}

// A machine in the state the editor leaves it in before a run, with its scripted window.
struct Rig {
    MachineState m;
    ScriptedHost host{m};

    Rig(const QString& program, int runLimit, const Script& s) {
        for (const auto& [cell, code] : ParseCells(program))
            m.Cells[cell] = static_cast<std::uint8_t>(code);
        m.RunLimit = runLimit;
        m.StopRequest = false;
        host.maxChecks = 100'000;
        const auto at = [&](ScriptedHost::Action a) { host.At(s.point, s.n, std::move(a)); };
        switch (s.act) {
        case Script::None: break;
        case Script::Stop: host.StopAt(s.point, s.n); break;
        case Script::Paint:
            at([s](MachineState& m, ScriptedHost& h) {
                m.Cells[s.cell] = static_cast<std::uint8_t>(s.code);
                SetBarValue(m, h, s.cell);
            });
            break;
        case Script::Clear:
            at([](MachineState& m, ScriptedHost& h) { ClearStrip(m, h, StopCause::User); });
            break;
        case Script::Reset:
            at([](MachineState& m, ScriptedHost& h) {
                ResetTouchedCells(m, h);
                RepaintCells(m, h);
            });
            break;
        case Script::Limit: at([s](MachineState& m, ScriptedHost&) { m.RunLimit = s.code; }); break;
        }
    }
};

QString Trace(const ScriptedHost& host) {
    QStringList out;
    for (const auto& y : host.yieldLog) {
        if (y.point == YieldPoint::Sweep) continue;
        const char* tag = y.point == YieldPoint::BeforeCheck    ? "C"
                          : y.point == YieldPoint::AfterRepaint ? "R"
                                                                : "S";
        out << QString("%1%2").arg(tag).arg(y.progPos);
    }
    return out.join(' ');
}

} // namespace

class TestMachine : public QObject {
    Q_OBJECT
private slots:
    void colorRules_data();
    void colorRules();
    void setBarValue();
    void repaintCells();
    void resetTouchedCells();
    void clearStrip();
    void run_data();
    void run();
    void yieldOrder_data();
    void yieldOrder();
    void runDisplay_data();
    void runDisplay();
    void runColorOnBarUnderX();
    void touchedCellsResetAtNextRun();
};

void TestMachine::colorRules_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<uint>("edit");
    QTest::addColumn<uint>("run");
    QTest::addColumn<QString>("name");
    QTest::newRow("0 white") << 0 << 0xFFFFFFu << 0xFFFFFFu << "White Pixel";
    QTest::newRow("1 red") << 1 << 0x0000FFu << 0x0000FFu << "Next Pixel (X)";
    QTest::newRow("2 blue") << 2 << 0xFF0000u << 0xFF0000u << "Previous Pixel (X)";
    QTest::newRow("3 green") << 3 << 0x00FF00u << 0x00FF00u << "Plus Color";
    QTest::newRow("4 yellow") << 4 << 0x00FFFFu << 0x00FFFFu << "Minus Color";
    QTest::newRow("5 cyan") << 5 << 0xFFFF00u << 0xFFFF00u << "Repeat Until Pixel (X) Turns White";
    QTest::newRow("6 magenta") << 6 << 0xFF00FFu << 0xFF00FFu << "End Repeat";
    QTest::newRow("7 light grey") << 7 << 0xC0C0C0u << 0xC0C0C0u << "Run";
    QTest::newRow("8 dark / light") << 8 << 0x080808u << 0xF8F8F8u << "";
    QTest::newRow("9 dark / light") << 9 << 0x090909u << 0xF7F7F7u << "";
    QTest::newRow("128 same grey") << 128 << 0x808080u << 0x808080u << "";
    QTest::newRow("200") << 200 << 0xC8C8C8u << 0x383838u << "";
    QTest::newRow("254 light / dark") << 254 << 0xFEFEFEu << 0x020202u << "";
    QTest::newRow("255 black") << 255 << 0x000000u << 0x000000u << "";
}

void TestMachine::colorRules() {
    QFETCH(int, code);
    QFETCH(uint, edit);
    QFETCH(uint, run);
    QFETCH(QString, name);
    QCOMPARE(EditColor(static_cast<std::uint8_t>(code)), edit);
    QCOMPARE(RunColor(static_cast<std::uint8_t>(code)), run);
    if (code < kInstructionCount)
        QCOMPARE(QString::fromUtf8(kInstructionNames[code].data(), kInstructionNames[code].size()),
                 name);
}

void TestMachine::setBarValue() {
    auto m = std::make_unique<MachineState>();
    ScriptedHost host(*m);
    host.SetBarCaption(7, BarCaption::X);
    host.SetBarCaptionColor(7, kBlack);
    host.SetBarBorder(7, true);

    SetBarValue(*m, host, 7); // code 0
    QCOMPARE(host.bars[7].fill, kWhite);
    QCOMPARE(host.bars[7].hint, std::string(kBarHint));
    m->Cells[7] = NextPixel;
    SetBarValue(*m, host, 7);
    QCOMPARE(host.bars[7].fill, Color(0x0000FF));
    QCOMPARE(host.bars[7].hint, std::string(kBarHint)); // never removed
    QCOMPARE(host.bars[7].caption, BarCaption::X);
    QCOMPARE(host.bars[7].captionColor, kBlack);
    QVERIFY(host.bars[7].border);

    m->Cells[8] = 200;
    SetBarValue(*m, host, 8);
    QCOMPARE(host.bars[8].fill, Color(0xC8C8C8));
    QVERIFY(host.bars[8].hint.empty()); // never painted white
    QCOMPARE(host.fillLog, (std::vector<int>{7, 7, 8}));
}

void TestMachine::repaintCells() {
    auto m = std::make_unique<MachineState>();
    ScriptedHost host(*m);
    m->Cells[2] = 8;
    m->Cells[1024] = 255;
    host.SetBarCaption(1, BarCaption::X);
    host.SetBarBorder(3, true);
    host.SetBarHint(4, kBarHint);

    RepaintCells(*m, host);
    std::vector<int> order(kCellCount);
    for (int i = 0; i < kCellCount; ++i)
        order[i] = i + 1;
    QCOMPARE(host.fillLog, order);
    QCOMPARE(host.bars[1].fill, kWhite);
    QCOMPARE(host.bars[2].fill, Color(0x080808));
    QCOMPARE(host.bars[1024].fill, kBlack);
    QCOMPARE(host.bars[1].caption, BarCaption::X);
    QVERIFY(host.bars[3].border);
    for (int i = 1; i <= kCellCount; ++i)
        QCOMPARE(host.bars[i].hint, std::string(i == 4 ? kBarHint : ""));
}

void TestMachine::resetTouchedCells() {
    auto m = std::make_unique<MachineState>();
    ScriptedHost host(*m);
    m->Cells[5] = 2; // raised from 1 by a run: back to 0, not to 1
    m->Touched[5] = true;
    m->Cells[6] = 9;
    m->Cells[7] = 0;
    m->Touched[7] = true;
    m->StopRequest = false;
    host.SetBarCaption(5, BarCaption::X);
    host.SetBarCaptionColor(1, kBlack);
    host.SetBarBorder(6, true);

    ResetTouchedCells(*m, host);
    QCOMPARE(host.fillLog, (std::vector<int>{5, 7}));
    QCOMPARE(int(m->Cells[5]), 0);
    QCOMPARE(int(m->Cells[6]), 9);
    QCOMPARE(host.bars[5].fill, kWhite);
    QCOMPARE(host.bars[6].fill, kUnpainted);
    for (int i = 1; i <= kCellCount; ++i) {
        QVERIFY(!m->Touched[i]);
        QCOMPARE(host.bars[i].caption, i == 1 ? BarCaption::X : BarCaption::Empty);
    }
    QCOMPARE(host.bars[1].captionColor, kBlack); // the marker keeps its colour
    QVERIFY(host.bars[6].border);
    QVERIFY(!m->StopRequest);
}

void TestMachine::clearStrip() {
    auto m = std::make_unique<MachineState>();
    ScriptedHost host(*m);
    for (int i = 1; i <= kCellCount; ++i)
        m->Cells[i] = static_cast<std::uint8_t>(i);
    m->Touched[300] = true;
    m->StopRequest = false;
    host.SetBarBorder(40, true);
    host.SetBarCaption(40, BarCaption::X);
    host.SetBarCaptionColor(1, kBlack);
    host.SetBarHint(9, kBarHint);

    ClearStrip(*m, host, StopCause::User);
    QVERIFY(m->StopRequest);
    for (int i = 1; i <= kCellCount; ++i) {
        QCOMPARE(int(m->Cells[i]), 0);
        QVERIFY(!m->Touched[i]);
        QCOMPARE(host.bars[i].fill, kWhite);
        QVERIFY(!host.bars[i].border);
        QCOMPARE(host.bars[i].caption, i == 1 ? BarCaption::X : BarCaption::Empty);
        QCOMPARE(host.bars[i].hint, std::string(i == 9 ? kBarHint : ""));
    }
    QCOMPARE(host.bars[1].captionColor, kRed);
    QVERIFY(host.panelLog.empty());
    QVERIFY(host.statusLog.empty());
    QVERIFY(host.runCaptionLog.empty());
}

void TestMachine::run_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("limit");
    QTest::addColumn<Script>("script");
    QTest::addColumn<QString>("changed"); // cells whose final code differs from the program
    QTest::addColumn<QString>("touched");
    QTest::addColumn<int>("pixelX");
    QTest::addColumn<int>("loopTop");
    QTest::addColumn<RunEnd>("end");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("passes");
    QTest::addColumn<int>("checks");
    QTest::addColumn<int>("repaints");
    QTest::addColumn<int>("scans");

    const auto none = NoScript();
    const auto check = YieldPoint::BeforeCheck;
    // clang-format off
    QTest::newRow("empty strip runs every cell once")
        << "" << 0 << none << "" << "" << 1 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    QTest::newRow("limit above 1024 is clamped")
        << "" << 5000 << none << "" << "" << 1 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    QTest::newRow("previous from cell 1 wraps to 1024")
        << "2" << 0 << none << "" << "" << 1024 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    QTest::newRow("next from 1024 wraps to 1")
        << "2 1" << 0 << none << "" << "" << 1 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    QTest::newRow("plus on 255 gives 0")
        << "2 3 1024=255" << 0 << none << "1024=0" << "1024" << 1024 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    QTest::newRow("minus on 0 gives 255")
        << "2 4" << 0 << none << "1024=255" << "1024" << 1024 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    QTest::newRow("plus rewrites its own cell")
        << "3" << 0 << none << "1=4" << "1" << 1 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    QTest::newRow("nested 5 5 6 6 skipped whole, resumes after")
        << "2 5 5 6 6 3" << 0 << none << "1024=1" << "1024" << 1 << 1 << RunEnd::Limit << 1021 << 1 << 1021 << 1021 << 3;
    QTest::newRow("repeat until cell X turns white")
        << "2 5 4 6 1024=3" << 0 << none << "1024=0" << "1024" << 1024 << 1 << RunEnd::Limit << 1031 << 1 << 1031 << 1031 << 2;
    QTest::newRow("repeat in cell 1 pushes 0 and alternates")
        << "5 6" << 0 << StopAt(check, 6) << "" << "" << 1 << 2 << RunEnd::Stopped << 5 << 1 << 6 << 5 << 0;
    QTest::newRow("513th open loop stops")
        << "1-513=5" << 0 << none << "" << "" << 1 << 513 << RunEnd::LoopFull << 513 << 1 << 514 << 513 << 0;
    QTest::newRow("stray End Repeat stops")
        << "6 1" << 0 << none << "" << "" << 1 << 1 << RunEnd::StrayEndRepeat << 1 << 1 << 2 << 1 << 0;
    QTest::newRow("scan runs off cell 1024")
        << "2 5" << 0 << none << "" << "" << 1024 << 1 << RunEnd::NoEndRepeat << 2 << 1 << 2 << 2 << 1023;
    QTest::newRow("limit 5 never runs cell 6")
        << "1 6=1" << 5 << none << "" << "" << 2 << 1 << RunEnd::Limit << 5 << 1 << 5 << 5 << 0;
    QTest::newRow("scan to End Repeat past limit ends run")
        << "2 0 5 1 9=6 10=1" << 5 << none << "" << "" << 1024 << 1 << RunEnd::Limit << 3 << 1 << 3 << 3 << 6;
    QTest::newRow("Run with nothing executed stops at next check")
        << "7 1" << 0 << none << "" << "" << 1 << 1 << RunEnd::IdleRun << 1 << 1 << 2 << 1 << 0;
    QTest::newRow("data codes do not count as executed")
        << "8 255 0 7" << 0 << none << "" << "" << 1 << 1 << RunEnd::IdleRun << 4 << 1 << 5 << 4 << 0;
    QTest::newRow("1 7 starts passes until stopped")
        << "1 7" << 0 << StopAt(check, 7) << "" << "" << 1 << 1 << RunEnd::Stopped << 6 << 4 << 7 << 3 << 0;
    QTest::newRow("plus counts as executed")
        << "3 7" << 0 << StopAt(check, 5) << "1=3" << "1" << 1 << 1 << RunEnd::Stopped << 4 << 3 << 5 << 2 << 0;
    QTest::newRow("skipped Repeat counts as executed")
        << "0 5 6 7" << 0 << StopAt(check, 7) << "" << "" << 1 << 1 << RunEnd::Stopped << 6 << 3 << 7 << 4 << 2;
    QTest::newRow("limit changed in a pass waits for the next")
        << "1 7" << 0 << LimitAt(3, 1) << "" << "" << 2 << 1 << RunEnd::Limit << 5 << 3 << 5 << 3 << 0;
    QTest::newRow("each pass counts afresh")
        << "1 7" << 0 << PaintAt(3, 1, 0) << "1=0" << "" << 1 << 1 << RunEnd::IdleRun << 4 << 2 << 5 << 3 << 0;
    QTest::newRow("cell painted during a run is executed")
        << "" << 5 << PaintAt(1, 3, 1) << "3=1" << "" << 2 << 1 << RunEnd::Limit << 5 << 1 << 5 << 5 << 0;
    QTest::newRow("checked cell is read after the yield")
        << "" << 5 << PaintAt(1, 1, 2) << "1=2" << "" << 1024 << 1 << RunEnd::Limit << 5 << 1 << 5 << 5 << 0;
    QTest::newRow("Stop at a check ends before the cell")
        << "1 1" << 0 << StopAt(check, 2) << "" << "" << 2 << 1 << RunEnd::Stopped << 1 << 1 << 2 << 1 << 0;
    QTest::newRow("Stop in a scan ends at the next check")
        << "2 5 0 0 6 1" << 0 << StopAt(YieldPoint::Scan, 2) << "" << "" << 1024 << 1 << RunEnd::Stopped << 2 << 1 << 3 << 2 << 3;
    QTest::newRow("Clear All during a run")
        << "1 1 1" << 0 << ClearAt(3) << "1=0 2=0 3=0" << "" << 3 << 1 << RunEnd::Stopped << 2 << 1 << 3 << 2 << 0;
    QTest::newRow("Reset Data during a run goes on")
        << "2 3 3" << 0 << ResetAt(3) << "1024=1" << "1024" << 1 << 1 << RunEnd::Limit << 1024 << 1 << 1024 << 1024 << 0;
    // clang-format on
}

void TestMachine::run() {
    QFETCH(QString, program);
    QFETCH(int, limit);
    QFETCH(Script, script);
    QFETCH(QString, changed);
    QFETCH(QString, touched);
    QFETCH(int, pixelX);
    QFETCH(int, loopTop);
    QFETCH(RunEnd, end);
    QFETCH(int, steps);
    QFETCH(int, passes);
    QFETCH(int, checks);
    QFETCH(int, repaints);
    QFETCH(int, scans);

    auto rig = std::make_unique<Rig>(program, limit, script);
    auto& [m, host] = *rig;
    const RunResult result = RunProgram(m, host);

    QCOMPARE(QByteArray(RunEndName(result.end).data()), QByteArray(RunEndName(end).data()));
    QCOMPARE(result.steps, std::uint64_t(steps));
    QCOMPARE(result.passes, std::uint64_t(passes));
    QCOMPARE(host.Count(YieldPoint::BeforeCheck), checks);
    QCOMPARE(host.Count(YieldPoint::AfterRepaint), repaints);
    QCOMPARE(host.Count(YieldPoint::Scan), scans);
    QCOMPARE(host.Count(YieldPoint::Sweep), kCellCount);
    for (std::size_t k = host.yieldLog.size() - kCellCount; k < host.yieldLog.size(); ++k)
        QVERIFY(host.yieldLog[k].point == YieldPoint::Sweep);
    QCOMPARE(m.PixelX, pixelX);
    QCOMPARE(m.LoopTop, loopTop);

    auto expected = ParseCells(program);
    for (const auto& [cell, code] : ParseCells(changed))
        expected[cell] = code;
    const std::set<int> touchedCells = ParseNumbers(touched);
    for (int i = 1; i <= kCellCount; ++i) {
        const int code = expected.count(i) ? expected[i] : 0;
        QCOMPARE(int(m.Cells[i]), code);
        QCOMPARE(bool(m.Touched[i]), touchedCells.count(i) == 1);
        // The end of a run: "X" in red on bar PixelX only, the hint on every white cell.
        QCOMPARE(host.bars[i].caption, i == pixelX ? BarCaption::X : BarCaption::Empty);
        QCOMPARE(host.bars[i].hint, std::string(code == 0 ? kBarHint : ""));
    }
    QCOMPARE(host.bars[pixelX].captionColor, kRed);
    QCOMPARE(host.captionShownAtCheck, 0);
    QCOMPARE(m.RunLimit, 0);
    QVERIFY(m.StopRequest);
    QCOMPARE(host.statusLog, (std::vector<std::string>{"[Running]", "[Design]"}));
    QCOMPARE(host.runCaptionLog.back(), std::string("Run"));
    QCOMPARE(host.panelLog.back(), kBlack);
}

void TestMachine::yieldOrder_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("limit");
    QTest::addColumn<Script>("script");
    QTest::addColumn<QString>("trace"); // C check, R repaint, S scan, each with ProgPos
    const auto check = YieldPoint::BeforeCheck;
    QTest::newRow("idle Run repaints, ends at next check") << "7" << 0 << NoScript() << "C1 R1 C2";
    QTest::newRow("new pass neither repaints nor yields")
        << "1 7" << 0 << StopAt(check, 3) << "C1 R1 C2 C1";
    QTest::newRow("scan yields before each cell") << "2 5 6" << 3 << NoScript() << "C1 R1 C2 S2 R3";
    QTest::newRow("End Repeat repaints on the cell before its Repeat")
        << "5 6" << 0 << StopAt(check, 4) << "C1 R1 C2 R0 C1 R1 C2";
    QTest::newRow("Stop in a scan: scan ends, repaint, check")
        << "2 5 0 6 1" << 0 << StopAt(YieldPoint::Scan, 1) << "C1 R1 C2 S2 S3 R4 C5";
}

void TestMachine::yieldOrder() {
    QFETCH(QString, program);
    QFETCH(int, limit);
    QFETCH(Script, script);
    QFETCH(QString, trace);
    auto rig = std::make_unique<Rig>(program, limit, script);
    RunProgram(rig->m, rig->host);
    QCOMPARE(Trace(rig->host), trace);
    QCOMPARE(rig->host.Count(YieldPoint::Sweep), kCellCount);
}

void TestMachine::runDisplay_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("limit");
    QTest::addColumn<Script>("script");
    QTest::addColumn<QList<uint>>("panel");
    QTest::addColumn<QStringList>("runCaptions");
    const auto check = YieldPoint::BeforeCheck;
    QTest::newRow("whole strip: panel white, then black")
        << "" << 0 << NoScript() << QList<uint>{0xFFFFFF, 0} << QStringList{"Run"};
    QTest::newRow("limited run leaves the panel black")
        << "" << 5 << NoScript() << QList<uint>{0} << QStringList{"Run"};
    QTest::newRow("every new pass sets Stop")
        << "1 7" << 0 << StopAt(check, 5) << QList<uint>{0xFFFFFF, 0}
        << QStringList{"Stop", "Stop", "Run"};
    QTest::newRow("limited run with new passes")
        << "1 7" << 2 << StopAt(check, 5) << QList<uint>{0} << QStringList{"Stop", "Stop", "Run"};
}

void TestMachine::runDisplay() {
    QFETCH(QString, program);
    QFETCH(int, limit);
    QFETCH(Script, script);
    QFETCH(QList<uint>, panel);
    QFETCH(QStringList, runCaptions);
    auto rig = std::make_unique<Rig>(program, limit, script);
    auto& host = rig->host;
    // The panel turns white before the first step; the mode reads "[Running]" throughout.
    host.At(YieldPoint::BeforeCheck, 1, [limit](MachineState&, ScriptedHost& h) {
        QCOMPARE(h.statusLog, std::vector<std::string>{"[Running]"});
        QCOMPARE(h.panelLog.size(), std::size_t(limit == 0 ? 1 : 0));
    });
    RunProgram(rig->m, host);
    QCOMPARE(QList<uint>(host.panelLog.begin(), host.panelLog.end()), panel);
    QStringList captions;
    for (const auto& c : host.runCaptionLog)
        captions << QString::fromStdString(c);
    QCOMPARE(captions, runCaptions);
}

void TestMachine::runColorOnBarUnderX() {
    // X goes to 1024 (code 1: red fill, black caption colour), is moved on by cell 1024 itself.
    Rig rig("2 1024=1", 0, NoScript());
    RunProgram(rig.m, rig.host);
    QCOMPARE(rig.host.bars[1024].fill, Color(0x0000FF));
    QCOMPARE(rig.host.bars[1024].captionColor, kBlack);
    QCOMPARE(rig.m.PixelX, 1);
    QCOMPARE(rig.host.bars[1].fill, Color(0xFF0000));
    QCOMPARE(rig.host.bars[1].captionColor, kRed);

    // Plus Color turns 7 into 8: the run rule's light grey until the editing rule repaints it.
    Rig grey("2 3 1024=7", 2, NoScript());
    RunProgram(grey.m, grey.host);
    QCOMPARE(int(grey.m.Cells[1024]), 8);
    QCOMPARE(grey.host.bars[1024].fill, Color(0xF8F8F8));
    RepaintCells(grey.m, grey.host);
    QCOMPARE(grey.host.bars[1024].fill, Color(0x080808));
}

void TestMachine::touchedCellsResetAtNextRun() {
    Rig rig("2 3 3=7 1024=1", 2, NoScript());
    RunProgram(rig.m, rig.host);
    QCOMPARE(int(rig.m.Cells[1024]), 2);
    QVERIFY(rig.m.Touched[1024]);

    // The next run starts by setting the touched cell to 0, not back to 1; cell 1 no longer
    // reaches it, so only that reset paints bar 1024. StopRequest is still true from the last
    // run's end (a release with the white pen sets it again while a run is pending): the pass
    // start clears it, and the run goes on.
    rig.m.Cells[1] = 0;
    rig.m.RunLimit = 1;
    QVERIFY(rig.m.StopRequest);
    rig.host.fillLog.clear();
    rig.host.At(YieldPoint::BeforeCheck, 3, [](MachineState& m, ScriptedHost& h) {
        QCOMPARE(int(m.Cells[1024]), 0);
        QVERIFY(!m.Touched[1024]);
        QCOMPARE(int(m.Cells[3]), 7); // untouched cells keep their codes
        QCOMPARE(h.bars[1024].fill, kWhite);
        QCOMPARE(h.bars[1].caption, BarCaption::Empty); // the step cleared the start's marker
    });
    RunProgram(rig.m, rig.host);
    QCOMPARE(rig.host.fillLog, (std::vector<int>{1024, 1}));
    QCOMPARE(rig.host.Count(YieldPoint::BeforeCheck), 2 + 1);
}

QTEST_APPLESS_MAIN(TestMachine)
#include "test_machine.moc"
