#pragma once
// The review before a write, answered from a script; records what it was shown.
#include "transfer/ArchivedTransfer.h"

class ScriptedReview final : public WriteReview {
public:
    bool approveWrite(const QList<ParamDifference>& differences) override {
        shown << differences;
        return answers.isEmpty() ? otherwise : answers.takeFirst();
    }
    QList<QList<ParamDifference>> shown;
    QList<bool> answers;
    bool otherwise = false; // the answer once the script is used up
};
