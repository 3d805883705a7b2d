#include "StatusLine.h"
#include "Pacer.h"

namespace mosaiq {

namespace {
constexpr std::string_view kDot = " \u00B7 ";

bool IsCell(std::int32_t i) {
    return i >= 1 && i <= kCellCount;
}

// Two hexadecimal digits, as a program file writes the code.
std::string Hex(std::uint8_t code) {
    constexpr char digits[] = "0123456789ABCDEF";
    return {digits[code >> 4], digits[code & 15]};
}

// What a code is to people: an instruction's name, as the palette gives it, or data.
std::string_view Meaning(std::uint8_t code) {
    return code < kInstructionCount ? kInstructionNames[code] : std::string_view("data");
}

std::string Counted(std::uint64_t n, std::string_view one, std::string_view many) {
    return Thousands(n) + ' ' + std::string(n == 1 ? one : many);
}

std::string XWords(const MachineState& m, std::int32_t x, bool withCode) {
    if (!IsCell(x)) return {};
    std::string words = std::string(kDot) + "X on cell " + Thousands(x);
    if (withCode) words += " (" + Hex(m.Cells[x]) + ')';
    return words;
}
} // namespace

std::string Thousands(std::uint64_t n) {
    const std::string plain = std::to_string(n);
    std::string grouped;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (i > 0 && (plain.size() - i) % 3 == 0) grouped += ',';
        grouped += plain[i];
    }
    return grouped;
}

bool StatusLine::PointerOver(int cell) {
    if (cell == pointer_) return false;
    pointer_ = cell;
    if (shows_ == Shows::Run) return false;
    if (cell != 0)
        shows_ = Shows::Bar;
    else if (shows_ == Shows::Bar)
        shows_ = Shows::Nothing;
    return true;
}

void StatusLine::RunStarted(const RunResult& live) {
    live_ = &live;
    shows_ = Shows::Run;
}

bool StatusLine::RunEnded(int pixelX) {
    if (!live_) return false;
    ended_ = *live_;
    live_ = nullptr;
    endX_ = pixelX;
    shows_ = Shows::End;
    return true;
}

void StatusLine::PaceChanged(int pace, Clock::time_point now) {
    pace_ = pace;
    paceUntil_ = now + kPaceShown;
}

bool StatusLine::Moving(Clock::time_point now) const {
    return shows_ == Shows::Run || now < paceUntil_;
}

std::string StatusLine::Text(const MachineState& m, Clock::time_point now) const {
    if (now < paceUntil_) return PaceText(pace_);
    switch (shows_) {
    case Shows::Nothing: break;
    case Shows::Bar: {
        const std::uint8_t code = m.Cells[pointer_];
        return "Cell " + Thousands(pointer_) + std::string(kDot) + Hex(code) + ' ' +
               std::string(Meaning(code));
    }
    case Shows::Run: {
        std::string words = "Running" + std::string(kDot) + "step " + Thousands(live_->steps) +
                            std::string(kDot) + "pass " + Thousands(live_->passes);
        // The step just executed: what the bars show last is its doing.
        if (const std::int32_t cell = live_->lastCell; IsCell(cell))
            words += std::string(kDot) + "cell " + Thousands(cell) + ' ' +
                     std::string(Meaning(m.Cells[cell]));
        return words + XWords(m, m.PixelX, true);
    }
    case Shows::End: {
        std::string words(RunEndWords(ended_.end));
        if (IsCell(ended_.lastCell)) words += " at cell " + Thousands(ended_.lastCell);
        return words + " after " + Counted(ended_.steps, "step", "steps") + " in " +
               Counted(ended_.passes, "pass", "passes") + XWords(m, endX_, false);
    }
    }
    return {};
}

} // namespace mosaiq
