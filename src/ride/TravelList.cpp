#include "ride/TravelList.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "lang/TextId.h"
#include "platform/Prompts.h"
#include "platform/SafeFiles.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <iterator>
#include <utility>

namespace {

// The figures in the columns' order from Flight on; the export adds Irms.
constexpr double TravelFigures::*Figures[] = {
    &TravelFigures::flight, &TravelFigures::distance, &TravelFigures::vmax,
    &TravelFigures::amax,   &TravelFigures::dmax,     &TravelFigures::jmax,
    &TravelFigures::creep,  &TravelFigures::ipeak,    &TravelFigures::irms};
static_assert(std::size(Figures) == TravelList::ListColumns - TravelList::Flight + 1);

// Decimals shown in the list per column (the export keeps every digit that counts).
constexpr int Decimals[TravelList::ListColumns] = {0, 2, 3, 3, 2, 2, 2, 2, 1};

QLocale userLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// An empty figure stays empty: 0 would read as a measured value.
QString number(double value, char format, int precision) {
    return std::isnan(value) ? QString() : userLocale().toString(value, format, precision);
}

QString whenText(const MeasuredTravel& t) {
    if (t.clock.isValid())
        return t.clock.toString(QStringLiteral("HH:mm:ss"));
    return number(t.figures.start, 'f', 2) + QStringLiteral(" s");
}

} // namespace

TravelList::TravelList(const LangModule& lang, Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_lang(lang), m_prompts(prompts) {
    setObjectName(QStringLiteral("TravelList"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QTreeWidget(this);
    m_view->setObjectName(QStringLiteral("TravelListView"));
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAlternatingRowColors(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setColumnCount(ListColumns);
    m_view->header()->setStretchLastSection(false);
    // Widths fitted to the contents would be measured anew over every row each time a
    // travel comes in; retitle() gives each column room for its title and figures.
    m_view->header()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(m_view, 1);
    connect(m_view, &QTreeWidget::itemSelectionChanged, this, &TravelList::chosen);

    auto* buttons = new QVBoxLayout;
    m_clear = new QPushButton(QStringLiteral("Temizle"), this);
    m_clear->setObjectName(QStringLiteral("TravelsClear"));
    LanguageUi::setTag(m_clear, TextId::TravelsClear);
    m_export = new QPushButton(QStringLiteral("D\u0131\u015fa aktar..."), this);
    m_export->setObjectName(QStringLiteral("TravelsExport"));
    LanguageUi::setTag(m_export, TextId::TravelsExport);
    buttons->addWidget(m_clear);
    buttons->addWidget(m_export);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(m_clear, &QPushButton::clicked, this, &TravelList::clear);
    connect(m_export, &QPushButton::clicked, this, &TravelList::exportTravels);
    retitle(lang);
}

void TravelList::retitle(const LangModule& lang) {
    // The units under the names keep the columns as narrow as their figures.
    QStringList names = titles().mid(0, ListColumns);
    for (QString& name : names)
        name.replace(QStringLiteral(" ("), QStringLiteral("\n("));
    m_view->setHeaderLabels(names);
    const QFontMetrics cells = m_view->fontMetrics();
    for (int column = 0; column < ListColumns; ++column) {
        const QString widest =
            column == When ? QStringLiteral("8888.88 s") : number(-888.0, 'f', Decimals[column]);
        const int width = std::max(m_view->header()->sectionSizeHint(column),
                                   cells.horizontalAdvance(widest) + 2 * cells.averageCharWidth());
        m_view->header()->resizeSection(column, width);
    }
    m_view->setToolTip(lang.LangText(TextId::TravelsHint));
    m_clear->setText(lang.LangText(TextId::TravelsClear));
    m_export->setText(lang.LangText(TextId::TravelsExport));
    for (int k = 0; k < m_view->topLevelItemCount(); ++k)
        if (!m_travels[k].figures.complete)
            m_view->topLevelItem(k)->setToolTip(When, lang.LangText(TextId::TravelIncomplete));
}

QStringList TravelList::titles() const {
    return m_lang.LangText(TextId::TravelColumns).split(u'|');
}

QTreeWidgetItem* TravelList::itemFor(const MeasuredTravel& travel) const {
    auto* item = new QTreeWidgetItem;
    item->setText(When, whenText(travel));
    for (int column = Flight; column < ListColumns; ++column) {
        item->setText(column,
                      number(travel.figures.*Figures[column - Flight], 'f', Decimals[column]));
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (!travel.figures.complete) {
        QFont italic = m_view->font();
        italic.setItalic(true);
        for (int column = 0; column < ListColumns; ++column)
            item->setFont(column, italic);
        item->setToolTip(When, m_lang.LangText(TextId::TravelIncomplete));
    }
    return item;
}

void TravelList::takeSample(double t, double speed, double accel, double current) {
    TravelFinder::Run run;
    if (!m_finder.add({t, speed, accel, current}, &run))
        return;
    // The tick only takes the sample: measuring and listing wait for the event loop.
    m_pending.append({std::move(run), m_v0 ? m_v0() : 0.0, QTime::currentTime(), t});
    if (m_pending.size() == 1)
        QMetaObject::invokeMethod(this, &TravelList::listPending, Qt::QueuedConnection);
}

void TravelList::listPending() {
    for (const Pending& pending : std::exchange(m_pending, {})) {
        MeasuredTravel travel = pending.run.measure(pending.v0);
        // The travel ended one sample ago; its start lies its flight before that.
        travel.clock = pending.clock.addMSecs(-qRound((pending.t - travel.figures.start) * 1000.0));
        m_travels.prepend(travel);
        m_view->insertTopLevelItem(0, itemFor(travel));
    }
}

void TravelList::setTravels(const QList<MeasuredTravel>& travels) {
    m_view->clear();
    m_travels = travels;
    QList<QTreeWidgetItem*> items;
    items.reserve(travels.size());
    for (const MeasuredTravel& travel : travels)
        items.append(itemFor(travel));
    m_view->addTopLevelItems(items);
}

void TravelList::clear() {
    m_pending.clear();
    m_view->clear();
    m_travels.clear();
}

void TravelList::chosen() {
    const QList<QTreeWidgetItem*> selected = m_view->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_view->indexOfTopLevelItem(selected.first());
    if (row >= 0 && row < m_travels.size())
        emit travelChosen(m_travels[row]);
}

QByteArray TravelList::csv() const {
    QByteArray out("\xEF\xBB\xBF");
    const auto line = [&out](const QStringList& fields) {
        out += fields.join(QStringLiteral("; ")).toUtf8() + "\r\n";
    };
    line(titles());
    for (const MeasuredTravel& travel : m_travels) {
        const TravelFigures& f = travel.figures;
        QStringList fields{whenText(travel)};
        for (const auto figure : Figures)
            fields << number(f.*figure, 'g', 9);
        fields << (f.complete ? QStringLiteral("1") : QStringLiteral("0"));
        line(fields);
    }
    return out;
}

void TravelList::exportTravels() {
    const QString title = window()->windowTitle();
    QString path = m_prompts.saveFileName(title, QStringLiteral("*.csv"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    QString why;
    if (!SafeFiles::writeWhole(path, csv(), &why)) {
        m_prompts.critical(
            title,
            m_lang.LangText(TextId::FileNotWritten).arg(QDir::toNativeSeparators(path), why));
        return;
    }
    m_prompts.information(
        title, m_lang.LangText(TextId::TravelsWritten).arg(QDir::toNativeSeparators(path)));
}
