// The Load and Save commands and the start-up's own steps, on real files in a temporary folder,
// with the editor's rules and a window that answers from a script.

#include "FileCommands.h"
#include "RecordingView.h"
#include "StartupSteps.h"

#include <QFile>
#include <QTemporaryDir>

using namespace mosaiq;

class TestFileCommands : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    // Strips of one family: cell i holds (7 i + seed) mod 256, so every code shows; -1 is empty.
    // Where letter case matters, r.mq is another file than R.MQ.
    std::map<QString, int> seeds = {{"a ~ b.mq", 4}, {"x y.mq", 6}, {"R.MQ", 5}, {"r.mq", 9}};
    static int Code(int i, int seed) { return seed < 0 ? 0 : (7 * i + seed) & 0xFF; }
    static QByteArray Text(int seed) {
        QByteArray text;
        for (int i = 1; i <= kCellCount; ++i)
            text += QByteArray::number(Code(i, seed), 16).toUpper().rightJustified(2, '0') + "\r\n";
        return text;
    }
    // The first cell whose code or bar colour is not of the family `s`; 0 when all match.
    static int FirstMismatch(const Editor& w, int s) {
        for (int i = 1; i <= kCellCount; ++i)
            if (w.Machine.Cells[i] != Code(i, s) || w.Bars.At(i).fill != EditColor(Code(i, s)))
                return i;
        return 0;
    }

private slots:
    void initTestCase() {
        for (const auto& [name, seed] : seeds) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(Text(seed)) == 4096);
        }
    }

    // Start-up with a path, then a command issued twice: start-up argument, command, the
    // chooser's answer (empty: cancelled) and whether the command fails. "." is a folder.
    void command_data() {
        QTest::addColumn<QStringList>("row");
        const auto row = [](const char* name, QStringList r) { QTest::newRow(name) << r; };
        row("tilde; load capitals", {"a ~ b.mq", "load", "R.MQ", "works"});
        row("bare; load cancelled", {"", "load", "", "works"});
        row("mixed case; load missing", {"R.MQ", "load", "gone.mq", "fails"});
        row("missing; load folder", {"gone.mq", "load", ".", "fails"});
        row("blanks; save", {"x y.mq", "save", "saved.mq", "works"});
        row("unreadable; save cancelled", {".", "save", "", "works"});
        row("save to folder", {"a ~ b.mq", "save", ".", "fails"});
        row("save under a file", {"a ~ b.mq", "save", "a ~ b.mq/x.mq", "fails"});
    }
    void command() {
        QFETCH(QStringList, row);
        const bool load = row[1] == "load", fails = row[3] == "fails", unreadable = row[0] == ".";
        const bool done = !fails && !row[2].isEmpty();
        const QString start = row[0].isEmpty() ? "" : dir.filePath(row[0]);
        const QString path = row[2].isEmpty() ? "" : dir.filePath(row[2]);
        const int seed = seeds.count(row[0]) ? seeds.at(row[0]) : -1;
        test::RecordingView view;
        Editor w(view);
        view.form = &w;
        ChooserPlaces places;
        places.programFolder = "/the/program";
        InstallFileCommands(w, places);
        w.Form_Resize(false, Editor::kDesignClientWidth, Editor::kDesignClientHeight);
        const std::string error = PrepareEditor(w, start.toStdString());
        QCOMPARE(test::Q(w.Caption), "Mosaiq [Design]" + (start.isEmpty() ? "" : " ~ " + start));
        QCOMPARE(FirstMismatch(w, seed), 0);
        QCOMPARE(error.empty(), !unreadable);
        QVERIFY(w.Bars.At(1).caption == BarCaption::X && !w.mnuContext.mnuSave.Enabled);
        QVERIFY(w.lColor[1].Border && w.PenCode == 0 && w.FreshStart && w.Machine.StopRequest);

        w.FreshStart = false; // as the first-time menu leaves it
        w.mnuContext.mnuClear.Enabled = w.mnuContext.mnuRun.Enabled = false;
        w.Machine.Touched[2] = true; // as a run leaves the strip
        w.Bars.SetCaption(1, BarCaption::Empty);
        view.fileAnswers = {path.toStdString(), path.toStdString()};
        for (int k = 0; k < 2; ++k)
            (load ? w.mnuLoad_Click : w.mnuSave_Click)();
        const QString fileName = done ? path : start; // where the second chooser starts
        const FileRequest& r = view.requests.back();
        QVERIFY(r.kind == (load ? FileRequest::Kind::Open : FileRequest::Kind::Save));
        QCOMPARE(test::Q(r.folder + '|' + r.fileName + '|' + r.title + '|' + r.filter),
                 "/the/program|" + fileName +
                     (load ? "|Load Mosaiq file|mosaiq files (*.mq)|*.mq"
                           : "|Save Mosaiq file|Mosaiq files (*.mq)|*.mq"));
        w.lColor_Click(3); // until the hand-off the palette answers and the bars do not
        w.Bar_MouseDown(2, 1);
        w.Bar_MouseUp(2, 1);
        w.Bar_MouseUp(2, 2);
        QVERIFY(w.Busy && w.PenCode == 3 && view.menus.isEmpty() && !w.Bars.At(2).border);
        QCOMPARE(test::Q(w.Caption),
                 "Mosaiq [Design]" + (fileName.isEmpty() ? "" : " ~ " + fileName));
        QCOMPARE(FirstMismatch(w, load && done ? 5 : seed), 0);
        QCOMPARE(w.Machine.Touched[2] || w.Bars.At(1).caption != BarCaption::X, !load || !done);
        QCOMPARE(view.questions.size(), 2 * fails);
        for (const QString& q : view.questions)
            QVERIFY2(q.startsWith("Mosaiq|The file " + path + " could not be "), qPrintable(q));
        // What was saved, twice; otherwise the file the editor started with is as it was.
        QFile file(!load && done ? path : dir.filePath("a ~ b.mq"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), Text(!load && done ? seed : 4));

        QVERIFY(w.OneShot.Counting() && w.OneShot.Interval() == 250);
        w.OneShot_Timer();
        QVERIFY(!w.Busy && w.OneShot.Tag().empty());
        QVERIFY(w.PenCode == (load ? 0 : 3) && w.lColor[0].Border == load &&
                w.lColor[3].Border != load);
        QCOMPARE(view.menus,
                 load ? QStringList{!fileName.isEmpty()
                                        ? "menu off: Reset Data, Save ..."
                                        : "menu off: Clear All, Reset Data, Run, Save ..."}
                      : QStringList{});
    }

    void loadDuringRunStopsIt() {
        test::EditorFixture f;
        Editor& w = *f.form;
        InstallFileCommands(w, {});
        f.view.fileAnswers = {dir.filePath("R.MQ").toStdString()};
        // Loops for ever with X on cell 2, until the load at the 50th yield stops it.
        f.Play("cell 1 1; cell 2 5; cell 3 6; Run");
        f.view.onYield = [&w](long n) {
            if (n == 50) w.mnuLoad_Click();
            if (n == 1'000'000) w.Machine.RequestStop(RunEnd::Steps);
        };
        f.Play("wait");
        QVERIFY(!w.Running && w.LastRun.end == RunEnd::Stopped);
        QVERIFY(w.mnuContext.mnuRun.Caption == "Run" && FirstMismatch(w, 5) == 0);
    }
};

QTEST_APPLESS_MAIN(TestFileCommands)
#include "test_file_commands.moc"
