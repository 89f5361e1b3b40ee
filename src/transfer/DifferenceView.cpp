#include "transfer/DifferenceView.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"

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
    m_accept->setText(question ? acceptText : m_lang.LangText(TextId::Ok));
    m_cancel->setText(m_lang.LangText(TextId::Cancel));
    m_cancel->setVisible(question);
    // Cancel is the default: Enter must not write by accident.
    (question ? m_cancel : m_accept)->setDefault(true);
    QDialog::show();
}

DifferenceDialog* ReviewDialog::open(const QList<ParamDifference>& differences) {
    auto* dialog = new DifferenceDialog(m_lang, m_parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString sentence = differences.isEmpty()
                                 ? m_lang.LangText(TextId::ReviewNoDifferences) + u' ' +
                                       m_lang.LangText(TextId::WriteAnyway)
                                 : m_lang.LangText(TextId::ReviewCount).arg(differences.size());
    dialog->present(m_lang.LangText(TextId::ReviewTitle), sentence, differences,
                    m_lang.LangText(TextId::GridDriveValue),
                    m_lang.LangText(TextId::GridProgramValue), true,
                    LanguageUi::asTitle(m_lang.LangText(TextId::MenuWriteDrive)));
    return dialog;
}

bool ReviewDialog::approveWrite(const QList<ParamDifference>& differences) {
    DifferenceDialog* dialog = open(differences);
    return dialog->exec() == QDialog::Accepted;
}
