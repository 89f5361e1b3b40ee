#pragma once
// The drive session's and the grid's side of a transfer, recorded.
#include "params/DriveValueColumn.h"
#include "transfer/ParamTransfer.h"

#include <QMap>

class FakeHost final : public TransferHost, public DriveValueColumn, public TransferProgress {
public:
    int selectedPort() const override { return port; }
    bool versionGt826() const override { return version; }
    void setDriveText(int index, const QString& text) override { cells[index] = text; }
    void showProgress(const QString& label) override {
        progressLabels << label;
        progressShown = true;
    }
    void setProgress(int) override {}
    void hideProgress() override { progressShown = false; }
    void setTransferCommandsEnabled(bool on) override {
        commandsEnabled = on;
        ++gateChanges;
    }

    int port = 1;
    bool version = true;
    QMap<int, QString> cells;
    QStringList progressLabels;
    bool progressShown = false;
    bool commandsEnabled = true;
    int gateChanges = 0;
};
