#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace mosaiq {

// The timer that carries deferred commands (OneShot): a command word, an interval in
// milliseconds and an enabled flag. There is one word, so arming again before it fires replaces
// it: only the word armed last is carried out, once, one interval after the last arming. An
// interval of 0 keeps the timer idle even when enabled.
//
// This is the timer's state only. Whoever shows the window makes a real timer follow it: every
// change is reported to the observer, which (re)starts its countdown when the timer is enabled
// with an interval, and stops it otherwise; when the countdown ends it calls the dispatcher.
class OneShotTimer {
public:
    using Observer = std::function<void()>;
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    const std::string& Tag() const { return tag_; }
    void SetTag(std::string_view tag) { tag_ = tag; }
    int Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    // Due: enabled with an interval, so its countdown runs.
    bool Counting() const { return enabled_ && interval_ > 0; }

    void SetEnabled(bool enabled) {
        enabled_ = enabled;
        Changed();
    }
    void SetInterval(int ms) {
        interval_ = ms;
        Changed();
    }
    // Sets the word and the interval and enables the timer.
    void Arm(std::string_view tag, int ms) {
        tag_ = tag;
        interval_ = ms;
        SetEnabled(true);
    }

private:
    void Changed() {
        if (observer_) observer_();
    }

    std::string tag_;
    int interval_ = 0;
    bool enabled_ = false;
    Observer observer_;
};

} // namespace mosaiq
