#pragma once
// File → History… and File → Compare…: the archived sets newest first, loading one
// into the program column, comparing one (or any parameter file) with it, and the
// folder itself.
#include "transfer/History.h"

#include <QDialog>

class LangModule;
class ParamModule;
class Prompts;
class QAction;
class QMenu;
class QPushButton;
class QTableView;
class HistoryModel;

class HistoryForm : public QDialog {
    Q_OBJECT
public:
    HistoryForm(History& history, ParamModule& params, const LangModule& lang, Prompts& prompts,
                QString title, QWidget* parent = nullptr);

    // Lists the folder again and titles the window from the pack in use.
    void refresh();
    int entries() const;
    const HistoryEntry& entry(int row) const;
    QTableView* view() const { return m_view; }

    // The selected entry into the program column through the setter; a damaged
    // archive is refused as a whole.
    bool loadEntry(int row);
    // The differences between the program column and the entry; nothing when damaged.
    std::optional<QList<ParamDifference>> compareEntry(int row);

private:
    int selectedRow() const;
    void showComparison(const QList<ParamDifference>& differences, const QString& rightTitle);
    void refuseDamaged(const HistoryEntry& entry);

    History& m_history;
    ParamModule& m_params;
    const LangModule& m_lang;
    Prompts& m_prompts;
    QString m_title;
    HistoryModel* m_model = nullptr;
    QTableView* m_view = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_openFolder = nullptr;
};

// The two menu entries, added to the File menu.
class HistoryCommands : public QObject {
    Q_OBJECT
public:
    HistoryCommands(History& history, ParamModule& params, const LangModule& lang, Prompts& prompts,
                    QWidget* mainWindow);
    // Adds MI_History and MI_Compare to `menu` before `before`.
    void addCommands(QMenu* menu, QAction* before);
    // A transfer switches both off.
    void setEnabled(bool on);
    // Compares the program column with the file the user picks.
    void compareWithFile();
    QAction* historyAction() const { return m_historyAction; }
    QAction* compareAction() const { return m_compareAction; }

private:
    History& m_history;
    ParamModule& m_params;
    const LangModule& m_lang;
    Prompts& m_prompts;
    QWidget* m_mainWindow;
    QAction* m_historyAction = nullptr;
    QAction* m_compareAction = nullptr;
};
