#include "app/MainForm.h"

#include "app/AboutForm.h"
#include "app/Brand.h"
#include "app/ReportMenu.h"
#include "app/RideCommands.h"
#include "lang/FixedTexts.h"
#include "lang/LanguageUi.h"
#include "monitor/MonitorPage.h"
#include "params/ParamFiles.h"
#include "params/ParamGrid.h"
#include "params/ParamGridFilter.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "sim/TravelPage.h"
#include "transfer/HistoryForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenuBar>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QTranslator>
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
                   Edition edition)
    : m_prompts(prompts), m_folder(folder), m_edition(edition), m_lang(folder),
      m_params(m_lang, prompts) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(DesignTitle);
    setMinimumSize(800, 600);
    // The grid shows what the session reads, so it comes first.
    m_frameMotor = makePage(QStringLiteral("FrameMotor"), this);
    m_paramGrid = new ParamGrid(m_params, m_frameMotor);
    m_session = std::make_unique<DriveSession>(m_lang, m_params, m_prompts, *m_paramGrid, this,
                                               std::move(port));
    m_session->setTitle(windowTitle());
    m_session->setReadGuard([this] { return mayReplaceValues(); });
    buildMenus();
    buildPages();
    m_ride = new RideCommands(*m_monitorPage, *m_travelPage, m_params, m_lang, m_prompts, this);
    m_ride->addCommands(m_menuFile, m_exit);
    buildStatusBar();
    buildKeyboard();
    // The model takes its inputs before the window mirrors a value and re-simulates.
    m_params.addListener(&m_sim);
    m_params.addListener(this);
}

MainForm::~MainForm() {
    m_params.removeListener(this);
    m_params.removeListener(&m_sim);
    // Pages, commands and dialogs hold references to the session and the modules, which as
    // members would die before the window's children: they go first, then the session
    // while the grid it fills is gone and the modules it refers to still live.
    delete m_ride;
    delete m_history;
    delete m_aboutForm;
    delete centralWidget();
    m_session.reset();
}

void MainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    m_menuFile = bar->addMenu(QStringLiteral("Dosya"));
    m_menuFile->setObjectName(QStringLiteral("MenuFile"));
    m_openFile = m_menuFile->addAction(QStringLiteral("A\u00e7..."));
    m_openFile->setObjectName(QStringLiteral("MI_OpenFile"));
    m_openFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    setTag(m_openFile, TextId::MenuOpen);
    connect(m_openFile, &QAction::triggered, this, [this] {
        if (mayReplaceValues())
            openParamFile();
    });
    m_saveFile = m_menuFile->addAction(QStringLiteral("Kaydet..."));
    m_saveFile->setObjectName(QStringLiteral("MI_SaveFile"));
    m_saveFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    setTag(m_saveFile, TextId::MenuSave);
    connect(m_saveFile, &QAction::triggered, this, [this] { saveParamFile(); });
    m_exit = m_menuFile->addAction(QStringLiteral("\u00c7\u0131k\u0131\u015f"));
    m_exit->setObjectName(QStringLiteral("MI_Exit"));
    connect(m_exit, &QAction::triggered, this, &QWidget::close);
    // History and comparison of archived sets; switched off during a transfer.
    m_history =
        new HistoryCommands(m_session->archived().history(), m_params, m_lang, m_prompts, this);
    m_history->addCommands(m_menuFile, m_exit);
    ReportMenu::add(*this, m_menuFile, m_exit);
    connect(m_session.get(), &DriveSession::transferCommandsEnabled, m_history,
            &HistoryCommands::setEnabled);

    m_menuConnection = bar->addMenu(QStringLiteral("Ba\u011flant\u0131"));
    m_menuConnection->setObjectName(QStringLiteral("MenuConnection"));
    m_session->addCommands(m_menuConnection);
    connect(m_session.get(), &DriveSession::transferCommandsEnabled, this,
            &MainForm::setWindowCommandsEnabled);
    connect(m_session.get(), &DriveSession::simulateRequested, this, &MainForm::simulate);

    m_menuLanguage = bar->addMenu(QStringLiteral("Lisan"));
    m_menuLanguage->setObjectName(QStringLiteral("MenuLanguage"));
    m_languageMenu = new LanguageMenu(m_menuLanguage);
    connect(m_languageMenu, &LanguageMenu::chosen, this, &MainForm::switchLanguage);

    m_menuHelp = bar->addMenu(QStringLiteral("Yard\u0131m"));
    m_menuHelp->setObjectName(QStringLiteral("MenuHelp"));
    m_about = m_menuHelp->addAction(QStringLiteral("Hakk\u0131nda"));
    m_about->setObjectName(QStringLiteral("MI_About"));
    m_about->setShortcut(QKeySequence(Qt::Key_F1));
    setTag(m_about, TextId::MenuAbout);
    m_aboutForm = new AboutForm(m_lang, m_folder, m_edition, this);
    connect(m_aboutForm, &AboutForm::productPictureClicked, this, &MainForm::openMakerSite);
    connect(m_about, &QAction::triggered, m_aboutForm, &QDialog::exec);
    m_session->addHelpCommands(m_menuHelp);
    buildToolbar();
}

