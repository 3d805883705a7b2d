// The Load and Save commands and the editor's start-up, on real files in a temporary folder and a
// real editor window whose modal pieces answer from a script.

#include "EditorFixture.h"
#include "FileCommands.h"
#include "PaletteLabel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <system_error>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

// Every strip in this suite is one of a family: cell i holds (7 i + seed) mod 256. Since 7 is odd,
// each family covers every code from 0 to 255, four times over.
int Code(int i, int seed) {
    return (7 * i + seed) & 0xFF;
}

QByteArray FileText(int seed) {
    QByteArray text;
    for (int i = 1; i <= kCellCount; ++i)
        text += QByteArray::number(Code(i, seed), 16).toUpper().rightJustified(2, '0') + "\r\n";
    return text;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Paints a whole strip of the family `seed`, as the mouse would leave it.
void Paint(EditorFixture& f, int seed) {
    EditorHost host(*f.w);
    for (int i = 1; i <= kCellCount; ++i) {
        f.w->Machine.Cells[i] = static_cast<std::uint8_t>(Code(i, seed));
        SetBarValue(f.w->Machine, host, i);
    }
}

// The first cell whose code or bar colour is not that of the family `seed`; 0 when all match.
// A negative seed stands for the empty strip.
int FirstMismatch(const EditorWindow& w, int seed) {
    for (int i = 1; i <= kCellCount; ++i) {
        const int code = seed < 0 ? 0 : Code(i, seed);
        if (w.Machine.Cells[i] != code || w.Bars.At(i).fill != EditColor(std::uint8_t(code)))
            return i;
    }
    return 0;
}

FileCommands& Commands(EditorFixture& f) {
    return *f.w->findChild<FileCommands*>();
}

QString Reason(std::errc code) {
    return QString::fromStdString(std::make_error_code(code).message());
}

QString CaptionFor(const QString& fileName) {
    return fileName.isEmpty() ? QStringLiteral("Mosaiq [Design]")
                              : QStringLiteral("Mosaiq [Design] ~ ") + fileName;
}

enum Answer { Cancel, Good, Bad };
enum Make { Nothing, File, LowerCaseTwin, Folder };

// Holds the message open for longer than the first-time menu waits, as a slow reader would, and
// resizes the window meanwhile, as the user may.
struct SlowReader : ScriptedDialogs {
    bool startUpDone = false; // set by the test once Form_Load has returned
    bool startUpDoneAtMessage = false;
    int menusWhileMessage = -1;
    void Inform(QWidget* parent, const QString& title, const QString& text) override {
        startUpDoneAtMessage = startUpDone;
        auto* w = static_cast<EditorWindow*>(parent);
        QTest::qWait(600);
        w->ResizeClientTwips(9000, 7000);
        QTest::qWait(1200);
        menusWhileMessage = int(menus.size());
        ScriptedDialogs::Inform(parent, title, text);
    }
};

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void chooserRequests_data();
    void chooserRequests();
    void saveThenLoad();
    void handOff_data();
    void handOff();
    void failures_data();
    void failures();
    void captionAfterTwoLoads_data();
    void captionAfterTwoLoads();
    void loadDuringRunStopsIt_data();
    void loadDuringRunStopsIt();
    void startUp_data();
    void startUp();
    void unreadableStartUpIsToldBeforeMenu();
};

void TestFileCommands::chooserRequests_data() {
    QTest::addColumn<bool>("firstLoads");
    QTest::addColumn<bool>("secondLoads");
    QTest::newRow("save, then load") << false << true;
    QTest::newRow("save, then save") << false << false;
    QTest::newRow("load, then save") << true << false;
}

