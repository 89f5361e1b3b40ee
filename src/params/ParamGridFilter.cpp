#include "params/ParamGridFilter.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "params/ParamGrid.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>

ParamGridFilter::ParamGridFilter(ParamGrid& grid, QWidget* parent) : QWidget(parent), m_grid(grid) {
    setObjectName(QStringLiteral("ParamGridFilter"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("GridFilterText"));
    m_text->setClearButtonEnabled(true);
    m_differing = new QCheckBox(QStringLiteral("Yaln\u0131z farkl\u0131 sat\u0131rlar"), this);
    m_differing->setObjectName(QStringLiteral("GridDifferingOnly"));
    LanguageUi::setTag(m_differing, TextId::OnlyDifferingRows);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_differing);
    connect(m_text, &QLineEdit::textChanged, this, &ParamGridFilter::apply);
    connect(m_differing, &QCheckBox::toggled, this, &ParamGridFilter::apply);
    // A value stored or read changes a cell; a language switch rebuilds the rows.
    connect(&m_grid, &QTableWidget::itemChanged, this, [this] {
        if (m_filtering)
            apply();
    });
    connect(m_grid.model(), &QAbstractItemModel::rowsInserted, this, &ParamGridFilter::apply);
}

void ParamGridFilter::retitle(const LangModule& lang) {
    m_text->setPlaceholderText(lang.LangText(TextId::GridParameter));
    m_differing->setText(lang.LangText(TextId::OnlyDifferingRows));
}

void ParamGridFilter::apply() {
    const QString wanted = m_text->text().trimmed();
    const bool differing = m_differing->isChecked();
    m_filtering = !wanted.isEmpty() || differing;
    for (int row = 1; row <= m_grid.rows(); ++row) {
        bool show = true;
        if (m_filtering) {
            // The name column reads "name (identifier)", so one search finds both.
            show =
                m_grid.cellText(row, ParamGrid::NameColumn).contains(wanted, Qt::CaseInsensitive);
            if (show && differing)
                show = m_grid.rowDiffers(row);
        }
        if (m_grid.isRowHidden(row - 1) == show)
            m_grid.setRowHidden(row - 1, !show);
    }
}
