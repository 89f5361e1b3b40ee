#pragma once
// The main window: owns the modules, wires the pages, menus and status bar
// together and runs the start-up sequence.
#include "lang/LangModule.h"
#include "link/LinkPort.h"
#include "params/ParamModule.h"
#include "sim/SimModule.h"

#include <QMainWindow>
#include <memory>

class DriveLink;
class LanguageMenu;
class MonitorPage;
class ParamGrid;
class TravelPage;
class Prompts;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QTabBar;

class MainForm : public QMainWindow, public ParamListener {
    Q_OBJECT
public:
    static inline const QString DesignTitle = QStringLiteral("ORVAN-Quvera");

    // `folder` is where the language packs and definition files lie (the program's
    // folder in the program, a scratch folder in tests). `port` is the serial line;
    // without one the real serial port is used.
    MainForm(Prompts& prompts, const QString& folder, std::unique_ptr<LinkPort> port = {},
             QWidget* parent = nullptr);
    ~MainForm() override;

    // Runs the start-up sequence. False when the program cannot run (no language
    // pack); the window is then closed and must not be shown.
    bool startUp();

    // Public state other parts read and write.
    short LOMTIX = 0;
    bool readyToSimulate = false;
    bool FlashParamsIdentical = false;
    float scaleRed = 0.0f;
    bool version_gt_8_26 = true;

    LangModule& lang() { return m_lang; }
    ParamModule& params() { return m_params; }
    SimModule& sim() { return m_sim; }
    Prompts& prompts() { return m_prompts; }
    QString folder() const { return m_folder; }
    // The title of the brand edition.
    QString editionTitle() const;

    void simulate();
    // Recolours grid row `row` of the parameter grid (1 = first parameter row).
    void ColorizeGrid(int row);
    ParamGrid* paramGrid() const { return m_paramGrid; }
    // The serial link, the connection dialog and the parameter transfer.
    DriveLink& driveLink() { return *m_link; }

    // ParamListener: mirrors a stored value into the controls that show it.
    void parameterStored(int index, const ParamDef& def, float value) override;

public slots:
    void switchLanguage(int k);

signals:
    // The grid is rebuilt after the catalogue was (re)loaded.
    void catalogueReloaded();

private:
    void buildMenus(std::unique_ptr<LinkPort> port);
    void buildPages();
    void selectPage(int tag);

    Prompts& m_prompts;
    QString m_folder;
    LangModule m_lang;
    ParamModule m_params;

    QMenu* m_menuFile = nullptr;
    QMenu* m_menuConnection = nullptr;
    QMenu* m_menuLanguage = nullptr;
    QMenu* m_menuHelp = nullptr;
    QAction* m_exit = nullptr;
    LanguageMenu* m_languageMenu = nullptr;
    QTabBar* m_tabs = nullptr;
    QFrame* m_frameMonitor = nullptr;
    MonitorPage* m_monitorPage = nullptr;
    QFrame* m_frameMotor = nullptr;
    QFrame* m_frameSeyir = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    ParamGrid* m_paramGrid = nullptr;
    SimModule m_sim;
    TravelPage* m_travelPage = nullptr;
    QAction* m_openFile = nullptr;
    QAction* m_saveFile = nullptr;
    std::unique_ptr<DriveLink> m_link;
};
