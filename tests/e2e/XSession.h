#pragma once

// A private X server for end-to-end tests: starts Xvfb on a free display, runs programs in it,
// drives them with xdotool as a person would, and reads the screen back. Everything it starts is
// ended when it goes out of scope.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTest>

#include <memory>
#include <vector>

namespace mosaiq::test {

class XSession {
public:
    static bool Available() {
        return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty();
    }

    XSession() {
        // -displayfd lets the server pick a free display and tell us which.
        server_.start(QStringLiteral("Xvfb"),
                      {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        if (!server_.waitForStarted(5000)) return;
        QDeadlineTimer deadline(10000);
        while (!server_.canReadLine() && !deadline.hasExpired())
            server_.waitForReadyRead(100);
        const QString number = QString::fromLatin1(server_.readLine()).trimmed();
        if (number.isEmpty()) return;
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + number);
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.remove(QStringLiteral("QT_SCALE_FACTOR"));
        ready_ = true;
    }

    ~XSession() {
        for (auto& p : programs_) {
            if (p->state() != QProcess::NotRunning) p->kill();
            p->waitForFinished(2000);
        }
        server_.kill();
        server_.waitForFinished(2000);
    }

    bool Ready() const { return ready_; }
    QString Display() const { return env_.value(QStringLiteral("DISPLAY")); }

    // Starts a program inside the session; it is killed at the end if still running.
    QProcess& Start(const QString& program, const QStringList& args = {}) {
        programs_.push_back(std::make_unique<QProcess>());
        QProcess& p = *programs_.back();
        p.setProcessEnvironment(env_);
        p.start(program, args);
        p.waitForStarted(5000);
        return p;
    }

    // Runs a command to its end and returns what it printed.
    QString Run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(program, args);
        p.waitForFinished(10000);
        if (exitCode) *exitCode = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    QString Xdotool(const QStringList& args) { return Run(QStringLiteral("xdotool"), args); }

    // Visible windows of a process, as X window ids; empty when there are none.
    QStringList VisibleWindows(qint64 pid) {
        const QString out = Xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)});
        return out.isEmpty() ? QStringList{} : out.split(QLatin1Char('\n'));
    }
    // The first visible window whose name matches a regular expression, or an empty string.
    QString FindWindow(const QString& nameRegex) {
        return Xdotool({"search", "--onlyvisible", "--name", nameRegex}).section('\n', 0, 0);
    }
    QString WindowName(const QString& window) { return Xdotool({"getwindowname", window}); }
    // Position and size of a window on the screen.
    QRect Geometry(const QString& window) {
        const QString out = Xdotool({"getwindowgeometry", "--shell", window});
        int x = 0, y = 0, w = 0, h = 0;
        for (const QString& line : out.split('\n')) {
            const QString key = line.section('=', 0, 0);
            const int value = line.section('=', 1).toInt();
            if (key == "X")
                x = value;
            else if (key == "Y")
                y = value;
            else if (key == "WIDTH")
                w = value;
            else if (key == "HEIGHT")
                h = value;
        }
        return QRect(x, y, w, h);
    }

    void ClickAt(QPoint screen, int button = 1) {
        Xdotool({"mousemove", QString::number(screen.x()), QString::number(screen.y())});
        QTest::qWait(50);
        Xdotool({"click", QString::number(button)});
    }
    void Key(const QString& key) { Xdotool({"key", key}); }
    void FocusAndKey(const QString& window, const QString& key) {
        Xdotool({"windowfocus", window});
        QTest::qWait(50);
        Xdotool({"key", key});
    }

    // The whole screen as it is now.
    QImage Screenshot() {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(QStringLiteral("import"), {"-window", "root", "png:-"});
        p.waitForFinished(10000);
        return QImage::fromData(p.readAllStandardOutput(), "PNG");
    }

private:
    QProcess server_;
    QProcessEnvironment env_;
    bool ready_ = false;
    std::vector<std::unique_ptr<QProcess>> programs_;
};

} // namespace mosaiq::test
