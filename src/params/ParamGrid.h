#pragma once
// The parameter grid: one row per named catalogue record with the drive's value
// beside the value to write, edited in place through ParEditText and the setter.
//
// Row numbers: the grid's header row 0 is Qt's horizontal header, so grid row r
// (1 .. rows()) is Qt row r - 1. Every public operation below takes and returns
// grid rows; columns are the same in both. Rows map to parameters only through the
// hidden index column 4.
#include "params/DriveValueColumn.h"

#include <QTableWidget>
#include <array>

class LangModule;
class ParamModule;
class ParEditText;

class ParamGrid : public QTableWidget, public DriveValueColumn {
    Q_OBJECT
public:
    enum Column {
        NameColumn = 0,
        DriveColumn = 1,
        ValueColumn = 2,
        UnitColumn = 3,
        IndexColumn = 4
    };
    static constexpr int Columns = 5;
    static constexpr int NoRow = 127;

    // Installs itself as the parameter module's grid-row lookup; once the grid is
    // gone the lookup answers NoRow.
    explicit ParamGrid(ParamModule& params, QWidget* parent = nullptr);

    // Rebuilds the rows from the catalogue: the drive's values as last read ("?"
    // before any read), the stored values in column 2, every row coloured. An open
    // edit is dropped.
    void FillParamGrid();
    // Header texts from the language pack.
    void retitle(const LangModule& lang);
    // Recolours grid row `row`: both value texts get their first "," turned into
    // "."; the wanted value is red and bold when its text differs from the drive's.
    void ColorizeGrid(int row);
    // Column widths from the current width, row heights, index column hidden.
    void LayoutParamGrid();
    // Grid row whose index column holds `index`, or NoRow (127) when none does.
    int FindGridRow(int index) const;

    int rows() const { return rowCount(); }
    QTableWidgetItem* cell(int row, int column) const;
    QString cellText(int row, int column) const;

    // The setter stored `value` for parameter `index`: shows it in column 2 of its
    // row (general number format) and recolours the row.
    void showStoredValue(int index, float value);
    // The drive's value of parameter `index` ("N/A" when the drive lacks it). Kept
    // by index, so a rebuild of the rows (a language switch) shows it again.
    void setDriveText(int index, const QString& text) override;
    // Grid row `row`'s wanted value differs from a current drive value (a row whose
    // drive value is unknown, "N/A" or not current differs from nothing).
    bool rowDiffers(int row) const;
    // Some row differs from a current drive value.
    bool differsFromDrive() const { return m_differs; }
    // Every row shows the drive's value as last read (current or not) equal to its
    // wanted value; rows the drive lacks ("N/A") aside.
    bool matchesDrive() const;
    // The line was lost at `since`: the drive may have been changed or replaced, so
    // its column is no longer current (greyed, `tip` as its tool tip) until a value
    // is read again.
    void markDriveStale(const QString& tip);
    bool driveStale() const { return m_driveStale; }

    // Grid row being edited, 0 when the edit box is hidden.
    int editRow() const { return m_editing ? m_editRow : 0; }
    ParEditText* editor() const { return m_editor; }
    // Opens the edit box over (row, 2).
    void startEdit(int row);

signals:
    // differsFromDrive() changed.
    void differenceChanged(bool differs);

protected:
    bool viewportEvent(QEvent* event) override;
    // From the keyboard: F2 or Enter edits the current row's value, typing starts an
    // edit with what was typed.
    void keyPressEvent(QKeyEvent* event) override;

private:
    int qtRowOf(int index) const;
    void moveEditorTo(int row);
    void placeEditor();
    bool commitEdit();
    void onEnter();
    void onEditorFocusLost(Qt::FocusReason reason);
    // Escape: the edit ends without storing, the grid keeps the focus.
    void cancelEdit();
    void hideParEditor();
    void updateDifference();

    ParamModule& m_params;
    ParEditText* m_editor = nullptr;
    int m_editRow = 0;
    bool m_editing = false;
    bool m_committing = false;
    std::array<QString, 128> m_driveTexts;
    bool m_differs = false;
    bool m_driveStale = false;
    QString m_staleTip;
};
