#pragma once
// Prompts for programs without windows (command-line tools, benchmarks): messages go
// to standard error, questions are answered "no" and file dialogs are cancelled.
#include "platform/Prompts.h"

#include <QTextStream>

class StderrPrompts final : public Prompts {
public:
    void message(Icon, const QString& title, const QString& text) override {
        QTextStream(stderr) << title << ": " << text << '\n';
        ++m_count;
    }
    bool confirm(const QString&, const QString&) override { return false; }
    Choice askSave(const QString&, const QString&, const QString&, const QString&,
                   const QString&) override {
        return Choice::Cancel;
    }
    QString openFileName(const QString&, const QString&) override { return QString(); }
    QString saveFileName(const QString&, const QString&) override { return QString(); }
    bool openUrl(const QString&) override { return false; }
    // Messages shown so far.
    int count() const { return m_count; }

private:
    int m_count = 0;
};
