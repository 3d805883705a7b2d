#pragma once

// A private X server for end-to-end tests: starts Xvfb on a free display, runs programs in it,
// drives them with xdotool as a person would, and reads the screen back. Everything it starts is
// ended when it goes out of scope.

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTest>

#include <deque>

namespace mosaiq::test {

class XSession {
public:
    static bool Available() {
        return !QStandardPaths::findExecutable("Xvfb").isEmpty() &&
               !QStandardPaths::findExecutable("xdotool").isEmpty() &&
               !QStandardPaths::findExecutable("import").isEmpty();
    }

    XSession() {
        // -displayfd lets the server pick a free display and tell us which. -noreset: otherwise it
        // resets whenever its last client leaves, and a program connecting meanwhile fails.
        QProcess& server = Start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24",
                                          "-nolisten", "tcp", "-noreset"});
        server.waitForReadyRead(10000);
        const QString number = server.readLine().trimmed();
        env_.insert("DISPLAY", ":" + number);
        env_.insert("QT_QPA_PLATFORM", "xcb");
    }
    ~XSession() {
        for (QProcess& p : programs_)
            p.close(); // kills it and waits
    }
    bool Ready() const { return env_.value("DISPLAY") != ":"; } // the server named its display

    // Starts a program inside the session; it is killed at the end if still running.
    QProcess& Start(const QString& program, const QStringList& args = {}) {
        QProcess& p = programs_.emplace_back();
        p.setProcessEnvironment(env_);
        p.start(program, args);
        return p;
    }
    // Runs a command to its end and returns what it printed.
    QByteArray Run(const QString& program, const QStringList& args) {
        QProcess& p = Start(program, args);
        p.waitForFinished(10000);
        return p.readAllStandardOutput().trimmed();
    }

    // X window ids: the visible windows of a process, the first visible one whose name matches.
    QStringList VisibleWindows(qint64 pid) { return Search({"--pid", QString::number(pid)}); }
    QString FindWindow(const QString& nameRegex) { return Search({"--name", nameRegex}).value(0); }
    QString WindowName(const QString& window) { return Xdotool({"getwindowname", window}); }
    QRect Geometry(const QString& w) { // from the lines WINDOW=, X=, Y=, WIDTH=, HEIGHT=
        const auto v = Xdotool({"getwindowgeometry", "--shell", w}).replace('\n', '=').split('=');
        return {v.value(3).toInt(), v.value(5).toInt(), v.value(7).toInt(), v.value(9).toInt()};
    }

    void ClickAt(QPoint at, int button = 1) {
        Xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "sleep", "0.05",
                 "click", QString::number(button)});
    }
    void Key(const QString& key) { Xdotool({"key", key}); }
    void FocusAndKey(const QString& window, const QString& key) {
        Xdotool({"windowfocus", window, "sleep", "0.05", "key", key});
    }
    QImage Screenshot() { return QImage::fromData(Run("import", {"-window", "root", "png:-"})); }

private:
    QString Xdotool(const QStringList& args) { return Run("xdotool", args); }
    QStringList Search(const QStringList& q) {
        return Xdotool(QStringList{"search", "--onlyvisible"} + q).split('\n', Qt::SkipEmptyParts);
    }

    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    std::deque<QProcess> programs_;
};

} // namespace mosaiq::test
