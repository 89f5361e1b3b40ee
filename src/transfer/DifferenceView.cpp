#include "transfer/DifferenceView.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "platform/Prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DifferenceTable::DifferenceTable(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("DifferenceTable"));
    setColumnCount(5);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    // Tab leaves the list for the buttons: a review can be finished from the keyboard.
    setTabKeyNavigation(false);
}

void DifferenceTable::setDifferences(const QList<ParamDifference>& differences,
                                     const QString& leftTitle, const QString& rightTitle,
                                     const LangModule& lang) {
    setHorizontalHeaderLabels({lang.LangText(TextId::GridParameter), QString(),
                               lang.LangText(TextId::GridUnit), leftTitle, rightTitle});
    setRowCount(int(differences.size()));
    for (int r = 0; r < differences.size(); ++r) {
        const ParamDifference& d = differences[r];
        const QString texts[] = {d.name, d.id, d.unit, d.left, d.right};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (c >= UnitColumn)
                item->setTextAlignment(Qt::AlignCenter);
            setItem(r, c, item);
        }
    }
    resizeColumnsToContents();
}

DifferenceDialog::DifferenceDialog(const LangModule& lang, QWidget* parent)
    : QDialog(parent), m_lang(lang) {
    setObjectName(QStringLiteral("DifferenceDialog"));
    auto* layout = new QVBoxLayout(this);
    m_sentence = new QLabel(this);
    m_sentence->setObjectName(QStringLiteral("DifferenceCount"));
    m_sentence->setWordWrap(true);
    layout->addWidget(m_sentence);
    m_table = new DifferenceTable(this);
    layout->addWidget(m_table, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_accept = new QPushButton(this);
    m_accept->setObjectName(QStringLiteral("AcceptCommand"));
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("CancelCommand"));
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_accept, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 420);
}

void DifferenceDialog::present(const QString& title, const QString& sentence,
                               const QList<ParamDifference>& differences, const QString& leftTitle,
                               const QString& rightTitle, bool question,
                               const QString& acceptText) {
    setWindowTitle(title);
    m_sentence->setText(sentence);
    m_table->setDifferences(differences, leftTitle, rightTitle, m_lang);
    m_table->setVisible(!differences.isEmpty());
    // The command is reached with Alt and its first letter.
    m_accept->setText(question ? (acceptText.contains(u'&') ? acceptText : u'&' + acceptText)
                               : m_lang.LangText(TextId::Ok));
    m_cancel->setText(m_lang.LangText(TextId::Cancel));
    m_cancel->setVisible(question);
    // Cancel is the default: Enter must not write by accident. Nor may the command
    // take Enter by holding the focus when the dialog opens (with no list to hold it).
    QPushButton* safe = question ? m_cancel : m_accept;
    safe->setDefault(true);
    QDialog::show();
    (differences.isEmpty() ? static_cast<QWidget*>(safe) : m_table)->setFocus();
}

void DifferenceDialog::presentComparison(const QList<ParamDifference>& differences,
                                         const QString& leftTitle, const QString& rightTitle) {
    const QString sentence = differences.isEmpty()
                                 ? m_lang.LangText(TextId::CompareSame).arg(leftTitle, rightTitle)
                                 : m_lang.LangText(TextId::CompareCount)
                                       .arg(differences.size())
                                       .arg(leftTitle, rightTitle);
    present(LanguageUi::asTitle(m_lang.LangText(TextId::MenuCompare)), sentence, differences,
            leftTitle, rightTitle, false);
}

DifferenceDialog* ReviewDialog::open(const QList<ParamDifference>& differences, int hiddenChanges) {
    auto* dialog = new DifferenceDialog(m_lang, m_parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QString sentence = differences.isEmpty() && hiddenChanges == 0
                           ? m_lang.LangText(TextId::ReviewNoDifferences) + u' ' +
                                 m_lang.LangText(TextId::WriteAnyway)
                           : m_lang.LangText(TextId::ReviewCount).arg(differences.size());
    if (hiddenChanges > 0)
        sentence += u' ' + m_lang.LangText(TextId::ReviewHidden).arg(hiddenChanges);
    dialog->present(m_lang.LangText(TextId::ReviewTitle), sentence, differences,
                    m_lang.LangText(TextId::GridDriveValue),
                    m_lang.LangText(TextId::GridProgramValue), true,
                    LanguageUi::asTitle(m_lang.LangText(TextId::MenuWriteDrive)));
    return dialog;
}

bool ReviewDialog::approveWrite(const QList<ParamDifference>& differences, int hiddenChanges) {
    DifferenceDialog* dialog = open(differences, hiddenChanges);
    return dialog->exec() == QDialog::Accepted;
}

bool ReviewDialog::writeWithoutBackup(const QString& error) {
    return m_prompts.confirm(m_parent ? m_parent->window()->windowTitle() : QString(),
                             m_lang.LangText(TextId::ArchiveFailed).arg(error) + u' ' +
                                 m_lang.LangText(TextId::WriteAnyway));
}