void MainForm::buildKeyboard() {
    // F10 to the menu bar, as on the systems technicians know.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        menuBar()->setFocus(Qt::ShortcutFocusReason);
        menuBar()->setActiveAction(m_menuFile->menuAction());
    });
    // Between the pages; a transfer switches the tabs off, and the keys with them.
    auto step = [this](int by) {
        if (m_tabs->isEnabled())
            m_tabs->setCurrentIndex((m_tabs->currentIndex() + by + m_tabs->count()) %
                                    m_tabs->count());
    };
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                    QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(-1); });
}

void MainForm::buildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    // Buttons by index; 3 and 7 are separators.
    QAction* const buttons[] = {m_openFile,
                                m_saveFile,
                                nullptr,
                                m_session->connectionAction(),
                                m_session->readAction(),
                                m_session->writeAction(),
                                nullptr};
    for (int i = 0; i < 7; ++i) {
        QAction* action = buttons[i] ? buttons[i] : m_toolbar->addSeparator();
        if (buttons[i])
            m_toolbar->addAction(action);
        action->setProperty("buttonIndex", i + 1);
    }
    auto* spacer = new QWidget(m_toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer);
    m_logo = new QLabel(m_toolbar);
    m_logo->setObjectName(QStringLiteral("PictureLogo"));
    m_logo->setCursor(Qt::PointingHandCursor);
    m_logo->installEventFilter(this);
    m_toolbar->addWidget(m_logo);
}

QStringList MainForm::loadPictures() {
    const Edition edition = m_edition;
    QStringList missing;
    auto find = [&](const QString& relative) {
        const QString path = ProgramFolder::findIgnoringCase(m_folder, relative);
        if (path.isEmpty())
            missing << relative;
        return path;
    };
    const struct {
        QAction* action;
        const char* file;
    } images[] = {{m_openFile, "icons/open.ico"},
                  {m_saveFile, "icons/floppy.ico"},
                  {m_session->connectionAction(), "icons/connection.ico"},
                  {m_session->readAction(), "icons/chip_out.ico"},
                  {m_session->writeAction(), "icons/chip_in.ico"}};
    for (const auto& image : images) {
        const QString path = find(QString::fromLatin1(image.file));
        image.action->setIcon(path.isEmpty() ? QIcon() : QIcon(path));
    }
    const QString logo = find(Brand::logo(edition));
    m_logo->setPixmap(logo.isEmpty() ? QPixmap() : QPixmap(logo));
    // Beside the program first; a copy in the working directory still counts.
    m_windowIcon = ProgramFolder::findIgnoringCase(m_folder, Brand::windowIcon(edition));
    if (m_windowIcon.isEmpty())
        m_windowIcon =
            ProgramFolder::findIgnoringCase(QDir::currentPath(), Brand::windowIcon(edition));
    if (m_windowIcon.isEmpty())
        missing << Brand::windowIcon(edition);
    find(Brand::productPicture(edition)); // shown by the About dialog
    return missing;
}

void MainForm::openMakerSite() {
    if (!QFileInfo(QDir(m_folder).filePath(Brand::WebLinkMarker)).isFile())
        return;
    m_prompts.openUrl(Brand::webSite(m_edition)); // failures are ignored
}

void MainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!isMinimized())
        simulate();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_logo && event->type() == QEvent::MouseButtonRelease)
        openMakerSite();
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::setWindowCommandsEnabled(bool on) {
    m_tabs->setEnabled(on);
    m_openFile->setEnabled(on);
    m_saveFile->setEnabled(on);
    m_menuLanguage->menuAction()->setEnabled(on);
}