void TestFileCommands::chooserRequests() {
    QFETCH(bool, firstLoads);
    QFETCH(bool, secondLoads);
    QTemporaryDir dir;
    const QString path = dir.filePath("First.mq");
    if (firstLoads) WriteFile(path, FileText(1));
    EditorFixture f;
    f.dialogs.fileAnswers = {path};
    for (bool load : {firstLoads, secondLoads})
        load ? Commands(f).mnuLoad_Click() : Commands(f).mnuSave_Click();

    QCOMPARE(int(f.dialogs.fileRequests.size()), 2);
    // The second chooser starts from the path the first one returned.
    QCOMPARE(f.dialogs.fileRequests[0].fileName, QString());
    QCOMPARE(f.dialogs.fileRequests[1].fileName, path);
    for (int k = 0; k < 2; ++k) {
        const bool load = k == 0 ? firstLoads : secondLoads;
        const Dialogs::FileRequest& r = f.dialogs.fileRequests[k];
        QCOMPARE(r.kind, load ? Dialogs::FileKind::Open : Dialogs::FileKind::Save);
        QCOMPARE(r.folder, QCoreApplication::applicationDirPath());
        QCOMPARE(r.filter, load ? QStringLiteral("mosaiq files (*.mq)|*.mq")
                                : QStringLiteral("Mosaiq files (*.mq)|*.mq"));
        QCOMPARE(r.title,
                 load ? QStringLiteral("Load Mosaiq file") : QStringLiteral("Save Mosaiq file"));
    }
}

void TestFileCommands::saveThenLoad() {
    QTemporaryDir dir;
    const QString path = dir.filePath("strip.mq");
    EditorFixture f;
    Paint(f, 3);
    // As a run leaves the strip: touched cells and the X marker away from cell 1.
    f.w->Machine.Touched[9] = f.w->Machine.Touched[700] = true;
    f.w->Bars.SetCaption(1, BarCaption::Empty);
    f.w->Bars.SetCaption(9, BarCaption::X);
    f.w->Bars.SetCaptionColor(1, kBlack);
    f.w->Bars.SetBorder(40, true);

    f.dialogs.fileAnswers = {path, path, path};
    Commands(f).mnuSave_Click();
    const QByteArray first = ReadFile(path);
    QCOMPARE(first, FileText(3));
    Commands(f).mnuSave_Click();
    QCOMPARE(ReadFile(path), first);
    QCOMPARE(first.size(), 4096);
    QVERIFY(f.dialogs.questions.isEmpty());

    Paint(f, 100); // something else in every cell
    Commands(f).mnuLoad_Click();
    QCOMPARE(FirstMismatch(*f.w, 3), 0);
    for (int i = 1; i <= kCellCount; ++i) {
        QVERIFY(!f.w->Machine.Touched[i]);
        QCOMPARE(f.w->Bars.At(i).caption, i == 1 ? BarCaption::X : BarCaption::Empty);
        QVERIFY(!f.w->Bars.At(i).border);
    }
    QCOMPARE(f.w->Bars.At(1).captionColor, kRed);
    QCOMPARE(f.w->FileName, path);
    QCOMPARE(f.w->Caption(), CaptionFor(path));
}

void TestFileCommands::handOff_data() {
    QTest::addColumn<bool>("load");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("earlierFile");
    QTest::newRow("load a file") << true << int(Good) << false;
    QTest::newRow("load cancelled") << true << int(Cancel) << false;
    QTest::newRow("load cancelled, earlier file") << true << int(Cancel) << true;
    QTest::newRow("load unreadable") << true << int(Bad) << false;
    QTest::newRow("load unreadable, earlier file") << true << int(Bad) << true;
    QTest::newRow("save a file") << false << int(Good) << true;
    QTest::newRow("save cancelled") << false << int(Cancel) << true;
    QTest::newRow("save unwritable") << false << int(Bad) << false;
}

