#pragma once
// The filter above the parameter grid: rows whose name or identifier contain the
// text typed, and optionally only the rows whose value differs from the drive's.
#include <QWidget>

class ParamGrid;
class QCheckBox;
class QLineEdit;
class LangModule;

class ParamGridFilter : public QWidget {
    Q_OBJECT
public:
    ParamGridFilter(ParamGrid& grid, QWidget* parent = nullptr);
    void retitle(const LangModule& lang);
    // Hides the rows that do not match; every row shows when nothing is asked.
    void apply();

    QLineEdit* text() const { return m_text; }
    QCheckBox* differingOnly() const { return m_differing; }

private:
    ParamGrid& m_grid;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_differing = nullptr;
    bool m_filtering = false;
};
