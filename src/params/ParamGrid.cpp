#include "params/ParamGrid.h"

#include "lang/LangModule.h"
#include "params/ParEditText.h"
#include "params/ParamModule.h"
#include "platform/NumberText.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

namespace {

const QColor kDarkGreen(0, 100, 0);
const QColor kRed(255, 0, 0);
const QColor kGrey(128, 128, 128);

// Row height of the old grid, in twips (1/1440 inch).
constexpr double kRowHeightTwips = 400.0;

QTableWidgetItem* makeItem(const QString& text, bool centred) {
    auto* item = new QTableWidgetItem(text);
    // Editing happens in ParEditText only; the cells themselves are display.
    item->setFlags(Qt::ItemIsEnabled);
    if (centred)
        item->setTextAlignment(Qt::AlignCenter);
    return item;
}

void setBold(QTableWidgetItem* item, bool bold) {
    QFont font = item->font();
    if (font.bold() != bold) {
        font.setBold(bold);
        item->setFont(font);
    }
}

void setColour(QTableWidgetItem* item, const QColor& colour) {
    if (item->foreground().color() != colour || item->foreground().style() == Qt::NoBrush)
        item->setForeground(colour);
}

// Writes the text with its first comma turned into a point back into the cell.
QString normalise(QTableWidgetItem* item) {
    const QString text = NumberText::replacedFirst(item->text(), u',', u'.');
    if (text != item->text())
        item->setText(text);
    return text;
}

} // namespace

ParamGrid::ParamGrid(ParamModule& params, QWidget* parent)
    : QTableWidget(parent), m_params(params) {
    setObjectName(QStringLiteral("ParamGrid"));
    setColumnCount(Columns);
    for (int column = 0; column < Columns; ++column) {
        auto* header = new QTableWidgetItem;
        setBold(header, true);
        setHorizontalHeaderItem(column, header);
    }
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);

    m_editor = new ParEditText(viewport());
    m_editor->hide();
    connect(m_editor, &ParEditText::enterPressed, this, &ParamGrid::onEnter);
    connect(m_editor, &ParEditText::focusLost, this, &ParamGrid::onEditorFocusLost);
    connect(m_editor, &ParEditText::escapePressed, this, &ParamGrid::cancelEdit);
    connect(this, &QTableWidget::cellClicked, this, [this](int qtRow, int column) {
        if (column == ValueColumn)
            startEdit(qtRow + 1);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ParamGrid::placeEditor);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &ParamGrid::placeEditor);

    // Guarded rather than removed in the destructor: the grid may outlive the module
    // (a main window destroys its members before its child widgets) or the other way.
    m_params.setGridRowLookup([grid = QPointer<ParamGrid>(this)](int index) {
        return grid ? grid->FindGridRow(index) : int(NoRow);
    });
    LayoutParamGrid();
}

QTableWidgetItem* ParamGrid::cell(int row, int column) const {
    return row >= 1 && row <= rowCount() ? item(row - 1, column) : nullptr;
}

QString ParamGrid::cellText(int row, int column) const {
    const QTableWidgetItem* it = cell(row, column);
    return it ? it->text() : QString();
}

void ParamGrid::retitle(const LangModule& lang) {
    static constexpr TextId headers[] = {TextId::GridParameter, TextId::GridDriveValue,
                                         TextId::GridProgramValue, TextId::GridUnit};
    for (int column = 0; column <= UnitColumn; ++column)
        horizontalHeaderItem(column)->setText(lang.LangText(headers[column]));
    LayoutParamGrid();
}

void ParamGrid::FillParamGrid() {
    hideParEditor();

    // Room for exactly the rows that are written: the catalogue's count also counts
    // placeholder lines, which get no row.
    int named = 0;
    for (const ParamDef& def : m_params.ParamCatalogue)
        if (!def.isPlaceholder())
            ++named;
    setRowCount(0);
    setRowCount(named);

    int qtRow = 0;
    for (int i = 0; i < ParamModule::Count; ++i) {
        const ParamDef& def = m_params.ParamCatalogue[std::size_t(i)];
        if (def.isPlaceholder())
            continue;
        setItem(qtRow, NameColumn,
                makeItem(def.name + QStringLiteral(" (") + def.id + u')', false));
        const QString& driveText = m_driveTexts[std::size_t(i)];
        setItem(qtRow, DriveColumn,
                makeItem(driveText.isEmpty() ? QStringLiteral("?") : driveText, true));
        // Rows may map to other indexes than before a language switch, so column 2
        // is rebuilt from the stored values rather than left as it was.
        setItem(qtRow, ValueColumn, makeItem(NumberText::general(m_params.GetParameter(i)), true));
        setItem(qtRow, UnitColumn, makeItem(def.unit, true));
        setItem(qtRow, IndexColumn, makeItem(QString::number(i), false));
        ++qtRow;
    }
    for (int row = 1; row <= rowCount(); ++row)
        ColorizeGrid(row);
    updateDifference();
    LayoutParamGrid();
}

