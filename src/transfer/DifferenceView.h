#pragma once
// The list of parameters whose values differ between two sets, as the review before
// a write and the comparisons show it; and the review dialog itself.
#include "transfer/ArchivedTransfer.h"

#include <QDialog>
#include <QTableWidget>

class LangModule;
class Prompts;
class QLabel;

class DifferenceTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column { NameColumn = 0, IdColumn, UnitColumn, LeftColumn, RightColumn };
    explicit DifferenceTable(QWidget* parent = nullptr);
    void setDifferences(const QList<ParamDifference>& differences, const QString& leftTitle,
                        const QString& rightTitle, const LangModule& lang);
};

// A modal list of differences with a sentence above it; as a question it has the
// buttons `acceptText` and cancel, else only OK.
class DifferenceDialog : public QDialog {
    Q_OBJECT
public:
    DifferenceDialog(const LangModule& lang, QWidget* parent = nullptr);
    void present(const QString& title, const QString& sentence,
                 const QList<ParamDifference>& differences, const QString& leftTitle,
                 const QString& rightTitle, bool question, const QString& acceptText = {});
    // A plain comparison of two sets, `leftTitle` and `rightTitle` naming them.
    void presentComparison(const QList<ParamDifference>& differences, const QString& leftTitle,
                           const QString& rightTitle);
    DifferenceTable* table() const { return m_table; }
    QPushButton* acceptButton() const { return m_accept; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    const LangModule& m_lang;
    QLabel* m_sentence = nullptr;
    DifferenceTable* m_table = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
};

// The review before a write, shown as a modal dialog; a backup that cannot be
// archived is asked about through `prompts`.
class ReviewDialog final : public WriteReview {
public:
    ReviewDialog(const LangModule& lang, Prompts& prompts, QWidget* parent)
        : m_lang(lang), m_prompts(prompts), m_parent(parent) {}
    bool approveWrite(const QList<ParamDifference>& differences, int hiddenChanges) override;
    bool writeWithoutBackup(const QString& error) override;
    // Fills and shows the dialog without waiting for the answer.
    DifferenceDialog* open(const QList<ParamDifference>& differences, int hiddenChanges = 0);

private:
    const LangModule& m_lang;
    Prompts& m_prompts;
    QWidget* m_parent;
};
