#include "MainWindow.h"

#include "AboutWindow.h"
#include "AppInfo.h"
#include "AppSettings.h"
#include "PageHooks.h"
#include "PasswordDialogs.h"
#include "PlacementStore.h"
#include "PreferencesPage.h"
#include "QtColour.h"
#include "QtDateTime.h"
#include "StimulusProfileFile.h"
#include "TSimpleFileStream.h"
#include "UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <random>

namespace {
const QString mainWindowClass = QStringLiteral("TformPalettorMain");
constexpr int firstPageHelpContext = 1001;
constexpr int licenceHelpContext = 2000;
// Names listed in the damaged-files report before it says how many more.
constexpr int damagedNamesShown = 15;

// Shows the busy pointer for a scope and always restores the previous one.
class BusyCursor {
public:
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor) { QApplication::setOverrideCursor(shape); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

LocalDateTime localNow() { return ToLocalDateTime(QDateTime::currentDateTime()); }

// Runs one start-up step; a failure of one step must not stop the others.
template <typename Step>
void runStep(Step step)
{
    try {
        step();
    } catch (const std::exception &) {
    }
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

TformPalettorMain::TformPalettorMain(const QString &root, QWidget *parent)
    : QMainWindow(parent), rootFolder(withSlash(QDir::fromNativeSeparators(root))),
      pages(std::make_unique<PageHooks>(*this))
{
    setObjectName(mainWindowClass);
    setWindowTitle(AppInfo::MainWindowCaption);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(9);
    setFont(font);
    OpenUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("TeSPageControl"));
    PageControl->setTabPosition(QTabWidget::West);
    PageControl->setDocumentMode(false);
    TeTabSheet1 = pages->CreateTestingPage(PageControl);
    TeTabSheet1->setObjectName(QStringLiteral("TeTabSheet1"));
    TeTabSheet2 = pages->CreateResultsPage(PageControl);
    TeTabSheet2->setObjectName(QStringLiteral("TeTabSheet2"));
    PrefsPage = new PreferencesPage(PageControl);
    TeTabSheet3 = PrefsPage;
    TeTabSheet3->setObjectName(QStringLiteral("TeTabSheet3"));
    PageControl->addTab(TeTabSheet1, QStringLiteral("Тестирование"));
    PageControl->addTab(TeTabSheet2, QStringLiteral("Результаты"));
    PageControl->addTab(TeTabSheet3, QStringLiteral("Настройка"));
    setCentralWidget(PageControl);
    connect(PageControl, &QTabWidget::currentChanged, this, &TformPalettorMain::PageChanged);

    CreateActions();
    CreateMenusAndToolBar();

    CreateStatusBar();
    ConnectPreferencesPage();
    PrefsPage->FillThemes(ThemeEngine::ThemeFilesIn(ThemesFolder()));

    // Until the mode is decided only the testing page is there, so nothing
    // of the administrator's is ever shown without the password.
    PageControl->setTabVisible(ResultsPageIndex, false);
    PageControl->setTabVisible(PreferencesPageIndex, false);
    submenuResults->menuAction()->setVisible(false);

    resize(861, 709 + menuBar()->sizeHint().height() + TestingToolBar->sizeHint().height()
                   + statusBar()->sizeHint().height());
}

TformPalettorMain::~TformPalettorMain()
{
    if (archiveTimer)
        archiveTimer->stop();
    // The pages may refer to the sessions; they go first.
    delete takeCentralWidget();
    StimulusSetList = {};
    KnowledgeBase.Clear();
    Sessions.Clear();
}

QString TformPalettorMain::DataFolder() const { return rootFolder + QStringLiteral("Data"); }
QString TformPalettorMain::HelpFolder() const { return rootFolder + QStringLiteral("Help/"); }
QString TformPalettorMain::HelpFile() const { return HelpFolder() + AppInfo::HelpFileName; }
QString TformPalettorMain::ThemesFolder() const { return rootFolder + QStringLiteral("Themes/"); }

void TformPalettorMain::CreateActions()
{
    auto make = [this](QAction *&action, const char *name, const QString &caption, const QKeySequence &key,
                       bool hint) {
        action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            action->setShortcut(key);
        if (hint) {
            action->setToolTip(caption);
            action->setStatusTip(caption);
        }
        addAction(action);
    };
    make(actStartTesting, "actStartTesting", QStringLiteral("Начать тестирование"), QKeySequence(Qt::Key_F5), true);
    make(actFileAuthen, "actFileAuthen", QStringLiteral("Авторизоваться"), {}, false);
    make(actFileExit, "actFileExit", QStringLiteral("Выход"), QKeySequence(Qt::Key_F10), false);
    // The results commands are the results page's own actions, so a menu
    // item and the page's buttons are one command with one shortcut.
    auto adopt = [this](QAction *&action, const char *name) {
        action = pages->ResultsAction(QString::fromLatin1(name));
        if (!action) {
            action = new QAction(this);
            action->setObjectName(QString::fromLatin1(name));
            action->setEnabled(false);
        }
    };
    adopt(actResultsCopy, "actResultsCopy");
    adopt(actResultsExportMSWord, "actResultsExportMSWord");
    adopt(actResultsSave, "actResultsSave");
    adopt(actResultsPreview, "actResultsPreview");
    adopt(actResultsPrint, "actResultsPrint");
    adopt(actResultsSendEMail, "actResultsSendEMail");
    adopt(actResultsDelete, "actResultsDelete");
    adopt(actResultsFilter, "actResultsFilter");
    adopt(actResultsShowAll, "actResultsShowAll");
    make(actHelpContents, "actHelpContents", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1), true);
    make(actHelpAbout, "actHelpAbout", QStringLiteral("О программе..."), {}, false);
    make(actHelpLicenseAgreement, "actHelpLicenseAgreement", QStringLiteral("Лицензионное соглашение"), {}, false);
    make(actHelpWWW, "actHelpWWW", QStringLiteral("Интернет-сайт разработчика"), {}, false);
    make(actHelpEMail, "actHelpEMail", QStringLiteral("Письмо разработчику"), {}, false);
    make(EditCopy1, "EditCopy1", QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C), false);

