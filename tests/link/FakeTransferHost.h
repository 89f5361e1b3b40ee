#pragma once
// The main window's side of a transfer, recorded: flags, grid cells, progress and
// whether the link commands are enabled.
#include "ParamTransfer.h"

#include <QMap>

class FakeHost final : public TransferHost,
                       public InverterColumn,
                       public TransferProgress,
                       public CommandGate {
public:
    int selectedPort() const override { return port; }
    bool versionGt826() const override { return version; }
    QString mainTitle() const override { return QStringLiteral("ORVAN-Quvera"); }
    void setReadyToSimulate(bool on) override { ready = on; }
    void setFlashParamsIdentical(bool on) override { identical = on; }
    void simulate() override { ++simulations; }
    bool monitorPageInFront() const override { return monitorInFront; }
    void setInverterCell(int, int row, const QString& text) override { cells[row] = text; }
    void showProgress(const QString& label) override {
        progressLabel = label;
        progressShown = true;
    }
    void setProgress(int percent) override { lastPercent = percent; }
    void hideProgress() override { progressShown = false; }
    void setTransferCommandsEnabled(bool on) override {
        commandsEnabled = on;
        ++gateChanges;
    }

    int port = 1;
    bool version = true;
    bool ready = false;
    bool identical = false;
    int simulations = 0;
    bool monitorInFront = false;
    QMap<int, QString> cells;
    QString progressLabel;
    bool progressShown = false;
    int lastPercent = -1;
    bool commandsEnabled = true;
    int gateChanges = 0;
};
