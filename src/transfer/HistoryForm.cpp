#include "transfer/HistoryForm.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "params/ParamFiles.h"
#include "params/ParamModule.h"
#include "platform/Prompts.h"
#include "transfer/DifferenceView.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

// A model over the listing: ten thousand archives cost no item objects.
class HistoryModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    QList<HistoryEntry> entries;
    QStringList titles;
    QString damagedNote;

    void reset(QList<HistoryEntry> list) {
        beginResetModel();
        entries = std::move(list);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(entries.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 5; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= entries.size())
            return {};
        const HistoryEntry& e = entries[index.row()];
        if (role == Qt::ForegroundRole && e.damaged)
            return QColor(Qt::gray);
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return e.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case 1:
            return e.kind;
        case 2:
            return e.port;
        case 3:
            return e.firmware;
        default:
            if (e.damaged)
                return damagedNote;
            return e.differences < 0 ? QString() : QString::number(e.differences);
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section < titles.size())
            return titles[section];
        return QAbstractTableModel::headerData(section, o, role);
    }
};

HistoryForm::HistoryForm(History& history, ParamModule& params, const LangModule& lang,
                         Prompts& prompts, QString title, QWidget* parent)
    : QDialog(parent), m_history(history), m_params(params), m_lang(lang), m_prompts(prompts),
      m_title(std::move(title)) {
    setObjectName(QStringLiteral("HistoryForm"));
    auto* layout = new QVBoxLayout(this);
    m_model = new HistoryModel(this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("HistoryList"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setWordWrap(false);
    // Sized from the text a time takes, not from the rows: measuring ten thousand
    // rows would cost more than listing them.
    m_view->setColumnWidth(
        0, m_view->fontMetrics().horizontalAdvance(QStringLiteral("8888-88-88 88:88:88")) + 16);
    layout->addWidget(m_view, 1);
    auto* buttons = new QHBoxLayout;
    m_load = new QPushButton(this);
    m_load->setObjectName(QStringLiteral("HistoryLoad"));
    m_compare = new QPushButton(this);
    m_compare->setObjectName(QStringLiteral("HistoryCompare"));
    m_openFolder = new QPushButton(this);
    m_openFolder->setObjectName(QStringLiteral("HistoryOpenFolder"));
    buttons->addWidget(m_load);
    buttons->addWidget(m_compare);
    buttons->addStretch(1);
    buttons->addWidget(m_openFolder);
    layout->addLayout(buttons);
    connect(m_load, &QPushButton::clicked, this, [this] {
        if (selectedRow() >= 0)
            loadEntry(selectedRow());
    });
    connect(m_compare, &QPushButton::clicked, this, [this] {
        const int row = selectedRow();
        if (row < 0)
            return;
        if (const auto d = compareEntry(row))
            showComparison(*d, entry(row).fileName);
    });
    connect(m_openFolder, &QPushButton::clicked, this, [this] {
        QDir().mkpath(m_history.folder());
        m_prompts.openUrl(QUrl::fromLocalFile(m_history.folder()).toString());
    });
    resize(640, 480);
}

void HistoryForm::refresh() {
    setWindowTitle(LanguageUi::asTitle(m_lang.LangText(TextId::MenuHistory)));
    m_model->titles = m_lang.LangText(TextId::HistoryColumns).split(u'|');
    m_model->damagedNote = m_lang.LangText(TextId::HistoryDamaged);
    m_load->setText(m_lang.LangText(TextId::HistoryLoad));
    m_compare->setText(LanguageUi::asTitle(m_lang.LangText(TextId::MenuCompare)));
    m_openFolder->setText(m_lang.LangText(TextId::HistoryOpenFolder));
    m_model->reset(m_history.list());
    if (m_model->rowCount({}) > 0)
        m_view->selectRow(0);
}

int HistoryForm::entries() const {
    return m_model->rowCount({});
}

const HistoryEntry& HistoryForm::entry(int row) const {
    return m_model->entries[row];
}

int HistoryForm::selectedRow() const {
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void HistoryForm::refuseDamaged(const HistoryEntry& entry) {
    m_prompts.critical(m_title, entry.fileName + QStringLiteral(": ") +
                                    m_lang.LangText(TextId::HistoryDamaged));
}

bool HistoryForm::loadEntry(int row) {
    const HistoryEntry& e = entry(row);
    const std::optional<ParamSet> set = e.damaged ? std::nullopt : m_history.load(e.fileName);
    if (!set) {
        refuseDamaged(e);
        return false;
    }
    for (int k = 0; k < ParamModule::Count; ++k)
        m_params.SetParameter(k, (*set)[std::size_t(k)]);
    return true;
}

std::optional<QList<ParamDifference>> HistoryForm::compareEntry(int row) {
    const HistoryEntry& e = entry(row);
    const std::optional<ParamSet> set = e.damaged ? std::nullopt : m_history.load(e.fileName);
    if (!set) {
        refuseDamaged(e);
        return std::nullopt;
    }
    return differences(m_params.ParamCatalogue, m_params.ParamValues(), *set);
}

void HistoryForm::showComparison(const QList<ParamDifference>& differences,
                                 const QString& rightTitle) {
    DifferenceDialog dialog(m_lang, this);
    dialog.presentComparison(differences, m_lang.LangText(TextId::GridProgramValue), rightTitle);
    dialog.exec();
}

HistoryCommands::HistoryCommands(History& history, ParamModule& params, const LangModule& lang,
                                 Prompts& prompts, QWidget* mainWindow)
    : QObject(mainWindow), m_history(history), m_params(params), m_lang(lang), m_prompts(prompts),
      m_mainWindow(mainWindow) {}

void HistoryCommands::addCommands(QMenu* menu, QAction* before) {
    m_historyAction = new QAction(QStringLiteral("Ge\u00e7mi\u015f..."), menu);
    m_historyAction->setObjectName(QStringLiteral("MI_History"));
    m_historyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    LanguageUi::setTag(m_historyAction, TextId::MenuHistory);
    m_compareAction = new QAction(QStringLiteral("Kar\u015f\u0131la\u015ft\u0131r..."), menu);
    m_compareAction->setObjectName(QStringLiteral("MI_Compare"));
    LanguageUi::setTag(m_compareAction, TextId::MenuCompare);
    menu->insertAction(before, m_historyAction);
    menu->insertAction(before, m_compareAction);
    connect(m_historyAction, &QAction::triggered, this, [this] {
        HistoryForm form(m_history, m_params, m_lang, m_prompts, m_mainWindow->windowTitle(),
                         m_mainWindow);
        form.refresh();
        form.exec();
    });
    connect(m_compareAction, &QAction::triggered, this, &HistoryCommands::compareWithFile);
}

void HistoryCommands::setEnabled(bool on) {
    m_historyAction->setEnabled(on);
    m_compareAction->setEnabled(on);
}

void HistoryCommands::compareWithFile() {
    const QString path = m_prompts.openFileName(
        LanguageUi::asTitle(m_lang.LangText(TextId::MenuCompare)), ParamFiles::Pattern);
    if (path.isEmpty())
        return;
    const std::optional<ParamSet> set = History::readSetFile(path);
    if (!set) {
        m_prompts.critical(m_mainWindow->windowTitle(), ParamFiles::failureText(path));
        return;
    }
    const QList<ParamDifference> d =
        differences(m_params.ParamCatalogue, m_params.ParamValues(), *set);
    DifferenceDialog dialog(m_lang, m_mainWindow);
    dialog.presentComparison(d, m_lang.LangText(TextId::GridProgramValue),
                             QDir::toNativeSeparators(path).section(QDir::separator(), -1));
    dialog.exec();
}
