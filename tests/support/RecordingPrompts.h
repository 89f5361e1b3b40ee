#pragma once
// Prompts for tests: records every message and answers file dialogs and
// questions from a script. An unexpected file dialog (empty script) cancels.
#include "platform/Prompts.h"

#include <QList>
#include <QStringList>

class RecordingPrompts : public Prompts {
public:
    struct Message {
        Icon icon;
        QString title;
        QString text;
    };

    void message(Icon icon, const QString& title, const QString& text) override {
        messages.append({icon, title, text});
    }
    bool confirm(const QString& title, const QString& text) override {
        questions.append(title + u'|' + text);
        return confirmAnswers.isEmpty() ? false : confirmAnswers.takeFirst();
    }
    // Unscripted, the default button: Cancel.
    Choice askSave(const QString& title, const QString& text, const QString&, const QString&,
                   const QString&) override {
        questions.append(title + u'|' + text);
        return saveAnswers.isEmpty() ? Choice::Cancel : saveAnswers.takeFirst();
    }
    QString openFileName(const QString&, const QString& pattern) override {
        patterns.append(pattern);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    QString saveFileName(const QString&, const QString& pattern) override {
        patterns.append(pattern);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }

    bool openUrl(const QString&) override { return true; }

    QStringList texts() const {
        QStringList out;
        for (const auto& m : messages)
            out << m.text;
        return out;
    }

    QList<Message> messages;
    QStringList questions;
    QStringList patterns;
    QStringList fileAnswers;
    QList<bool> confirmAnswers;
    QList<Choice> saveAnswers;
};