void ParamGrid::ColorizeGrid(int row) {
    QTableWidgetItem* drive = cell(row, DriveColumn);
    QTableWidgetItem* wanted = cell(row, ValueColumn);
    if (!drive || !wanted)
        return;
    setColour(drive, m_driveStale ? kGrey : kDarkGreen);
    if (drive->toolTip() != m_staleTip)
        drive->setToolTip(m_staleTip);
    normalise(drive);
    normalise(wanted);
    const bool differs = rowDiffers(row);
    setColour(wanted, differs ? kRed : kDarkGreen);
    setBold(wanted, differs);
}

namespace {

// A value the drive was read with: "?" is none yet, "N/A" a parameter it lacks.
bool readValue(const QString& text) {
    return !text.isEmpty() && text != u'?' && text != QStringLiteral("N/A");
}

bool sameNumber(const QString& a, const QString& b) {
    return NumberText::replacedFirst(a, u',', u'.') == NumberText::replacedFirst(b, u',', u'.');
}

} // namespace

bool ParamGrid::rowDiffers(int row) const {
    const QString drive = cellText(row, DriveColumn);
    return !m_driveStale && readValue(drive) && !sameNumber(drive, cellText(row, ValueColumn));
}

bool ParamGrid::matchesDrive() const {
    // What the drive held when last read, current or not: values read from it or
    // written to it are kept there.
    bool any = false;
    for (int row = 1; row <= rowCount(); ++row) {
        const QString drive = cellText(row, DriveColumn);
        if (drive == QStringLiteral("N/A"))
            continue;
        if (!readValue(drive) || !sameNumber(drive, cellText(row, ValueColumn)))
            return false;
        any = true;
    }
    return any;
}

void ParamGrid::updateDifference() {
    bool differs = false;
    for (int row = 1; row <= rowCount() && !differs; ++row)
        differs = rowDiffers(row);
    if (differs == m_differs)
        return;
    m_differs = differs;
    emit differenceChanged(differs);
}

void ParamGrid::markDriveStale(const QString& tip) {
    m_driveStale = true;
    m_staleTip = tip;
    for (int row = 1; row <= rowCount(); ++row)
        ColorizeGrid(row);
    updateDifference();
}

void ParamGrid::LayoutParamGrid() {
    const double width = viewport()->width();
    static constexpr double fractions[] = {4.1, 1.25, 1.25, 2.3};
    int widths[4];
    for (int column = 0; column < 4; ++column)
        widths[column] = int(NumberText::roundHalfEven(width * fractions[column] / 9.0));
    // A value column never cuts its header ("İnvertördeki değer" in a narrow window):
    // it takes what it needs from the name column, which is the widest.
    for (int column = DriveColumn; column <= UnitColumn; ++column) {
        const QTableWidgetItem* header = horizontalHeaderItem(column);
        const int needed =
            header ? QFontMetrics(header->font()).horizontalAdvance(header->text()) + 16 : 0;
        if (widths[column] < needed) {
            widths[NameColumn] -= needed - widths[column];
            widths[column] = needed;
        }
    }
    for (int column = 0; column < 4; ++column)
        setColumnWidth(column, std::max(1, widths[column]));
    setColumnWidth(IndexColumn, 0);
    setColumnHidden(IndexColumn, true);
    const int height = int(NumberText::roundHalfEven(kRowHeightTwips * logicalDpiY() / 1440.0));
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(height);
    placeEditor();
}

int ParamGrid::qtRowOf(int index) const {
    const QString key = QString::number(index);
    for (int qtRow = 0; qtRow < rowCount(); ++qtRow) {
        const QTableWidgetItem* it = item(qtRow, IndexColumn);
        if (it && it->text() == key)
            return qtRow;
    }
    return -1;
}

int ParamGrid::FindGridRow(int index) const {
    const int qtRow = qtRowOf(index);
    return qtRow < 0 ? NoRow : qtRow + 1;
}