void MainForm::buildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_tabs = new QTabBar(central);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setExpanding(false);
    const struct {
        const char16_t* caption;
        TextId tag;
    } tabs[] = {{u"Monit\u00f6r", TextId::TabMonitor},
                {u"Motor Parametreleri", TextId::TabMotorParams},
                {u"Seyir Parametreleri", TextId::TabTravelParams}};
    for (const auto& tab : tabs) {
        const int i = m_tabs->addTab(QString::fromUtf16(tab.caption));
        m_tabs->setTabData(i, QString::number(int(tab.tag)));
    }
    layout->addWidget(m_tabs);

    m_frameMonitor = makePage(QStringLiteral("FrameMonitor"), central);
    // At the smallest window sizes the chart, the travels, the values and the options do
    // not fit one above the other: the page scrolls down rather than squeezing them.
    auto* monitorScroll = new QScrollArea(m_frameMonitor);
    monitorScroll->setObjectName(QStringLiteral("MonitorScroll"));
    monitorScroll->setFrameShape(QFrame::NoFrame);
    monitorScroll->setWidgetResizable(true);
    monitorScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_monitorPage = new MonitorPage(m_session->protocol(), m_params, m_prompts, m_folder);
    monitorScroll->setWidget(m_monitorPage);
    m_frameMonitor->layout()->addWidget(monitorScroll);
    connect(m_session.get(), &DriveSession::selectedPortChanged, m_monitorPage,
            &MonitorPage::setSelectedPort);
    // The warning follows the grid's comparison, whatever a transfer concluded.
    m_monitorPage->setValuesIdentical(true);
    connect(m_paramGrid, &ParamGrid::differenceChanged, m_monitorPage,
            [page = m_monitorPage](bool differs) { page->setValuesIdentical(!differs); });
    connect(m_monitorPage, &MonitorPage::differWarningShown, this, [this](bool shown) {
        m_valuesDifferPanel->setText(shown ? m_lang.LangText(TextId::ValuesDiffer) : QString());
    });

    m_frameMotor->setParent(central);
    m_frameMotor->layout()->addWidget(new ParamGridFilter(*m_paramGrid, m_frameMotor));
    m_frameMotor->layout()->addWidget(m_paramGrid);
    m_session->setFlashParamsIdentical(true);
    connect(
        m_paramGrid, &ParamGrid::differenceChanged, m_session.get(),
        [session = m_session.get()](bool differs) { session->setFlashParamsIdentical(!differs); });
    // After a lost line the drive may have been changed or replaced meanwhile.
    connect(&m_session->port(), &LinkPort::lineLostNotice, m_paramGrid,
            [grid = m_paramGrid, &lang = m_lang] {
                const QString since =
                    QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
                grid->markDriveStale(lang.LangText(TextId::DriveValuesStale).arg(since));
            });

    // The travel page is the page frame "FrameSeyir" itself.
    m_travelPage = new TravelPage(m_sim, m_params, m_lang, m_prompts, central);
    m_frameSeyir = m_travelPage;
    m_travelPage->setReadyToSimulate(m_session->readyToSimulate());
    connect(m_session.get(), &DriveSession::readyToSimulateChanged, m_travelPage,
            &TravelPage::setReadyToSimulate);

    for (QFrame* page : {m_frameMonitor, m_frameMotor, m_frameSeyir})
        layout->addWidget(page, 1);
    setCentralWidget(central);
    connect(m_tabs, &QTabBar::currentChanged, this,
            [this](int i) { selectPage(m_tabs->tabData(i).toInt()); });
    selectPage(int(DriveSession::Page::Monitor));
}

void MainForm::buildStatusBar() {
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    m_portPanel = new QLabel(status);
    m_portPanel->setObjectName(QStringLiteral("StatusPanel1"));
    m_valuesDifferPanel = new QLabel(status);
    m_valuesDifferPanel->setObjectName(QStringLiteral("StatusPanel2"));
    status->addWidget(m_portPanel, 1);
    status->addWidget(m_valuesDifferPanel, 2);
    setStatusBar(status);
    connect(m_session.get(), &DriveSession::portStatusChanged, m_portPanel, &QLabel::setText);
    m_session->showLinkStatsOn(m_portPanel);
}

