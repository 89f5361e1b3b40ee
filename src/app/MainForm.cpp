#include "app/MainForm.h"

#include "app/DriveLink.h"
#include "lang/LanguageUi.h"
#include "monitor/MonitorPage.h"
#include "params/ParamFiles.h"
#include "params/ParamGrid.h"
#include "platform/Prompts.h"
#include "sim/TravelPage.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

using LanguageUi::setTag;

namespace {

QFrame* makePage(const QString& name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    return frame;
}

} // namespace

MainForm::MainForm(Prompts& prompts, const QString& folder, std::unique_ptr<LinkPort> port,
                   QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_folder(folder), m_lang(folder, prompts),
      m_params(m_lang, prompts) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(DesignTitle);
    setMinimumSize(800, 600);
    buildMenus(std::move(port));
    buildPages();
    // The model takes its inputs before the window mirrors a value and re-simulates.
    m_params.addListener(&m_sim);
    m_params.addListener(this);
}

MainForm::~MainForm() {
    // The travel page holds references to the modules, which die before the widgets.
    delete m_travelPage;
    m_params.removeListener(this);
    m_params.removeListener(&m_sim);
}

void MainForm::buildMenus(std::unique_ptr<LinkPort> port) {
    QMenuBar* bar = menuBar();
    m_menuFile = bar->addMenu(QStringLiteral("Dosya"));
    m_menuFile->setObjectName(QStringLiteral("MenuFile"));
    m_openFile = m_menuFile->addAction(QStringLiteral("A\u00e7..."));
    m_openFile->setObjectName(QStringLiteral("MI_OpenFile"));
    m_openFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    setTag(m_openFile, 2);
    connect(m_openFile, &QAction::triggered, this,
            [this] { ParamFiles(m_params, m_lang, m_prompts, windowTitle()).OpenParamFile(); });
    m_saveFile = m_menuFile->addAction(QStringLiteral("Kaydet..."));
    m_saveFile->setObjectName(QStringLiteral("MI_SaveFile"));
    m_saveFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    setTag(m_saveFile, 3);
    connect(m_saveFile, &QAction::triggered, this,
            [this] { ParamFiles(m_params, m_lang, m_prompts, windowTitle()).SaveParamFile(); });
    m_exit = m_menuFile->addAction(QStringLiteral("\u00c7\u0131k\u0131\u015f"));
    m_exit->setObjectName(QStringLiteral("MI_Exit"));
    connect(m_exit, &QAction::triggered, this, &QWidget::close);

    m_menuConnection = bar->addMenu(QStringLiteral("Ba\u011flant\u0131"));
    m_menuConnection->setObjectName(QStringLiteral("MenuConnection"));
    DriveLink::Window window;
    window.versionGt826 = [this] { return version_gt_8_26; };
    window.setVersionGt826 = [this](bool on) { version_gt_8_26 = on; };
    window.setReadyToSimulate = [this](bool on) {
        readyToSimulate = on;
        m_travelPage->setReadyToSimulate(on);
    };
    window.setFlashParamsIdentical = [this](bool on) { FlashParamsIdentical = on; };
    window.simulate = [this] { simulate(); };
    window.monitorPageInFront = [this] {
        return m_tabs->tabData(m_tabs->currentIndex()).toInt() == 20;
    };
    window.setPortStatus = [this](const QString& text) { m_panel1->setText(text); };
    window.setDriveText = [this](int index, const QString& text) {
        m_paramGrid->setDriveText(index, text);
    };
    // A transfer lets the event loop run: nothing else may reach the link or the values.
    window.setWindowCommandsEnabled = [this](bool on) {
        m_tabs->setEnabled(on);
        m_openFile->setEnabled(on);
        m_saveFile->setEnabled(on);
        m_menuLanguage->menuAction()->setEnabled(on);
    };
    window.title = [this] { return windowTitle(); };
    m_link = std::make_unique<DriveLink>(m_lang, m_params, m_prompts, std::move(window),
                                         m_menuConnection, this, std::move(port));
    connect(this, &MainForm::catalogueReloaded, m_link.get(), &DriveLink::retitle);

    m_menuLanguage = bar->addMenu(QStringLiteral("Lisan"));
    m_menuLanguage->setObjectName(QStringLiteral("MenuLanguage"));
    m_languageMenu = new LanguageMenu(m_menuLanguage);
    connect(m_languageMenu, &LanguageMenu::chosen, this, &MainForm::switchLanguage);

    m_menuHelp = bar->addMenu(QStringLiteral("Yard\u0131m"));
    m_menuHelp->setObjectName(QStringLiteral("MenuHelp"));
}