void TestFileCommands::handOff() {
    QFETCH(bool, load);
    QFETCH(int, answer);
    QFETCH(bool, earlierFile);
    QTemporaryDir dir;
    const QString earlier = earlierFile ? dir.filePath("earlier.mq") : QString();
    const QString chosen = dir.filePath(answer == Bad ? "folder.mq" : "chosen.mq");
    if (answer == Bad) QVERIFY(QDir().mkpath(chosen));
    if (answer == Good && load) WriteFile(chosen, FileText(5));
    EditorFixture f;
    Paint(f, 2);
    f.w->FileName = earlier;
    f.w->ShowFileInCaption();
    f.w->mnuClear->setEnabled(false);
    f.w->mnuRun->setEnabled(false);
    f.w->mnuGC->setEnabled(true);
    if (answer != Cancel) f.dialogs.fileAnswers = {chosen};

    load ? Commands(f).mnuLoad_Click() : Commands(f).mnuSave_Click();
    // Until the hand-off the palette answers and the bars do not; a white bar would show the pen
    // under the pointer.
    int bar = 1;
    while (f.w->Machine.Cells[bar] != 0)
        ++bar;
    f.w->lColor_Click(3);
    QVERIFY(f.w->lColor[3]->Border() && !f.w->lColor[1]->Border());
    f.w->Bar_MouseMove(bar, 0);
    QTest::mouseClick(f.w->Panel, Qt::LeftButton, {}, f.BarCenter(bar));
    QTest::mouseClick(f.w->Panel, Qt::RightButton, {}, f.BarCenter(bar));
    QVERIFY(!f.w->Bars.At(bar).border);
    QVERIFY(f.dialogs.menus.empty());
    const QString fileName = answer == Good ? chosen : earlier;
    QCOMPARE(f.w->FileName, fileName);
    QCOMPARE(f.w->Caption(), CaptionFor(fileName));
    QCOMPARE(FirstMismatch(*f.w, load && answer == Good ? 5 : 2), 0);
    QCOMPARE(f.dialogs.questions.size(), answer == Bad ? 1 : 0);
    if (!load && answer == Good) QCOMPARE(ReadFile(chosen), FileText(2));
    QVERIFY(f.w->Busy);
    QCOMPARE(f.w->OneShot.Tag(), load ? QStringLiteral("loadflg") : QStringLiteral("saveflg"));
    QCOMPARE(f.w->OneShot.Interval(), 250);
    QVERIFY(f.w->OneShot.Enabled());

    QTRY_VERIFY(!f.w->Busy);
    QCOMPARE(f.w->OneShot.Tag(), QString());
    QCOMPARE(int(f.w->PenCode), load ? 0 : 3);
    for (int i = 0; i < kInstructionCount; ++i)
        QCOMPARE(f.w->lColor[i]->Border(), i == (load ? 0 : 3));
    QCOMPARE(int(f.dialogs.menus.size()), load ? 1 : 0);
    if (load) {
        const auto& menu = f.dialogs.menus.front().enabled;
        QCOMPARE(menu.at("Clear All"), !fileName.isEmpty());
        QCOMPARE(menu.at("Run"), !fileName.isEmpty());
        QVERIFY(!menu.at("Reset Data"));
    }
    // From now on the bars answer.
    f.w->lColor_Click(4);
    QTest::mouseClick(f.w->Panel, Qt::LeftButton, {}, f.BarCenter(bar));
    QCOMPARE(int(f.w->Machine.Cells[bar]), 4);
    QVERIFY(f.w->Bars.At(bar).border);
}

void TestFileCommands::failures_data() {
    QTest::addColumn<bool>("load");
    QTest::addColumn<QString>("target"); // relative to the folder; "plain" is a regular file
    QTest::addColumn<int>("reason");
    QTest::newRow("load: missing")
        << true << "gone.mq" << int(std::errc::no_such_file_or_directory);
    QTest::newRow("load: folder") << true << "sub" << int(std::errc::is_a_directory);
    QTest::newRow("load: parent is a file")
        << true << "plain/x.mq" << int(std::errc::not_a_directory);
    QTest::newRow("save: folder") << false << "sub" << int(std::errc::is_a_directory);
    QTest::newRow("save: parent is a file")
        << false << "plain/x.mq" << int(std::errc::not_a_directory);
    QTest::newRow("save: missing folder")
        << false << "nowhere/x.mq" << int(std::errc::no_such_file_or_directory);
}