void MainForm::selectPage(int tag) {
    using Page = DriveSession::Page;
    if (tag != int(Page::Monitor) && tag != int(Page::Motor) && tag != int(Page::Travel))
        return;
    m_frameMonitor->setVisible(tag == int(Page::Monitor));
    m_frameMotor->setVisible(tag == int(Page::Motor));
    m_frameSeyir->setVisible(tag == int(Page::Travel));
    m_session->pageSelected(Page(tag));
    m_travelPage->setInFront(tag == int(Page::Travel));
    if (tag == int(Page::Travel))
        simulate();
}

QString MainForm::editionTitle() const {
    return Brand::title(m_edition);
}

void MainForm::retitle() {
    LanguageUi::ApplyLanguage(m_lang);
    m_paramGrid->retitle(m_lang);
    findChild<ParamGridFilter*>()->retitle(m_lang);
    m_travelPage->retitle(m_lang);
    m_monitorPage->retitle(m_lang);
    m_ride->retitle(m_lang);
    m_session->retitle();
    // Alt + the first letter opens a menu; the pack's titles carry no marks of their own.
    for (QMenu* menu : {m_menuFile, m_menuConnection, m_menuLanguage, m_menuHelp})
        if (!menu->title().contains(u'&'))
            menu->setTitle(u'&' + menu->title());
    // The toolbar's tool tips are the texts of the menu entries it shows.
    for (QAction* action : m_toolbar->actions()) {
        const int tag = LanguageUi::tagOf(action);
        if (tag > 0)
            action->setToolTip(m_lang.LangText(tag));
    }
}

bool MainForm::loadDefinitions() {
    const ParamModule::DefinitionLoad load = m_params.LoadParamDefinitions(m_folder);
    const QString problem = load.problem(m_lang);
    if (!load)
        m_prompts.critical(windowTitle(), problem);
    else if (!problem.isEmpty())
        m_prompts.warning(windowTitle(), problem);
    m_session->setCatalogueReady(m_params.catalogueComplete());
    return bool(load);
}

bool MainForm::hasUnsavedEdits() const {
    return m_params.changedSinceKept() && !m_paramGrid->matchesDrive();
}

bool MainForm::mayReplaceValues() {
    if (!hasUnsavedEdits())
        return true;
    switch (m_prompts.askSave(
        windowTitle(), m_lang.LangText(TextId::UnsavedEdits), m_lang.LangText(TextId::SaveChoice),
        m_lang.LangText(TextId::DiscardChoice), m_lang.LangText(TextId::Cancel))) {
    case Prompts::Choice::Save:
        return saveParamFile();
    case Prompts::Choice::Discard:
        return true;
    case Prompts::Choice::Cancel:
        break;
    }
    return false;
}

bool MainForm::openParamFile() {
    const QString path =
        m_prompts.openFileName(m_lang.LangText(TextId::MenuOpen), ParamFiles::Pattern);
    if (path.isEmpty())
        return false;
    if (ParamFiles(m_params).load(path) == ParamFiles::Result::Done)
        return true;
    m_prompts.critical(windowTitle(), ParamFiles::failureText(path));
    return false;
}

bool MainForm::saveParamFile() {
    QString path = m_prompts.saveFileName(m_lang.LangText(TextId::MenuSave), ParamFiles::Pattern);
    if (path.isEmpty())
        return false;
    // A name typed without an extension gets ".quv", so the open dialog lists the file.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".quv");
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() &&
        !m_prompts.confirm(windowTitle(),
                           m_lang.LangText(TextId::FileExists)
                               .arg(QDir::toNativeSeparators(info.absoluteFilePath()))))
        return false;
    if (ParamFiles(m_params).save(path) == ParamFiles::Result::Done)
        return true;
    m_prompts.critical(windowTitle(), ParamFiles::failureText(path));
    return false;
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (mayReplaceValues())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

void MainForm::loadQtTranslations() {
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator.get());
    m_qtTranslator = std::make_unique<QTranslator>();
    const QLocale locale(m_lang.LangText(TextId::QtLocale));
    if (m_qtTranslator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(m_qtTranslator.get());
}

