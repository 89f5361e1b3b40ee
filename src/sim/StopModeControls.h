#pragma once
// The stop-mode list and its four text boxes are the storage of the distances and
// fitted jerks: the model reads and writes them through this interface. The travel
// page implements it with its widgets; tests and the profile tool with plain strings.
#include <QString>
#include <array>

enum class StopModeBox {
    SlowingDistance,  // TextSlowingDistance, cm
    StoppingDistance, // TextStoppingDistance, cm
    SlowingS,         // TextSlowingS, fitted slowing jerk, m/s³
    StoppingS,        // TextStoppingS, fitted stopping jerk, m/s³
};

class StopModeControls {
public:
    virtual ~StopModeControls() = default;
    // Selected item of the stop-mode list: 0 by distance, 1 by speed and acceleration.
    virtual int stopModeIndex() const = 0;
    // The travel page runs the stop-mode handler whenever the selection changes.
    virtual void setStopModeIndex(int index) = 0;
    virtual QString text(StopModeBox box) const = 0;
    virtual void setText(StopModeBox box, const QString& text) = 0;
    // The two distance boxes accept typing only in stop mode 0.
    virtual void setDistancesEnabled(bool enabled) = 0;
};

// Controls held as plain values, for tests and the command-line tool.
class TextStopModeControls final : public StopModeControls {
public:
    int stopModeIndex() const override { return m_index; }
    void setStopModeIndex(int index) override { m_index = index; }
    QString text(StopModeBox box) const override { return m_texts[std::size_t(box)]; }
    void setText(StopModeBox box, const QString& text) override {
        m_texts[std::size_t(box)] = text;
    }
    void setDistancesEnabled(bool enabled) override { m_distancesEnabled = enabled; }
    bool distancesEnabled() const { return m_distancesEnabled; }

private:
    int m_index = 1; // the program starts by speed and acceleration
    std::array<QString, 4> m_texts;
    bool m_distancesEnabled = true;
};
