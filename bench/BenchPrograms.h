#pragma once

#include "Machine.h"

namespace mosaiq {

// A program that never stops by itself and keeps the machine busy the way real programs do: each
// pass walks X backwards from cell 1024 over 200 cells, raising and lowering their codes, then a
// Run cell starts the next pass. The cells it changes lie far behind the code, so it runs forever.
inline void LoadBusyProgram(MachineState& m) {
    m = MachineState{};
    constexpr std::uint8_t pattern[] = {PreviousPixel, PlusColor, PreviousPixel, MinusColor};
    constexpr int codeCells = 400;
    for (int i = 1; i <= codeCells; ++i)
        m.Cells[i] = pattern[(i - 1) % 4];
    m.Cells[codeCells + 1] = Run;
}

} // namespace mosaiq
