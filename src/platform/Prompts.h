#pragma once
// Everything that asks or tells the user something modally goes through this
// interface: the program shows real dialogs, tests answer from a script.
#include "platform/WarningSink.h"

#include <QString>

class Prompts : public WarningSink {
public:
    enum class Icon { None, Information, Warning, Critical };
    enum class Choice { Save, Discard, Cancel };

    virtual ~Prompts() = default;
    virtual void message(Icon icon, const QString& title, const QString& text) = 0;
    // A yes/no question; true for yes.
    virtual bool confirm(const QString& title, const QString& text) = 0;
    // Save, discard or cancel before work would be lost; the buttons carry the given
    // texts, and Cancel is the default, so a hasty Enter loses nothing.
    virtual Choice askSave(const QString& title, const QString& text, const QString& save,
                           const QString& discard, const QString& cancel) = 0;
    // File dialogs; `pattern` is a file pattern such as "*.quv". An empty result
    // means the user cancelled.
    virtual QString openFileName(const QString& title, const QString& pattern) = 0;
    virtual QString saveFileName(const QString& title, const QString& pattern) = 0;
    // Opens a web address in the program the system uses for web pages; false when
    // that did not work. Failures are the caller's to ignore or report.
    virtual bool openUrl(const QString& address) = 0;

    void information(const QString& title, const QString& text) {
        message(Icon::Information, title, text);
    }
    void warning(const QString& title, const QString& text) { message(Icon::Warning, title, text); }
    void warn(const QString& title, const QString& text) override { warning(title, text); }
    void critical(const QString& title, const QString& text) {
        message(Icon::Critical, title, text);
    }
};