    // Kept, with their shortcuts, but never offered.
    for (QAction *hidden : {actResultsCopy, actResultsPreview, actResultsPrint, actResultsSendEMail})
        hidden->setVisible(false);
    actFileAuthen->setEnabled(false);

    connect(actStartTesting, &QAction::triggered, this, [this] {
        if (!ArchiveLoading())
            pages->StartOrStopTest();
    });
    connect(actFileAuthen, &QAction::triggered, this, &TformPalettorMain::Authorise);
    connect(actFileExit, &QAction::triggered, this, &QWidget::close);
    connect(actHelpContents, &QAction::triggered, this, [this] { ShowHelpTopic(helpContext); });
    connect(actHelpLicenseAgreement, &QAction::triggered, this, [this] { ShowHelpTopic(licenceHelpContext); });
    connect(actHelpAbout, &QAction::triggered, this, [this] {
        TformAbout about(this);
        about.exec();
    });
    connect(actHelpWWW, &QAction::triggered, this, [this] { OpenUrl(QUrl(AppInfo::DeveloperWebSite)); });
    connect(actHelpEMail, &QAction::triggered, this,
            [this] { OpenUrl(QUrl(QStringLiteral("mailto:") + AppInfo::SupportEMail)); });
    connect(EditCopy1, &QAction::triggered, this, &TformPalettorMain::CopySelection);

    // The result memo's pop-up menu holds the single copy command.
    if (QPlainTextEdit *memo = pages->ResultMemo()) {
        auto *copyResult = new QAction(QStringLiteral("Копировать"), memo);
        copyResult->setObjectName(QStringLiteral("memoTestResultCopy"));
        connect(copyResult, &QAction::triggered, memo, [memo] {
            memo->setFocus();
            memo->copy();
        });
        memo->setContextMenuPolicy(Qt::ActionsContextMenu);
        memo->addAction(copyResult);
    }
}

