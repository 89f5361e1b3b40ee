#pragma once
// File > Report...: the entry and what the report gathers from the main window (the
// drive session, the grid's drive column, the travel page).
class MainForm;
class QAction;
class QMenu;

namespace ReportMenu {

// Adds MI_Report to `menu` before `before`; the command is the window's child
// "ReportCommand".
QAction* add(MainForm& form, QMenu* menu, QAction* before);

} // namespace ReportMenu
