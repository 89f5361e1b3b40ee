#pragma once
// The main window's side of the connection dialog, recorded; and the dialog with the
// line watcher over a port, as the main window holds them.
#include "lang/LangModule.h"
#include "link/ConnectionForm.h"
#include "link/LineWatcher.h"
#include "support/RecordingPrompts.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

class FakeConnectionHost : public ConnectionHost {
public:
    bool versionGt826() const override { return version; }
    void setVersionGt826(bool on) override { version = on; }
    void setPortStatus(const QString& text) override { status = text; }
    QString mainTitle() const override { return QStringLiteral("Title"); }

    bool version = true;
    QString status = QStringLiteral("(untouched)"); // the port panel
};

// Chooses port `n` in the dialog and accepts it, as a user does.
inline void acceptPort(ConnectionForm& form, int n) {
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("PortCombo"));
    combo->setCurrentIndex(combo->findData(n));
    form.show();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("AcceptCommand")),
                      Qt::LeftButton);
}

// Texts from the packs in `packFolder`; without one, the stand-ins and what a test sets.
struct ConnectionRig : FakeConnectionHost {
    RecordingPrompts prompts;
    LangModule lang;
    LineWatcher watcher;
    ConnectionForm form;

    explicit ConnectionRig(LinkPort& port, const QString& packFolder = QString())
        : lang(packFolder), watcher(port), form(port, watcher, lang, prompts, *this) {}
    template <typename T> T* child(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
};