void TformPalettorMain::CreateMenusAndToolBar()
{
    submenuFile = menuBar()->addMenu(QStringLiteral("Файл"));
    submenuFile->addAction(actFileAuthen);
    submenuFile->addSeparator();
    submenuFile->addAction(actFileExit);

    submenuTesting = menuBar()->addMenu(QStringLiteral("Тестирование"));
    submenuTesting->addAction(actStartTesting);

    submenuResults = menuBar()->addMenu(QStringLiteral("Результаты"));
    submenuResults->setObjectName(QStringLiteral("submenuResults"));
    submenuResults->addAction(actResultsCopy);
    submenuResults->addAction(actResultsExportMSWord);
    submenuResults->addAction(actResultsSave);
    submenuResults->addAction(actResultsSendEMail);
    submenuResults->addSeparator();
    submenuResults->addAction(actResultsDelete);

    submenuHelp = menuBar()->addMenu(QStringLiteral("Помощь"));
    submenuHelp->addAction(actHelpContents);
    submenuHelp->addSeparator();
    submenuHelp->addAction(actHelpAbout);
    submenuHelp->addAction(actHelpLicenseAgreement);
    submenuHelp->addSeparator();
    submenuHelp->addAction(actHelpWWW);
    submenuHelp->addAction(actHelpEMail);

    actStartTesting->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    actHelpContents->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));

    TestingToolBar = addToolBar(QStringLiteral("Тестирование"));
    TestingToolBar->setObjectName(QStringLiteral("TestingToolBar"));
    TestingToolBar->setMovable(false);
    TestingToolBar->setFloatable(false);
    TestingToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    TestingToolBar->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    TestingToolBar->addAction(actStartTesting);
    TestingToolBar->addAction(actHelpContents);
    // At least their designed widths; wider where the font needs it, so
    // "Прекратить тестирование" is never cut short.
    if (auto *button = qobject_cast<QToolButton *>(TestingToolBar->widgetForAction(actStartTesting))) {
        const QString longest = QStringLiteral("Прекратить тестирование");
        const int needed = button->fontMetrics().horizontalAdvance(longest) + button->iconSize().width() + 24;
        button->setFixedWidth(std::max(180, needed));
    }
    if (auto *button = qobject_cast<QToolButton *>(TestingToolBar->widgetForAction(actHelpContents)))
        button->setFixedWidth(96);
}

void TformPalettorMain::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const std::array<int, 3> widths{120, 110, 130};
    for (std::size_t i = 0; i < StatusPanel.size(); ++i) {
        StatusPanel[i] = new QLabel(bar);
        StatusPanel[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // At least the classic width; a longer text (a larger font, a long
        // date format) widens its panel rather than being cut.
        StatusPanel[i]->setMinimumWidth(widths[i]);
        StatusPanel[i]->setFrameShape(QFrame::StyledPanel);
        StatusPanel[i]->setFrameShadow(QFrame::Sunken);
        bar->addWidget(StatusPanel[i]);
    }
    ProgressBar1 = new QProgressBar(bar);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setFixedWidth(200);
    ProgressBar1->setMaximumHeight(16);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    bar->addWidget(ProgressBar1);
    StatusLastPanel = new QLabel(bar);
    StatusLastPanel->setObjectName(QStringLiteral("StatusPanel4"));
    bar->addWidget(StatusLastPanel, 1);
}

