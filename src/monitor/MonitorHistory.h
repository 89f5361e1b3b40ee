#pragma once
// The strip chart's memory: a ring of the last 250 samples with their time marks, and
// the write and scroll positions that move on by one slot per tick.
#include "monitor/MonitorState.h"

#include <array>
#include <cstdint>

class MonitorHistory {
public:
    static constexpr int Slots = 250;
    enum Mark : std::uint8_t { NoMark = 0, TenthMark = 1, SecondMark = 2 };

    struct Sample {
        std::int32_t speed = 0;
        std::int32_t accel = 0;
        std::int32_t current = 0;
        std::uint8_t mark = NoMark;
    };

    int WritePos = 0;  // 0..249, the slot written last
    int ScrollPos = 0; // 0..249, the slot left of the chart's first column

    // Moves WritePos on and stores the current values there with no mark.
    Sample& push(const MonitorState& state) {
        WritePos = (WritePos + 1) % Slots;
        Sample& s = m_slots[std::size_t(WritePos)];
        s = {state.SpeedRaw, state.AccelRaw, state.CurrentRaw, NoMark};
        return s;
    }
    void scroll() { ScrollPos = (ScrollPos + 1) % Slots; }

    // Slot c (0..249) of the ring; any integer is taken modulo 250.
    const Sample& at(int c) const { return m_slots[std::size_t(((c % Slots) + Slots) % Slots)]; }

private:
    std::array<Sample, Slots> m_slots{};
};
