#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace mosaiq {

// The timer that carries deferred commands: a command word, an interval and an enabled flag.
// Arming sets all three; arming again before it fires replaces the word, so only the word armed
// last is carried out, once, one interval after the last arming.
class OneShotTimer : public QObject {
    Q_OBJECT
public:
    explicit OneShotTimer(QObject* parent = nullptr);

    QString Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    bool Enabled() const { return timer_.isActive(); }
    void SetEnabled(bool enabled);

    void Arm(const QString& tag, int ms);

signals:
    void Timer();

private:
    QString tag_;
    int interval_ = 0;
    QTimer timer_;
};

} // namespace mosaiq