void TformPalettorMain::ConnectPreferencesPage()
{
    PreferencesPage *page = PrefsPage;
    connect(page->cbTheme, &QComboBox::currentIndexChanged, this, &TformPalettorMain::ThemeChosen);
    connect(page->teTrackBar1, &QSlider::valueChanged, this, [this](int value) {
        Theme.SetBrightness(value);
        Theme.Apply();
        CollectPreferences();
    });
    connect(page->teTrackBar2, &QSlider::valueChanged, this, [this](int value) {
        Theme.SetSaturation(value);
        Theme.Apply();
        CollectPreferences();
    });
    connect(page->checkProtectAdminMode, &QCheckBox::toggled, this, [this](bool checked) {
        PrefsPage->btnSetAdminPassword->setEnabled(checked);
        CollectPreferences();
    });
    connect(page->btnSetAdminPassword, &QPushButton::clicked, this, &TformPalettorMain::SetAdminPassword);
    connect(page, &PreferencesPage::UserGroupsLeft, this, [this] {
        if (!PreferencesReady)
            return;
        CollectPreferences();
        ApplyUserGroups();
    });
    for (QCheckBox *box : page->checkUserField) {
        connect(box, &QCheckBox::toggled, this, [this] {
            CollectPreferences();
            pages->UpdateRequiredMarks(Prefs.UserField);
        });
    }
    connect(page->cbShowResultType, &QComboBox::currentIndexChanged, this, [this] {
        CollectPreferences();
        pages->SetShowResultType(Prefs.ShowResultType);
    });
    for (ColourTable table : {ColourTable::Achromatic, ColourTable::EightColour, ColourTable::Main, ColourTable::Blue,
                              ColourTable::Green, ColourTable::Yellow, ColourTable::Red})
        connect(page->Panel(table), &ColourSwatchPanel::SwatchClicked, this, &TformPalettorMain::EditColour);
}

// ---- Preferences ----

bool TformPalettorMain::LoadPreferencesFromStore()
{
    BusyCursor busy;
    auto settings = AppSettings::Open();
    if (settings->status() != QSettings::NoError)
        return true; // the defaults stay
    const LoadedPreferences loaded = LoadPreferences(*settings);
    Prefs = loaded.Prefs;
    FilterGroupIndex = loaded.Remembered.FilterGroup;
    ActiveDataPage = loaded.Remembered.ActiveDataPage;
    return true;
}

void TformPalettorMain::ApplyPreferences()
{
    PreferencesPage *page = PrefsPage;
    // Theme: a theme file that cannot be read leaves the light built-in theme.
    if (Prefs.SetThemeByIndex || !Theme.LoadThemeFile(Prefs.ThemeFile))
        Theme.SetThemeByIndex(Prefs.ThemeIndex);
    Theme.SetBrightness(Prefs.ThemeBrightness);
    Theme.SetSaturation(Prefs.ThemeHue);
    Theme.Apply();
    {
        const QSignalBlocker b1(page->teTrackBar1);
        const QSignalBlocker b2(page->teTrackBar2);
        const QSignalBlocker b3(page->cbTheme);
        page->teTrackBar1->setValue(Theme.Brightness());
        page->teTrackBar2->setValue(Theme.Saturation());
        page->labelBrightnessValue->setNum(Theme.Brightness());
        page->labelHueValue->setNum(Theme.Saturation());
        int item = Theme.Index();
        if (Theme.FromFile()) {
            item = page->ThemeFileItem(Theme.File());
            if (item < 0)
                item = page->AddThemeFileItem(Theme.File());
        }
        page->cbTheme->setCurrentIndex(item);
    }

    // Protection: a box checked without a password would lock the
    // administrator out at the next start, so it shows as unchecked.
    {
        const QSignalBlocker block(page->checkProtectAdminMode);
        page->checkProtectAdminMode->setChecked(ProtectionInEffect(Prefs));
    }
    page->btnSetAdminPassword->setEnabled(page->checkProtectAdminMode->isChecked());
    UpdateAuthoriseAction();

    {
        const QSignalBlocker block(page->memoUserGroups);
        page->memoUserGroups->setPlainText(UserGroupLines(Prefs.UserGroups).join(QLatin1Char('\n')));
    }
    pages->SetUserGroups(UserGroupLines(Prefs.UserGroups));
    pages->SetFilterGroups(UserGroupLines(Prefs.UserGroups), FilterGroupIndex);
    FilterGroupIndex = pages->FilterGroupIndex();

    for (std::size_t i = 0; i < page->checkUserField.size(); ++i) {
        const QSignalBlocker block(page->checkUserField[i]);
        page->checkUserField[i]->setChecked(Prefs.UserField[i]);
    }
    pages->UpdateRequiredMarks(Prefs.UserField);

    {
        const QSignalBlocker block(page->cbShowResultType);
        page->cbShowResultType->setCurrentIndex(Prefs.ShowResultType);
    }
    pages->SetShowResultType(Prefs.ShowResultType);
    ColourTablesInEffect = Prefs.Colours;
    page->ShowColours(ColourTablesInEffect);
    pages->SetColours(ColourTablesInEffect);
}

