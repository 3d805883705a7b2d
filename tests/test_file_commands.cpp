// The Load and Save commands and the editor's start-up, on real files in a temporary folder and a
// real editor window whose modal pieces answer from a script.

#include "EditorFixture.h"
#include "PaletteLabel.h"

#include <QTemporaryDir>
#include <QTimer>

using namespace mosaiq;

// Holds the start-up message open longer than the first-time menu waits.
struct SlowReader : test::ScriptedDialogs {
    int menusAfterMessage = -1;
    void Inform(QWidget* parent, const QString& title, const QString& text) override {
        if (menus.empty()) {
            QTest::qWait(1800);
            menusAfterMessage = int(menus.size());
        }
        test::ScriptedDialogs::Inform(parent, title, text);
    }
};

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
    static int FirstMismatch(const EditorWindow& w, int s) {
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
        SlowReader dialogs;
        EditorWindow w(dialogs);
        Form_Load(w, start);
        QCOMPARE(w.Caption(), "Mosaiq [Design]" + (start.isEmpty() ? "" : " ~ " + start));
        QCOMPARE(FirstMismatch(w, seed), 0);
        QVERIFY(w.Bars.At(1).caption == BarCaption::X && !w.mnuSave->isEnabled());
        // A message about the file comes once the window shows; the first-time menu waits for it.
        QVERIFY(w.isVisible() && dialogs.questions.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(int(dialogs.menus.size()), 1, 5000);
        QVERIFY(w.PenCode == 1 && w.lColor[1]->Border() && !w.FreshStart);
        QCOMPARE(dialogs.menusAfterMessage, unreadable ? 0 : -1);

        w.Machine.Touched[2] = true; // as a run leaves the strip
        w.Bars.SetCaption(1, BarCaption::Empty);
        w.mnuGC->setEnabled(true);
        w.mnuSave->setEnabled(true);
        dialogs.fileAnswers = {path, path};
        for (int k = 0; k < 2; ++k)
            (load ? w.mnuLoad : w.mnuSave)->trigger();
        const QString fileName = done ? path : start; // where the second chooser starts
        const Dialogs::FileRequest& r = dialogs.fileRequests.back();
        QVERIFY(r.kind == (load ? Dialogs::FileKind::Open : Dialogs::FileKind::Save));
        QCOMPARE(r.folder + '|' + r.fileName + '|' + r.title + '|' + r.filter,
                 qApp->applicationDirPath() + '|' + fileName +
                     (load ? "|Load Mosaiq file|mosaiq files (*.mq)|*.mq"
                           : "|Save Mosaiq file|Mosaiq files (*.mq)|*.mq"));
        w.lColor_Click(3); // until the hand-off the palette answers and the bars do not
        QTest::mouseClick(w.Panel, Qt::LeftButton, {}, w.Panel->BarRect(2).center());
        QTest::mouseClick(w.Panel, Qt::RightButton, {}, w.Panel->BarRect(2).center());
        QVERIFY(w.PenCode == 3 && dialogs.menus.size() == 1 && !w.Bars.At(2).border);
        QCOMPARE(w.Caption(), "Mosaiq [Design]" + (fileName.isEmpty() ? "" : " ~ " + fileName));
        QCOMPARE(FirstMismatch(w, load && done ? 5 : seed), 0);
        QCOMPARE(w.Machine.Touched[2] || w.Bars.At(1).caption != BarCaption::X, !load || !done);
        QCOMPARE(dialogs.questions.size(), int(unreadable) + 2 * fails);
        for (const QString& q : dialogs.questions)
            QVERIFY2(q.startsWith("Mosaiq|") && q.contains(fails ? path : start), qPrintable(q));
        // What was saved, twice; otherwise the file the editor started with is as it was.
        QFile file(!load && done ? path : dir.filePath("a ~ b.mq"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), Text(!load && done ? seed : 4));

        QTRY_VERIFY(!w.Busy);
        QVERIFY(w.PenCode == (load ? 0 : 3) && w.lColor[0]->Border() == load);
        QVERIFY(w.lColor[3]->Border() != load && w.OneShot.Tag().isEmpty());
        QCOMPARE(int(dialogs.menus.size()), 1 + load);
        const auto& items = dialogs.menus.back().enabled; // the first-time menu has none of them
        QCOMPARE(QList<bool>({items.at("Clear All"), items.at("Run"), items.at("Reset Data")}),
                 QList<bool>(2, load && !fileName.isEmpty()) << false);
        w.lColor_Click(4); // from now on the bars answer
        QTest::mouseClick(w.Panel, Qt::LeftButton, {}, w.Panel->BarRect(2).center());
        QVERIFY(w.Machine.Cells[2] == 4 && w.Bars.At(2).border);
    }

    void loadDuringRunStopsIt() {
        test::EditorFixture f;
        EditorWindow& w = *f.w;
        f.dialogs.fileAnswers = {dir.filePath("R.MQ")};
        f.SetCells({NextPixel, RepeatUntilWhite, EndRepeat}); // loops for ever with X on cell 2
        w.mnuRun_Click();
        QTimer::singleShot(400, &w, [&] { w.mnuLoad->trigger(); });
        bool stuck = false; // a run the load left going is stopped here, so that the test ends
        QTimer::singleShot(3000, &w, [&] { w.Machine.StopRequest = stuck = w.Running(); });
        QTRY_COMPARE(int(f.dialogs.menus.size()), 1); // the hand-off
        QVERIFY(!stuck && !w.Running() && w.LastRun().end == RunEnd::Stopped);
        QVERIFY(w.mnuRun->text() == "Run" && FirstMismatch(w, 5) == 0);
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
