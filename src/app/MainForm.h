#pragma once
// The main window: owns the modules and the drive session, wires the pages, menus
// and status bar together and runs the start-up sequence.
#include "app/Brand.h"
#include "app/DriveSession.h"
#include "lang/LangModule.h"
#include "link/LinkPort.h"
#include "params/ParamModule.h"
#include "sim/SimModule.h"

#include <QMainWindow>
#include <memory>

class AboutForm;
class HistoryCommands;
class LanguageMenu;
class MonitorPage;
class ParamGrid;
class RideCommands;
class TravelPage;
class Prompts;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QTabBar;
class QToolBar;
class QTranslator;

class MainForm : public QMainWindow, public ParamListener {
    Q_OBJECT
public:
    static inline const QString DesignTitle = QStringLiteral("ORVAN-Quvera");

    // `folder` is where the language packs and definition files lie (the program's
    // folder in the program, a scratch folder in tests). `port` is the serial line;
    // without one the real serial port is used. `edition` is the one built in; tests
    // show the other without a second build.
    MainForm(Prompts& prompts, const QString& folder, std::unique_ptr<LinkPort> port = {},
             Edition edition = Brand::edition());
    ~MainForm() override;

    // Runs the start-up sequence. False when the program cannot run (no language
    // pack); the window is then closed and must not be shown.
    bool startUp();

    LangModule& lang() { return m_lang; }
    ParamModule& params() { return m_params; }
    SimModule& sim() { return m_sim; }
    Prompts& prompts() { return m_prompts; }
    QString folder() const { return m_folder; }
    // The port, the transfer and the state shared about the drive.
    DriveSession& session() { return *m_session; }
    // The title of the brand edition.
    QString editionTitle() const;

    void simulate();
    ParamGrid* paramGrid() const { return m_paramGrid; }
    TravelPage* travelPage() const { return m_travelPage; }
    // The measured travels: the live list, the recording opened, the travel chosen.
    RideCommands* ride() const { return m_ride; }

    // ParamListener: mirrors a stored value into the controls that show it.
    void parameterStored(int index, const ParamDef& def, float value) override;

public slots:
    void switchLanguage(int k);

    // The program's values hold edits kept nowhere: not in the file last saved or
    // opened (or the factory set), and not what the drive holds now.
    bool hasUnsavedEdits() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing with unsaved edits asks first; Cancel keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // The pages follow the window through their layouts; the travel run is drawn
    // again at the new size.
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    // Toolbar1 shows the menu's own actions, so both follow the same enabling rules.
    void buildToolbar();
    // Keys for a technician without a mouse: F10, Ctrl+Tab and Ctrl+PgDn/PgUp.
    void buildKeyboard();
    // The toolbar images, the logo and the window icon of the edition; pictures that
    // are missing are named in one message.
    QStringList loadPictures();
    // The logo and the About picture: the maker's web site, only where the marker
    // file lies beside the program.
    void openMakerSite();
    void buildPages();
    void buildStatusBar();
    void selectPage(int tag);
    // Every page and window re-titles itself from the pack now loaded.
    void retitle();
    // Reads the definition file of the pack now loaded; problems are shown to the user.
    // False when the file was not taken.
    bool loadDefinitions();
    // Before the program's values are replaced (a read, an open, closing): true when
    // nothing would be lost or the user saved or discarded the edits.
    bool mayReplaceValues();
    // File > Open and File > Save: the file dialog, the question before replacing a
    // file, the failure message. True when the file was loaded or saved.
    bool openParamFile();
    bool saveParamFile();
    // Qt's own dialogs and buttons in the language of the pack now loaded.
    void loadQtTranslations();
    // A transfer switches off what would interleave with it.
    void setWindowCommandsEnabled(bool on);

    Prompts& m_prompts;
    QString m_folder;
    Edition m_edition;
    QString m_windowIcon; // found by loadPictures, set with the title
    LangModule m_lang;
    ParamModule m_params;
    SimModule m_sim;

    QMenu* m_menuFile = nullptr;
    QMenu* m_menuConnection = nullptr;
    QMenu* m_menuLanguage = nullptr;
    QMenu* m_menuHelp = nullptr;
    QAction* m_openFile = nullptr;
    QAction* m_saveFile = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_about = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_logo = nullptr; // PictureLogo
    AboutForm* m_aboutForm = nullptr;
    LanguageMenu* m_languageMenu = nullptr;
    QTabBar* m_tabs = nullptr;
    QFrame* m_frameMonitor = nullptr;
    QFrame* m_frameMotor = nullptr;
    QFrame* m_frameSeyir = nullptr;
    MonitorPage* m_monitorPage = nullptr;
    ParamGrid* m_paramGrid = nullptr;
    TravelPage* m_travelPage = nullptr;
    RideCommands* m_ride = nullptr;
    HistoryCommands* m_history = nullptr;
    QLabel* m_portPanel = nullptr;         // StatusBar1 panel 1: the port in use
    QLabel* m_valuesDifferPanel = nullptr; // StatusBar1 panel 2: the blinking warning
    std::unique_ptr<DriveSession> m_session;
    std::unique_ptr<QTranslator> m_qtTranslator;
};