void TformPalettorMain::CollectPreferences()
{
    if (!PreferencesReady)
        return;
    PreferencesPage *page = PrefsPage;
    Prefs.SetThemeByIndex = !Theme.FromFile();
    if (Theme.FromFile())
        Prefs.ThemeFile = Theme.File();
    else
        Prefs.ThemeIndex = std::max(Theme.Index(), 0);
    Prefs.ThemeBrightness = Theme.Brightness();
    Prefs.ThemeHue = Theme.Saturation();

    Prefs.AskAdminPassword = page->checkProtectAdminMode->isChecked();
    UpdateAuthoriseAction();

    if (page->memoUserGroups->toPlainText().trimmed().isEmpty()) {
        const QSignalBlocker block(page->memoUserGroups);
        page->memoUserGroups->setPlainText(DefaultUserGroup);
    }
    Prefs.UserGroups = UserGroupsText(page->memoUserGroups->toPlainText());

    for (std::size_t i = 0; i < page->checkUserField.size(); ++i)
        Prefs.UserField[i] = page->checkUserField[i]->isChecked();
    if (page->cbShowResultType->currentIndex() >= 0)
        Prefs.ShowResultType = page->cbShowResultType->currentIndex();
    Prefs.Colours = ColourTablesInEffect;
}

bool TformPalettorMain::SavePreferencesToStore()
{
    BusyCursor busy;
    auto settings = AppSettings::Open();
    if (!settings->isWritable())
        return true;
    std::optional<int> page;
    if (AdministratorMode)
        page = PageControl->currentIndex();
    SavePreferences(*settings, Prefs, pages->FilterGroupIndex(), page);
    return true;
}

void TformPalettorMain::ApplyUserGroups()
{
    const QStringList groups = UserGroupLines(Prefs.UserGroups);
    pages->SetUserGroups(groups);
    pages->SetFilterGroups(groups, pages->FilterGroupIndex());
}

void TformPalettorMain::ThemeChosen(int item)
{
    const QString file = PrefsPage->ThemeFileOf(item);
    if (file.isEmpty()) {
        Theme.SetThemeByIndex(item);
    } else if (!Theme.LoadThemeFile(file)) {
        UserDialogs::Current().ShowWarning(this, QStringLiteral("Не удалось прочитать файл темы %1.").arg(file));
        const QSignalBlocker block(PrefsPage->cbTheme);
        PrefsPage->cbTheme->setCurrentIndex(Theme.FromFile() ? PrefsPage->ThemeFileItem(Theme.File()) : Theme.Index());
        return;
    }
    Theme.Apply();
    CollectPreferences();
}

void TformPalettorMain::EditColour(ColourTable table, int entry)
{
    const auto index = static_cast<std::size_t>(ColourIndex(table, entry));
    const ColourValue current = ColourTablesInEffect[index];
    const auto chosen = UserDialogs::Current().AskColour(this, ToQColor(current));
    if (!chosen)
        return;
    ColourTablesInEffect[index] = FromQColor(*chosen);
    PrefsPage->Panel(table)->ShowColours(ColourTablesInEffect);
    pages->SetColours(ColourTablesInEffect);
}

void TformPalettorMain::SetAdminPassword()
{
    SetPassword(this, Prefs.AdminPassword);
    if (PrefsPage->checkProtectAdminMode->isChecked() && Prefs.AdminPassword.isEmpty())
        PrefsPage->checkProtectAdminMode->setChecked(false);
    CollectPreferences();
}