void MainForm::buildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_tabs = new QTabBar(central);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setExpanding(false);
    const struct {
        const char16_t* caption;
        int tag;
    } tabs[] = {{u"Monit\u00f6r", 20}, {u"Motor Parametreleri", 21}, {u"Seyir Parametreleri", 22}};
    for (const auto& tab : tabs) {
        const int i = m_tabs->addTab(QString::fromUtf16(tab.caption));
        m_tabs->setTabData(i, QString::number(tab.tag));
    }
    layout->addWidget(m_tabs);
    m_frameMonitor = makePage(QStringLiteral("FrameMonitor"), central);
    MonitorPage::Host monitorHost;
    monitorHost.selectedPort = [this] { return m_link->connectionForm().selectedPort(); };
    monitorHost.flashParamsIdentical = [this] { return FlashParamsIdentical; };
    monitorHost.showDifferWarning = [this](bool shown) {
        m_panel2->setText(shown ? m_lang.LangText(104) : QString());
    };
    m_monitorPage = new MonitorPage(m_link->protocol(), std::move(monitorHost), m_frameMonitor);
    m_frameMonitor->layout()->addWidget(m_monitorPage);
    m_frameMotor = makePage(QStringLiteral("FrameMotor"), central);
    m_frameSeyir = makePage(QStringLiteral("FrameSeyir"), central);
    m_paramGrid = new ParamGrid(m_params, m_lang, m_frameMotor);
    m_frameMotor->layout()->addWidget(m_paramGrid);
    connect(this, &MainForm::catalogueReloaded, m_paramGrid, &ParamGrid::FillParamGrid);
    connect(m_paramGrid, &ParamGrid::valuesDiffer, this, [this] { FlashParamsIdentical = false; });
    m_travelPage = new TravelPage(m_sim, m_params, m_lang, m_prompts, m_frameSeyir);
    m_frameSeyir->layout()->addWidget(m_travelPage);
    connect(this, &MainForm::catalogueReloaded, m_travelPage,
            [this] { m_travelPage->retitle(m_lang); });
    for (QFrame* page : {m_frameMonitor, m_frameMotor, m_frameSeyir})
        layout->addWidget(page, 1);
    setCentralWidget(central);
    connect(m_tabs, &QTabBar::currentChanged, this,
            [this](int i) { selectPage(m_tabs->tabData(i).toInt()); });
    selectPage(20);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    m_panel1 = new QLabel(status);
    m_panel1->setObjectName(QStringLiteral("StatusPanel1"));
    m_panel2 = new QLabel(status);
    m_panel2->setObjectName(QStringLiteral("StatusPanel2"));
    status->addWidget(m_panel1, 1);
    status->addWidget(m_panel2, 2);
    setStatusBar(status);
}

void MainForm::selectPage(int tag) {
    if (tag != 20 && tag != 21 && tag != 22)
        return;
    m_frameMonitor->setVisible(tag == 20);
    m_frameMotor->setVisible(tag == 21);
    m_frameSeyir->setVisible(tag == 22);
    m_link->pageSelected(tag);
    m_travelPage->setInFront(tag == 22);
    if (tag == 22)
        simulate();
}

QString MainForm::editionTitle() const {
    return LOMTIX == 1 ? QStringLiteral("SELVIK-LOMTIX") : QStringLiteral("ORVAN-Quvera");
}

bool MainForm::startUp() {
    version_gt_8_26 = true;
    LOMTIX = LIFTDRIVE_EDITION_LOMTIX ? 1 : 0;
    readyToSimulate = false;
    m_link->load();

    // Text indexes of the menu entries.
    setTag(m_menuFile->menuAction(), 1);
    setTag(m_exit, 4);
    setTag(m_menuConnection->menuAction(), 5);
    setTag(m_menuLanguage->menuAction(), 9);
    setTag(m_menuHelp->menuAction(), 10);
    for (QMenu* menu : {m_menuFile, m_menuConnection, m_menuLanguage, m_menuHelp})
        setTag(menu, LanguageUi::tagOf(menu->menuAction()));

    m_params.setTitle(windowTitle());
    if (!m_lang.FindLanguagePacks(windowTitle())) {
        close();
        return false;
    }
    m_languageMenu->setPacks(m_lang);
    m_lang.LoadLanguagePack(m_lang.packs().first().fileName, windowTitle());
    m_languageMenu->tick(0);

    m_params.LoadParamDefinitions(m_folder);
    LanguageUi::ApplyLanguage(m_lang);
    emit catalogueReloaded();

    m_travelPage->setUp();
    m_params.LoadDefaultParameters();
    m_travelPage->selectStopMode(1);

    setWindowTitle(editionTitle());
    m_params.setTitle(windowTitle());
    m_params.driveVersion = 100000.0f;
    m_monitorPage->start();
    return true;
}

void MainForm::switchLanguage(int k) {
    const QString file = m_languageMenu->packFile(k);
    if (file.isEmpty())
        return;
    const int before = m_languageMenu->ticked();
    if (m_lang.LoadLanguagePack(file, windowTitle()).isEmpty()) {
        // Not a pack (any more): keep the language in use.
        m_languageMenu->tick(before);
        return;
    }
    LanguageUi::ApplyLanguage(m_lang);
    m_params.LoadParamDefinitions(m_folder);
    emit catalogueReloaded();
    m_languageMenu->tick(k);
}

void MainForm::parameterStored(int index, const ParamDef& def, float value) {
    m_paramGrid->showStoredValue(index, value);
    if (def.id == QStringLiteral("V3"))
        scaleRed = value * 1050.0f;
    if (readyToSimulate)
        simulate();
}

void MainForm::ColorizeGrid(int row) {
    m_paramGrid->ColorizeGrid(row);
}

void MainForm::simulate() {
    m_travelPage->setReadyToSimulate(readyToSimulate);
    m_travelPage->simulate();
}
