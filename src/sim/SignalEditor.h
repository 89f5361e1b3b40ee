#pragma once
// Drawing the signal timeline with the mouse on the signal plot: a press picks the
// lane and the first sample, a drag switches every sample from there to the mouse on
// (left button) or off (right button), a release ends the edit.
#include <QObject>
#include <QPointF>

class Canvas;
class SimModule;

class SignalEditor final : public QObject {
    Q_OBJECT
public:
    // `lanes` is the signal plot; both must outlive the editor.
    SignalEditor(SimModule& sim, Canvas& lanes, QObject* parent = nullptr);

signals:
    // Every move over the lanes, dragging or not: the time under the mouse.
    void cursorMoved(float t);
    // A strip of a lane is about to be painted (a cursor line on it must go first).
    void aboutToPaint();
    // The button was released: the timeline may have changed.
    void edited();

private:
    void pressed(Qt::MouseButton button, QPointF at);
    void moved(Qt::MouseButtons buttons, QPointF at);
    void released(Qt::MouseButton button);

    SimModule& m_sim;
    Canvas& m_lanes;
    bool m_dragging = false;
    bool m_setMode = false; // switching on (left) or off (right)
    int m_start = 0;        // sample index of the press
    int m_lane = 0;
};