void TestFileCommands::failures() {
    QFETCH(bool, load);
    QFETCH(QString, target);
    QFETCH(int, reason);
    QTemporaryDir dir;
    const QString old = dir.filePath("old.mq");
    const QString path = dir.filePath(target);
    WriteFile(old, FileText(4));
    WriteFile(dir.filePath("plain"), "not a folder");
    WriteFile(dir.filePath("sub/inside.mq"), FileText(6));
    EditorFixture f;
    f.dialogs.fileAnswers = {old, path};
    Commands(f).mnuLoad_Click();
    f.w->Machine.Touched[12] = true;
    f.w->Bars.SetBorder(12, true);

    load ? Commands(f).mnuLoad_Click() : Commands(f).mnuSave_Click();
    QCOMPARE(f.dialogs.questions.size(), 1);
    const QString message = f.dialogs.questions.front();
    QVERIFY2(message.startsWith("Mosaiq|") && message.contains(path) &&
                 message.contains(load ? "could not be loaded" : "could not be saved") &&
                 message.contains(Reason(std::errc(reason))),
             qPrintable(message));
    QCOMPARE(f.w->FileName, old);
    QCOMPARE(f.w->Caption(), CaptionFor(old));
    QCOMPARE(FirstMismatch(*f.w, 4), 0);
    QVERIFY(f.w->Machine.Touched[12]);
    QVERIFY(f.w->Bars.At(12).border);
    QCOMPARE(ReadFile(old), FileText(4));
    QCOMPARE(ReadFile(dir.filePath("plain")), QByteArray("not a folder"));
    QCOMPARE(ReadFile(dir.filePath("sub/inside.mq")), FileText(6));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"old.mq", "plain", "sub"}));
    QCOMPARE(f.w->OneShot.Tag(), load ? QStringLiteral("loadflg") : QStringLiteral("saveflg"));
    QVERIFY(f.w->OneShot.Enabled());
}

void TestFileCommands::captionAfterTwoLoads_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("plain") << QStringLiteral("a.mq") << QStringLiteral("b.mq");
    QTest::newRow("capitals") << QStringLiteral("a.mq") << QStringLiteral("Progs/Demo.MQ");
    QTest::newRow("tilde in the first") << QStringLiteral("old~/a~b.mq") << QStringLiteral("b.mq");
    QTest::newRow("tilde in both") << QStringLiteral("x ~ y.mq") << QStringLiteral("p~q/r.mq");
}

void TestFileCommands::captionAfterTwoLoads() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QTemporaryDir dir;
    WriteFile(dir.filePath(first), FileText(1));
    WriteFile(dir.filePath(second), FileText(2));
    // Where letter case matters, the lower-case spelling names another file.
    if (second != second.toLower()) WriteFile(dir.filePath(second.toLower()), FileText(9));
    EditorFixture f;
    f.dialogs.fileAnswers = {dir.filePath(first), dir.filePath(second)};
    Commands(f).mnuLoad_Click();
    Commands(f).mnuLoad_Click();
    QCOMPARE(f.w->FileName, dir.filePath(second));
    QCOMPARE(f.w->Caption(), CaptionFor(dir.filePath(second)));
    QCOMPARE(f.w->Caption().count(" ~ "), 1 + dir.filePath(second).count(" ~ "));
    QCOMPARE(FirstMismatch(*f.w, 2), 0);
}

void TestFileCommands::loadDuringRunStopsIt_data() {
    QTest::addColumn<bool>("runPending");
    QTest::newRow("run of the strip") << false;
    QTest::newRow("click run, strip run fallen due") << true;
}

void TestFileCommands::loadDuringRunStopsIt() {
    QFETCH(bool, runPending);
    QTemporaryDir dir;
    const QString path = dir.filePath("next.mq");
    WriteFile(path, FileText(8));
    EditorFixture f;
    f.dialogs.fileAnswers = {path};
    if (runPending) {
        // A click run on bar 3 that loops for ever with X on cell 2; Run is chosen during it, and
        // that run falls due while the first one goes on.
        f.SetCells({NextPixel, RepeatUntilWhite, EndRepeat});
        f.w->Machine.RunLimit = 3;
        f.w->Machine.StopRequest = false;
        f.w->OneShot.Arm(QStringLiteral("run"), 10);
        QTimer::singleShot(150, f.w.get(), [&] { f.w->mnuRun_Click(); });
    } else {
        f.SetCells({NextPixel, Run});
        f.w->mnuRun_Click();
    }
    bool loadedWhileRunning = false;
    QTimer::singleShot(450, f.w.get(), [&] {
        loadedWhileRunning = f.w->Running() && !f.w->OneShot.Enabled() &&
                             f.w->mnuRun->text() == QLatin1String("Stop");
        Commands(f).mnuLoad_Click();
    });
    QTRY_VERIFY(loadedWhileRunning);
    QTRY_VERIFY(!f.w->Running());
    QCOMPARE(f.w->LastRun().end, RunEnd::Stopped);
    QCOMPARE(f.w->mnuRun->text(), QStringLiteral("Run"));
    QCOMPARE(f.w->Caption(), CaptionFor(path));
    QTRY_COMPARE(int(f.dialogs.menus.size()), 1);
    // Nothing runs the loaded strip.
    QTest::qWait(150);
    QVERIFY(!f.w->Running());
    QCOMPARE(f.w->LastRun().end, RunEnd::Stopped);
    QCOMPARE(FirstMismatch(*f.w, 8), 0);
    for (int i = 1; i <= kCellCount; ++i)
        QVERIFY(!f.w->Machine.Touched[i]);
}