void TformPalettorMain::UpdateAuthoriseAction()
{
    Preferences effective = Prefs;
    effective.AskAdminPassword = PrefsPage->checkProtectAdminMode->isChecked();
    actFileAuthen->setEnabled(ProtectionInEffect(effective) && !AdministratorMode && !ArchiveLoading());
}

// ---- Modes ----

void TformPalettorMain::EnterAdministratorMode()
{
    AdministratorMode = true;
    PageControl->setTabVisible(ResultsPageIndex, true);
    PageControl->setTabVisible(PreferencesPageIndex, true);
    submenuResults->menuAction()->setVisible(true);
    PageControl->setCurrentIndex(std::clamp(ActiveDataPage, 0, PreferencesPageIndex));
    actFileAuthen->setEnabled(false);
}

void TformPalettorMain::EnterTestingMode()
{
    AdministratorMode = false;
    PageControl->setCurrentIndex(TestingPageIndex);
    PageControl->setTabVisible(ResultsPageIndex, false);
    PageControl->setTabVisible(PreferencesPageIndex, false);
    submenuResults->menuAction()->setVisible(false);
}

void TformPalettorMain::Authorise()
{
    if (ArchiveLoading())
        return;
    if (!ProtectionInEffect(Prefs) || AskPassword(this, Prefs.AdminPassword, AdminAccessNotice)) {
        EnterAdministratorMode();
        pages->RefillResults(false);
        ReportStartupProblems();
    } else {
        EnterTestingMode();
    }
}

void TformPalettorMain::PageChanged(int index)
{
    if (index < 0)
        return;
    if (AdministratorMode)
        ActiveDataPage = index;
    if (index == ResultsPageIndex && AdministratorMode && isVisible())
        pages->FocusResultsList();
    helpContext = firstPageHelpContext + index;
    CollectPreferences();
}

// ---- Help and copy ----

void TformPalettorMain::ShowHelpTopic(int context, const QString &keyword)
{
    const QString file = HelpFile();
    if (!QFileInfo::exists(file)) {
        UserDialogs::Current().ShowInfo(
            // Lines end in CR LF: a lone CR would not break the line on screen.
            this, QStringLiteral("Файл справочной системы %1 не найден.\r\n"
                                 "Техническая документация не входит в состав дистрибутива программы.\r\n"
                                 "Вы можете загрузить ее с интернет-сайта разработчика (%2).\r\n"
                                 "Загруженный файл распакуйте в папку %3")
                      .arg(QDir::toNativeSeparators(file), AppInfo::HelpDownloadPage,
                           QDir::toNativeSeparators(HelpFolder())));
        return;
    }
    // The system's help viewer opens the file; a topic cannot be passed to it.
    Q_UNUSED(context);
    Q_UNUSED(keyword);
    OpenUrl(QUrl::fromLocalFile(file));
}

void TformPalettorMain::CopySelection()
{
    QWidget *focused = QApplication::focusWidget();
    if (auto *edit = qobject_cast<QLineEdit *>(focused)) {
        if (edit->hasSelectedText() && edit->echoMode() == QLineEdit::Normal)
            QApplication::clipboard()->setText(edit->selectedText());
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(focused)) {
        memo->copy();
    } else if (auto *rich = qobject_cast<QTextEdit *>(focused)) {
        rich->copy();
    }
}

// ---- First show, loading, close ----

bool TformPalettorMain::event(QEvent *event)
{
    // A hovered action's hint would replace the five status panels; hints
    // are shown as tool tips instead.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void TformPalettorMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (firstShowDone)
        return;
    firstShowDone = true;
    FirstShow();
}

