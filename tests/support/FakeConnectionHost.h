#pragma once
// The main window's side of the connection dialog, recorded.
#include "link/ConnectionForm.h"

class FakeConnectionHost : public ConnectionHost {
public:
    bool versionGt826() const override { return version; }
    void setVersionGt826(bool on) override { version = on; }
    void setPortStatus(const QString& text) override { status = text; }
    QString mainTitle() const override { return QStringLiteral("Title"); }

    bool version = true;
    QString status = QStringLiteral("(untouched)"); // the port panel
};