void TestFileCommands::startUp_data() {
    QTest::addColumn<QString>("arg"); // relative to the folder; empty for no argument
    QTest::addColumn<int>("make");    // what to put there
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("message");
    QTest::newRow("no argument") << QString() << int(Nothing) << false << false;
    QTest::newRow("file") << QStringLiteral("prog.mq") << int(File) << true << false;
    QTest::newRow("missing") << QStringLiteral("gone.mq") << int(Nothing) << false << false;
    QTest::newRow("mixed case") << QStringLiteral("Progs/First.MQ") << int(File) << true << false;
    QTest::newRow("mixed case, lower-case twin")
        << QStringLiteral("Progs/First.MQ") << int(LowerCaseTwin) << false << false;
    QTest::newRow("blanks") << QStringLiteral("my progs/a prog.mq") << int(File) << true << false;
    QTest::newRow("unreadable") << QStringLiteral("folder.mq") << int(Folder) << false << true;
}

void TestFileCommands::startUp() {
    QFETCH(QString, arg);
    QFETCH(int, make);
    QFETCH(bool, loaded);
    QFETCH(bool, message);
    QTemporaryDir dir;
    const QString path = arg.isEmpty() ? QString() : dir.filePath(arg);
    if (make == File) WriteFile(path, FileText(7));
    if (make == LowerCaseTwin) WriteFile(dir.filePath(arg.toLower()), FileText(7));
    if (make == Folder) QVERIFY(QDir().mkpath(path));

    EditorFixture f(path);
    QCOMPARE(f.w->FileName, path);
    QCOMPARE(f.w->Caption(), CaptionFor(path));
    QCOMPARE(FirstMismatch(*f.w, loaded ? 7 : -1), 0);
    QCOMPARE(f.w->Bars.At(1).caption, BarCaption::X);
    QVERIFY(!f.w->mnuSave->isEnabled());
    QVERIFY(f.w->Machine.StopRequest);
    QVERIFY(!f.w->Busy);
    for (int i = 0; i < kInstructionCount; ++i)
        QCOMPARE(f.w->lColor[i]->Border(), i == 1);
    if (message) {
        QTRY_COMPARE(f.dialogs.questions.size(), 1);
        const QString text = f.dialogs.questions.front();
        QVERIFY2(text.startsWith("Mosaiq|") && text.contains(path) &&
                     text.contains("could not be loaded") &&
                     text.contains(Reason(std::errc::is_a_directory)),
                 qPrintable(text));
    } else {
        QTest::qWait(20);
        QVERIFY(f.dialogs.questions.isEmpty());
    }
}

void TestFileCommands::unreadableStartUpIsToldBeforeMenu() {
    QTemporaryDir dir;
    const QString path = dir.filePath("folder.mq");
    QVERIFY(QDir().mkpath(path));
    SlowReader dialogs;
    EditorWindow w(dialogs);
    w.EndProgram = [] {};
    int messagesAtMenu = -1;
    dialogs.whileMenuOpen = [&] { messagesAtMenu = int(dialogs.questions.size()); };
    Form_Load(w, path);
    dialogs.startUpDone = true;
    QTRY_COMPARE_WITH_TIMEOUT(int(dialogs.menus.size()), 1, 5000);
    QVERIFY(dialogs.startUpDoneAtMessage);
    QCOMPARE(dialogs.menusWhileMessage, 0);
    QCOMPARE(messagesAtMenu, 1);
    QCOMPARE(int(w.PenCode), 1);
    QVERIFY(!w.FreshStart);
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