void TformPalettorMain::FirstShow()
{
    const PlacementStore placement(mainWindowClass);
    runStep([&] { placement.RestoreWindow(this); });
    runStep([&] { LoadPreferencesFromStore(); });
    runStep([&] { ApplyPreferences(); });
    // Control states come back once the lists they select from are filled;
    // the group memo is always the stored UserGroups.
    runStep([&] { pages->RestorePlacement(this); });
    runStep([&] { PrefsPage->ShowColours(ColourTablesInEffect); });
    runStep([&] {
        const QString path = rootFolder + QString::fromLatin1(StimulusSetFileName);
        // An oversized file is not read (its sets are not offered), and the
        // administrator is told why they are missing.
        const QFileInfo info(path);
        if (info.isFile() && info.size() > static_cast<qint64>(StimulusProfileFile::MaxFileBytes))
            startupNotes << QStringLiteral("Файл стимульных наборов %1 слишком велик (%2 байт, допустимо не более %3 байт) "
                                           "и не был прочитан. Предопределенные стимульные наборы недоступны.")
                                .arg(QDir::toNativeSeparators(path))
                                .arg(info.size())
                                .arg(StimulusProfileFile::MaxFileBytes);
        StimulusSetList = LoadStimulusSets(path.toStdString());
        pages->SetStimulusSets(StimulusSetList);
    });
    PreferencesReady = true;
    runStep([&] {
        const std::string path = (rootFolder + QStringLiteral("ColorTest.dat")).toStdString();
        try {
            LoadKnowledgeBase(path, KnowledgeBase);
        } catch (const StreamError &) {
            // A damaged knowledge base keeps what was read; the tests run without it.
        }
    });
    // The window is painted before the archive is read and the password asked.
    QTimer::singleShot(0, this, &TformPalettorMain::StartArchiveLoad);
}

SessionContext TformPalettorMain::CurrentContext() const
{
    SessionContext context;
    context.Today = ToOleDate(ToLocalDateTime(QDate::currentDate()));
    context.DecimalSeparator = QLocale::system().decimalPoint().toStdString();
    return context;
}

void TformPalettorMain::StartArchiveLoad()
{
    pendingFiles.clear();
    nextFile = 0;
    runStep([&] { pendingFiles = ListSessionFiles(DataFolder().toStdString()); });
    if (pendingFiles.empty()) {
        DecideMode();
        return;
    }
    // Files are read in slices of the event loop's turns so the window stays
    // responsive; the file actions stay off until the last file is read.
    loadFolder = (DataFolder() + QLatin1Char('/')).toStdString();
    loadContext = CurrentContext();
    Sessions.Reserve(Sessions.Count() + pendingFiles.size());
    QApplication::setOverrideCursor(Qt::BusyCursor);
    SetFileActionsEnabled(false);
    ProgressBar1->setRange(0, static_cast<int>(pendingFiles.size()));
    ProgressBar1->setValue(0);
    StatusLastPanel->setText(QStringLiteral("Загрузка результатов..."));
    archiveTimer = new QTimer(this);
    archiveTimer->setInterval(0);
    connect(archiveTimer, &QTimer::timeout, this, &TformPalettorMain::LoadNextSessionFiles);
    archiveTimer->start();
}

void TformPalettorMain::LoadNextSessionFiles()
{
    // About 30 ms of reading per turn: short enough for input and repaints to
    // feel immediate, long enough that the event loop and the status bar do
    // not cost more than the files themselves.
    const qint64 sliceMs = archiveSliceMs;
    QElapsedTimer slice;
    slice.start();
    std::string path;
    while (nextFile < pendingFiles.size()) {
        path.assign(loadFolder).append(pendingFiles[nextFile++]);
        try {
            LoadSessionFile(path, Sessions, loadContext);
        } catch (const std::exception &) {
            damagedFiles << QString::fromStdString(pendingFiles[nextFile - 1]);
        }
        if (slice.elapsed() >= sliceMs)
            break;
    }
    ProgressBar1->setValue(static_cast<int>(nextFile));
    StatusLastPanel->setText(
        QStringLiteral("Загрузка результатов: %1 из %2").arg(nextFile).arg(pendingFiles.size()));
    if (nextFile >= pendingFiles.size())
        FinishArchiveLoad();
}