void ParamGrid::showStoredValue(int index, float value) {
    // Looked up directly: FindGridRow's "none" (127) is also a real row of a full grid.
    const int qtRow = qtRowOf(index);
    if (qtRow < 0)
        return;
    const QString text = NumberText::general(value);
    item(qtRow, ValueColumn)->setText(text);
    ColorizeGrid(qtRow + 1);
    updateDifference();
    // A value stored from elsewhere (a file, the drive) while the box is open over
    // this row replaces the box's text; otherwise leaving the box would write the
    // stale text over it.
    if (m_editing && !m_committing && m_editRow == qtRow + 1)
        m_editor->setText(cellText(m_editRow, ValueColumn));
}

void ParamGrid::setDriveText(int index, const QString& text) {
    if (index >= 0 && index < int(m_driveTexts.size()))
        m_driveTexts[std::size_t(index)] = text;
    // A value read again: the column is current from here on.
    if (m_driveStale) {
        m_driveStale = false;
        m_staleTip.clear();
        for (int row = 1; row <= rowCount(); ++row)
            ColorizeGrid(row);
    }
    const int qtRow = qtRowOf(index);
    if (qtRow >= 0) {
        item(qtRow, DriveColumn)->setText(text);
        ColorizeGrid(qtRow + 1);
    }
    updateDifference();
}

void ParamGrid::startEdit(int row) {
    if (row < 1 || row > rowCount())
        return;
    moveEditorTo(row);
    m_editor->setText(cellText(row, ValueColumn));
    m_editor->show();
    m_editor->setFocus(Qt::MouseFocusReason);
}

void ParamGrid::moveEditorTo(int row) {
    m_editRow = row;
    m_editing = true;
    setCurrentCell(row - 1, ValueColumn);
    scrollToItem(item(row - 1, ValueColumn));
    placeEditor();
}

void ParamGrid::placeEditor() {
    if (!m_editing || m_editRow < 1 || m_editRow > rowCount())
        return;
    m_editor->setGeometry(visualRect(model()->index(m_editRow - 1, ValueColumn)));
}

bool ParamGrid::commitEdit() {
    if (m_editRow < 1 || m_editRow > rowCount())
        return false;
    const QScopedValueRollback guard(m_committing, true);
    const int index = cellText(m_editRow, IndexColumn).toInt();
    const float value = NumberText::typedValue(m_editor->text());
    return m_params.SetParameter(index, value) == ParamModule::Accepted;
}

void ParamGrid::onEnter() {
    if (!m_editing || m_committing)
        return;
    if (!commitEdit())
        return; // refused or changed: the user's text stays for another try
    moveEditorTo(m_editRow >= rowCount() ? 1 : m_editRow + 1);
    m_editor->setText(cellText(m_editRow, ValueColumn));
    m_editor->selectAll();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void ParamGrid::onEditorFocusLost(Qt::FocusReason reason) {
    // A message box raised by the setter, a menu or another application takes the
    // focus for a moment; only a move to another control ends the edit. While a
    // commit runs, the focus change comes from that commit and must not commit again.
    if (!m_editing || m_committing || reason == Qt::ActiveWindowFocusReason ||
        reason == Qt::PopupFocusReason)
        return;
    commitEdit();
    hideParEditor();
}

void ParamGrid::hideParEditor() {
    // Cleared first: hiding the focused box moves the focus and must not commit.
    m_editing = false;
    m_editRow = 0;
    m_editor->hide();
}

void ParamGrid::cancelEdit() {
    if (!m_editing)
        return;
    const int row = m_editRow;
    hideParEditor();
    setCurrentCell(row - 1, ValueColumn);
    setFocus(Qt::OtherFocusReason);
}

void ParamGrid::keyPressEvent(QKeyEvent* event) {
    const int row = currentRow() + 1;
    const bool onRow = row >= 1 && row <= rowCount();
    const QString typed = event->text();
    if (onRow && (event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return ||
                  event->key() == Qt::Key_Enter)) {
        startEdit(row);
        m_editor->selectAll();
        event->accept();
        return;
    }
    if (onRow && !typed.isEmpty() && typed.at(0).isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        startEdit(row);
        m_editor->setText(typed);
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool ParamGrid::viewportEvent(QEvent* event) {
    const bool result = QTableWidget::viewportEvent(event);
    // The viewport narrows when the vertical scroll bar appears; the columns follow.
    if (event->type() == QEvent::Resize)
        LayoutParamGrid();
    return result;
}
