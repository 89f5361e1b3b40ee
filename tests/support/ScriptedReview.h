#pragma once
// The review before a write, answered from a script; records what it was shown.
#include "transfer/ArchivedTransfer.h"

class ScriptedReview final : public WriteReview {
public:
    bool approveWrite(const QList<ParamDifference>& differences, int hiddenChanges) override {
        shown << differences;
        hidden << hiddenChanges;
        return answers.isEmpty() ? otherwise : answers.takeFirst();
    }
    bool writeWithoutBackup(const QString& error) override {
        backupErrors << error;
        return false;
    }
    QList<QList<ParamDifference>> shown;
    QList<int> hidden;
    QList<bool> answers;
    bool otherwise = false; // the answer once the script is used up
    QStringList backupErrors;
};