void TformPalettorMain::FinishArchiveLoad()
{
    if (!archiveTimer)
        return;
    archiveTimer->stop();
    archiveTimer->deleteLater();
    archiveTimer = nullptr;
    pendingFiles.clear();
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    StatusLastPanel->clear();
    QApplication::restoreOverrideCursor();
    SetFileActionsEnabled(true);
    DecideMode();
}

void TformPalettorMain::SetFileActionsEnabled(bool enabled)
{
    for (QAction *action : {actStartTesting, actResultsExportMSWord, actResultsSave, actResultsDelete,
                            actResultsFilter, actResultsShowAll})
        action->setEnabled(enabled);
    UpdateAuthoriseAction();
}

void TformPalettorMain::DecideMode()
{
    runStep([&] {
        if (!ProtectionInEffect(Prefs) || AskPassword(this, Prefs.AdminPassword, AdminAccessNotice)) {
            EnterAdministratorMode();
            pages->RefillResults(false);
            ResultsListReady = true;
            ReportStartupProblems();
        } else {
            EnterTestingMode();
        }
    });
    UpdateAuthoriseAction();
    emit StartupFinished();
}

void TformPalettorMain::ReportStartupProblems()
{
    // Installation problems are the administrator's to mend; the tested
    // person is never shown them.
    if (problemsReported || !AdministratorMode)
        return;
    problemsReported = true;
    for (const QString &note : startupNotes)
        UserDialogs::Current().ShowWarning(this, note);
    if (damagedFiles.isEmpty())
        return;
    QStringList shown = damagedFiles.mid(0, damagedNamesShown);
    QString text = QStringLiteral("Не удалось прочитать поврежденные файлы результатов в папке %1: %2.\r\n\r\n")
                       .arg(QDir::toNativeSeparators(DataFolder()))
                       .arg(damagedFiles.size());
    text += shown.join(QStringLiteral("\r\n"));
    if (damagedFiles.size() > damagedNamesShown)
        text += QStringLiteral("\r\n... и еще %1").arg(damagedFiles.size() - damagedNamesShown);
    UserDialogs::Current().ShowWarning(this, text);
}

bool TformPalettorMain::StoreFinishedSession(TCLTSession &session)
{
    const QString folder = DataFolder();
    QString reason;
    if (!QFileInfo(folder).isDir()) {
        reason = QStringLiteral("папка не существует");
    } else {
        try {
            BusyCursor busy;
            std::random_device seed;
            std::mt19937 generator(seed() ^ static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
            std::uniform_int_distribution<int> digit(0, 9);
            SaveSession(session, folder.toStdString(), localNow(), [&] { return digit(generator); });
        } catch (const std::exception &error) {
            reason = QString::fromStdString(error.what());
            if (reason.isEmpty())
                reason = QStringLiteral("ошибка записи");
        }
    }
    if (!reason.isEmpty()) {
        // The result stays on screen and in this run's list; only the file is missing.
        UserDialogs::Current().ShowWarning(
            this, QStringLiteral("Не удалось сохранить результат тестирования в папке %1.\r\nПричина: %2.")
                      .arg(QDir::toNativeSeparators(folder), reason));
    }
    if (AdministratorMode)
        pages->AddResultRow(session);
    return reason.isEmpty();
}

void TformPalettorMain::closeEvent(QCloseEvent *event)
{
    if (archiveTimer) {
        archiveTimer->stop();
        archiveTimer->deleteLater();
        archiveTimer = nullptr;
        QApplication::restoreOverrideCursor();
    }
    const PlacementStore placement(mainWindowClass);
    runStep([&] {
        placement.SaveWindow(this);
        pages->SavePlacement(this);
    });
    ResultsListReady = false;
    pages->SetResultsListReady(false);
    // A window closed before its first show never read the store; writing
    // its defaults back would wipe the user's settings.
    if (PreferencesReady)
        runStep([&] {
            CollectPreferences();
            SavePreferencesToStore();
        });
    event->accept();
}