bool MainForm::startUp() {
    // 1-2: the session's flags, then the connection dialog's load step (the port scan).
    m_session->setVersionGt826(true);
    // The program's own values are a complete set from the start (the defaults, then
    // a file or a read): the travel page simulates them without waiting for a drive.
    m_session->setReadyToSimulate(true);
    m_session->load();

    // 3-4: text indexes of the menu entries; read and write start disabled.
    setTag(m_menuFile->menuAction(), TextId::MenuFile);
    setTag(m_exit, TextId::MenuExit);
    setTag(m_menuConnection->menuAction(), TextId::MenuConnection);
    setTag(m_menuLanguage->menuAction(), TextId::MenuLanguage);
    setTag(m_menuHelp->menuAction(), TextId::MenuHelp);
    for (QMenu* menu : {m_menuFile, m_menuConnection, m_menuLanguage, m_menuHelp})
        setTag(menu, LanguageUi::tagOf(menu->menuAction()));
    m_session->readAction()->setEnabled(false);
    m_session->writeAction()->setEnabled(false);

    // 5-6: toolbar images and the logo.
    const QStringList missingPictures = loadPictures();

    // 7-8: the language packs, the first one loaded and ticked.
    m_params.setTitle(windowTitle());
    if (!m_lang.FindLanguagePacks()) {
        m_prompts.critical(windowTitle(), FixedTexts::noLanguagePack());
        close();
        return false;
    }
    m_languageMenu->setPacks(m_lang);
    const LangModule::PackLoad pack = m_lang.LoadLanguagePack(m_lang.packs().first().fileName);
    if (!pack.isPack())
        m_prompts.warning(windowTitle(), m_lang.LangText(TextId::PackUnusable).arg(pack.fileName));
    else if (pack.firstBadLine != 0)
        m_prompts.warning(windowTitle(), pack.problem(m_lang));
    // Start-up goes on without a missing picture; the user hears of them once.
    if (!missingPictures.isEmpty())
        m_prompts.warning(windowTitle(),
                          m_lang.LangText(TextId::MissingPictures)
                              .arg(QDir::toNativeSeparators(missingPictures.join(u", "))));
    m_languageMenu->tick(0);

    // 10-12: the catalogue, the re-titling, the grid rows.
    loadDefinitions();
    loadQtTranslations();
    retitle();
    m_paramGrid->FillParamGrid();

    // 13-15: the monitor page in front (its surfaces and indicators are set up with it).
    m_tabs->setCurrentIndex(0);
    selectPage(int(DriveSession::Page::Monitor));

    // 16-17: the travel controls and the default signal timeline, then the factory set.
    m_travelPage->setUp();
    m_params.LoadDefaultParameters();
    m_params.markKept();
    // 18: the monitor tick.
    m_monitorPage->start();
    // 19: the stop mode, through its handler as a user's choice.
    m_travelPage->selectStopMode(1);

    // 22-23: the edition's title and icon. Every catalogue parameter counts as present
    // until a read tells the drive's version: the model starts so.
    setWindowTitle(editionTitle());
    if (!m_windowIcon.isEmpty())
        setWindowIcon(QIcon(m_windowIcon));
    m_params.setTitle(windowTitle());
    m_session->setTitle(windowTitle());
    return true;
}

void MainForm::switchLanguage(int k) {
    const QString file = m_languageMenu->packFile(k);
    if (file.isEmpty())
        return;
    const int before = m_languageMenu->ticked();
    const LangModule::PackLoad pack = m_lang.LoadLanguagePack(file);
    if (!pack.isPack()) {
        // Not a pack (any more): keep the language in use.
        m_languageMenu->tick(before);
        return;
    }
    if (pack.firstBadLine != 0)
        m_prompts.warning(windowTitle(), pack.problem(m_lang));
    if (!loadDefinitions() && m_params.catalogueComplete()) {
        // Its definition file was refused: the language in use stays, with the
        // catalogue that matches it.
        const QString previous = m_languageMenu->packFile(before);
        if (!previous.isEmpty())
            m_lang.LoadLanguagePack(previous);
        m_languageMenu->tick(before);
        return;
    }
    loadQtTranslations();
    retitle();
    m_paramGrid->FillParamGrid();
    m_languageMenu->tick(k);
}

void MainForm::parameterStored(int index, const ParamDef& def, float value) {
    m_paramGrid->showStoredValue(index, value);
    // The monitor chart's full scale follows the top speed.
    if (def.id == QStringLiteral("V3"))
        m_monitorPage->setFullScale(value * 1050.0f);
    if (m_session->readyToSimulate())
        simulate();
}

void MainForm::simulate() {
    m_travelPage->simulate();
}
