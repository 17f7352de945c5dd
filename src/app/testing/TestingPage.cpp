#include "app/testing/TestingPage.h"

#include "app/testing/ChooserPanel.h"
#include "app/testing/RegistrationPanel.h"
#include "app/testing/TileArea.h"
#include "core/RussianPlural.h"
#include "qtkit/UserDialogs.h"
#include "testing/ResultDisplay.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ClockInterval = 600000; // ten minutes: the elapsed time is a rough guide only

QString ForMemo(const std::string &text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

} // namespace

TestingPage::TestingPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TestingPage"));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    headerPanel = new QFrame(this);
    headerPanel->setObjectName(QStringLiteral("TePanel2"));
    headerPanel->setFrameShape(QFrame::StyledPanel);
    headerPanel->setFixedHeight(30);
    auto *header = new QVBoxLayout(headerPanel);
    header->setContentsMargins(8, 2, 8, 2);
    header->setSpacing(0);
    headerCaption = new QLabel(headerPanel);
    headerCaption->setObjectName(QStringLiteral("TePanel2Caption"));
    headerCaption->setTextFormat(Qt::PlainText);
    QFont captionFont = headerCaption->font();
    captionFont.setBold(true);
    headerCaption->setFont(captionFont);
    header->addWidget(headerCaption);

    stepHeader = new QWidget(headerPanel);
    stepHeader->setObjectName(QStringLiteral("Panel100"));
    auto *steps = new QVBoxLayout(stepHeader);
    steps->setContentsMargins(0, 0, 0, 0);
    steps->setSpacing(1);
    labelStepNo = new QLabel(stepHeader);
    labelStepNo->setObjectName(QStringLiteral("labelStepNo"));
    labelStepName = new QLabel(stepHeader);
    labelStepName->setObjectName(QStringLiteral("labelStepName"));
    QFont nameFont = labelStepName->font();
    nameFont.setBold(true);
    labelStepName->setFont(nameFont);
    labelStepName->setStyleSheet(QStringLiteral("color: #c00000;"));
    labelStepDetails = new QLabel(stepHeader);
    labelStepDetails->setObjectName(QStringLiteral("labelStepDetails"));
    labelStepDetails->setWordWrap(true);
    // Step texts carry the person's stimulus names: never read as markup.
    for (QLabel *label : {labelStepNo, labelStepName, labelStepDetails})
        label->setTextFormat(Qt::PlainText);
    labelStepDetails->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    steps->addWidget(labelStepNo);
    steps->addWidget(labelStepName);
    steps->addWidget(labelStepDetails, 1);
    header->addWidget(stepHeader, 1);
    stepHeader->hide();
    page->addWidget(headerPanel);

    tileArea = new TileArea(this);
    auto *area = new QGridLayout(tileArea);
    area->setContentsMargins(10, 10, 10, 10);
    registration = new RegistrationPanel(tileArea);
    chooser = new ChooserPanel(tileArea);
    chooser->setMaximumWidth(820);
    BuildStimulusPanel();
    area->addWidget(registration, 0, 0, Qt::AlignCenter);
    area->addWidget(chooser, 0, 0, Qt::AlignCenter);
    area->addWidget(stimulusPanel, 0, 0, Qt::AlignCenter);
    // What to do first, while the area is empty.
    emptyHint = new QLabel(tileArea);
    emptyHint->setObjectName(QStringLiteral("emptyAreaHint"));
    emptyHint->setTextFormat(Qt::PlainText);
    emptyHint->setAlignment(Qt::AlignCenter);
    QFont hintFont = emptyHint->font();
    hintFont.setPointSize(hintFont.pointSize() + 2);
    emptyHint->setFont(hintFont);
    area->addWidget(emptyHint, 0, 0, Qt::AlignCenter);
    registration->hide();
    chooser->hide();
    stimulusPanel->hide();
    page->addWidget(tileArea, 1);

    memoTestResult = new QPlainTextEdit(this);
    memoTestResult->setObjectName(QStringLiteral("memoTestResult"));
    memoTestResult->setReadOnly(true);
    memoTestResult->hide();
    page->addWidget(memoTestResult, 1);

    timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(ClockInterval);
    idleTimer = new QTimer(this);
    idleTimer->setObjectName(QStringLiteral("IdleClearTimer"));
    idleTimer->setSingleShot(true);
    SetIdleClearMinutes(10);

    ConfigureProcedure();
    SetContext(ownContext);
    UpdateEmptyHint();

    connect(chooser, &ChooserPanel::kindChosen, this, &TestingPage::StartKind);
    connect(registration, &RegistrationPanel::submitted, this, &TestingPage::SubmitRegistration);
    connect(btnStimulDone, &QPushButton::clicked, this, &TestingPage::ConfirmStimulusList);
    connect(cbStimulSet, &QComboBox::currentIndexChanged, this, &TestingPage::FillStimulusList);
    connect(tileArea, &TileArea::tileClicked, this, [this](int tag) { procedure->PickTile(tag); });
    connect(timer, &QTimer::timeout, this, [this] { procedure->ClockTick(); });
    connect(idleTimer, &QTimer::timeout, this, &TestingPage::ForgetLastPerson);
}

class TestingPage::CountListener : public ArchiveListObserver {
public:
    CountListener(ArchiveList &list, TestingPage &page) : list(list), page(page) { list.AddObserver(this); }
    ~CountListener() override { list.RemoveObserver(this); }
    void Appended(std::size_t, std::size_t) override { page.UpdateEmptyHint(); }
    void Removed(const std::vector<PositionRun> &) override { page.UpdateEmptyHint(); }
    void Reset() override { page.UpdateEmptyHint(); }

private:
    ArchiveList &list;
    TestingPage &page;
};

TestingPage::~TestingPage() = default;

void TestingPage::BuildStimulusPanel()
{
    stimulusPanel = new QWidget(tileArea);
    stimulusPanel->setObjectName(QStringLiteral("TePanel7"));
    auto *box = new QVBoxLayout(stimulusPanel);
    box->addWidget(new QLabel(QStringLiteral("Предопределенные стимульные наборы"), stimulusPanel));
    cbStimulSet = new QComboBox(stimulusPanel);
    cbStimulSet->setObjectName(QStringLiteral("cbStimulSet"));
    cbStimulSet->setEditable(false);
    box->addWidget(cbStimulSet);
    box->addWidget(new QLabel(QStringLiteral("Список значимых лиц и понятий"), stimulusPanel));
    box->addWidget(new QLabel(QStringLiteral("(по одному в отдельной строке)"), stimulusPanel));
    memoStimulItems = new QPlainTextEdit(stimulusPanel);
    memoStimulItems->setObjectName(QStringLiteral("memoStimulItems"));
    memoStimulItems->setMinimumSize(360, 220);
    box->addWidget(memoStimulItems, 1);
    btnStimulDone = new QPushButton(QStringLiteral("Продолжить"), stimulusPanel);
    btnStimulDone->setObjectName(QStringLiteral("btnStimulDone"));
    box->addWidget(btnStimulDone, 0, Qt::AlignRight);
}

void TestingPage::ConfigureProcedure()
{
    procedure = std::make_unique<TestProcedure>(*this, *sessions);
    procedure->SetClock([this] { return context->NowOle(); });
    procedure->SetRandom(random);
    procedure->SetColours(colours);
    procedure->SetRequiredFields(required);
    procedure->SetDateTimeFormatter([this](OleDate when) { return DateTimeText(when).toStdString(); });
    procedure->SetFinishHook(
        [this](TCLTSession &session, OleDate start, OleDate end) { emit testFinished(&session, start, end); });
}

void TestingPage::SetSessionList(ArchiveList *list)
{
    if (procedure->Running())
        return;
    sessions = list ? list : &ownSessions;
    countListener = std::make_unique<CountListener>(*sessions, *this);
    ConfigureProcedure();
}

void TestingPage::SetColours(const ColourSet &value)
{
    colours = value;
    procedure->SetColours(value);
}

void TestingPage::SetRequiredFields(const RequiredFields &value)
{
    required = value;
    procedure->SetRequiredFields(value);
    UpdateRequiredMarks(value);
}

void TestingPage::UpdateRequiredMarks(const RequiredFields &value) { registration->UpdateRequiredMarks(value); }

void TestingPage::SetUserGroups(const QStringList &groups) { registration->SetGroups(groups); }

void TestingPage::SetShowResultType(int type) { showResultType = type; }

void TestingPage::SetIdleClearMinutes(int minutes) { idleTimer->setInterval(std::max(minutes, 1) * 60 * 1000); }

void TestingPage::ForgetLastPerson()
{
    if (running)
        return;
    idleTimer->stop();
    qApp->removeEventFilter(this);
    thanksShown = false;
    headerCaption->clear();
    memoTestResult->clear();
    memoTestResult->hide();
    tileArea->show();
    SetStatusText(StatusPanel::StartTime, {});
    SetStatusText(StatusPanel::Elapsed, {});
    const LocalDateTime today = context->Now();
    registration->Clear(QDate(today.Year, today.Month, today.Day));
    UpdateEmptyHint();
    emit lastPersonForgotten();
}

bool TestingPage::eventFilter(QObject *watched, QEvent *event)
{
    // Someone still reading the result keeps it on the screen.
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        if (idleTimer->isActive())
            idleTimer->start();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TestingPage::SetArchiveCountShown(bool shown)
{
    archiveCountShown = shown;
    UpdateEmptyHint();
}

void TestingPage::UpdateEmptyHint()
{
    const bool empty = !running && chooser->isHidden() && registration->isHidden() && stimulusPanel->isHidden();
    QString text = QStringLiteral("Нажмите «Начать тестирование» (F5), чтобы выбрать тест.");
    if (thanksShown)
        text = QStringLiteral("Тестирование завершено. Спасибо!");
    else if (archiveCountShown)
        text += QStringLiteral("\n\nВ архиве %1.")
                    .arg(QString::fromStdString(CountWithNoun(sessions->Count(), "сеанс", "сеанса", "сеансов")));
    emptyHint->setText(text);
    emptyHint->setVisible(empty);
}

QString TestingPage::EmptyAreaHint() const { return emptyHint->isHidden() ? QString() : emptyHint->text(); }

void TestingPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    UpdateEmptyHint(); // sessions may have been deleted on the results page
}

void TestingPage::SetStimulusSets(const StimulusSets &sets)
{
    stimulusSets = sets;
    const QSignalBlocker quiet(cbStimulSet);
    cbStimulSet->clear();
    for (const auto &name : sets.Names)
        cbStimulSet->addItem(QString::fromStdString(name));
    cbStimulSet->setCurrentIndex(-1);
    if (cbStimulSet->count() > 0) {
        cbStimulSet->setCurrentIndex(0);
        FillStimulusList(0); // choosing the first set fills the list, as a change would
    }
}

void TestingPage::SetContext(const StationContext &value)
{
    context = &value;
    const QLocale &locale = value.Locale();
    // The birth date keeps its own day-month-year form, which is what it reads
    // back when typed.
    registration->BirthDateEdit()->setLocale(locale);
    const LocalDateTime today = value.Now();
    registration->BirthDateEdit()->SetToday(QDate(today.Year, today.Month, today.Day));
    registration->BirthDateEdit()->setDate(QDate(today.Year, today.Month, today.Day));
}

void TestingPage::SetRandom(RandomSource value)
{
    random = std::move(value);
    procedure->SetRandom(random);
}

QString TestingPage::DateTimeText(OleDate when) const { return context->DateTimeText(when); }

QString TestingPage::StartStopCaption() const
{
    return running ? QStringLiteral("Прекратить тестирование") : QStringLiteral("Начать тестирование");
}

// ---------------------------------------------------------------- clicks

void TestingPage::StartOrStop()
{
    if (procedure->Running())
        StopTest();
    else
        procedure->OpenChooser();
}

void TestingPage::StopTest()
{
    if (!procedure->Running())
        return;
    procedure->StopTest();
    // The hint counted while the stopped session was still in the archive.
    UpdateEmptyHint();
    emit testStopped();
}

void TestingPage::StartKind(int kind)
{
    if (procedure->Running())
        return;
    // Nothing of the previous person is offered to the next.
    ForgetLastPerson();
    procedure->SetSessionContext(context->ForSessions());
    procedure->StartTest(kind);
}

void TestingPage::SubmitRegistration()
{
    if (procedure->Phase() != TestPhase::Registration)
        return;
    if (const auto problem = procedure->SubmitRegistration(registration->Input())) {
        UserDialogs::Current().ShowWarning(this, QString::fromStdString(problem->Message));
        registration->FocusField(problem->Field);
    }
}

void TestingPage::ConfirmStimulusList()
{
    if (procedure->Phase() != TestPhase::StimulusList)
        return;
    const auto lines = SplitStimulusLines(memoStimulItems->toPlainText().toStdString());
    const std::string *problem = nullptr;
    if (lines.size() > MaxStimulusCount)
        problem = &StimulusListTooLongMessage;
    else if (!StimulusListAccepted(lines) || !procedure->ConfirmStimulusList(lines))
        problem = &StimulusListTooShortMessage;
    if (problem) {
        UserDialogs::Current().ShowWarning(this, QString::fromStdString(*problem));
        memoStimulItems->setFocus(Qt::OtherFocusReason);
    }
}

void TestingPage::FillStimulusList(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= stimulusSets.Values.size())
        return;
    QStringList lines;
    for (const auto &word : SplitStimulusSet(stimulusSets.Values[static_cast<size_t>(index)]))
        lines << QString::fromStdString(word);
    memoStimulItems->setPlainText(lines.join(QLatin1Char('\n')));
}

void TestingPage::ShowResult(const TCLTSession &session)
{
    const ResultDisplay shown =
        MakeResultDisplay(session, showResultType, DateTimeText(session.StartedAt).toStdString());
    headerCaption->setText(QString::fromStdString(shown.Caption));
    memoTestResult->setPlainText(ForMemo(shown.Text));
    memoTestResult->setVisible(shown.MemoVisible);
    if (shown.HideTestArea)
        tileArea->hide();
    // Without a result to read, the person is told the test is over.
    thanksShown = !shown.MemoVisible;
    UpdateEmptyHint();
    idleTimer->start();
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

// ---------------------------------------------------------------- ITestView

void TestingPage::ShowChooser(bool visible)
{
    if (visible) {
        thanksShown = false;
        memoTestResult->hide();
        tileArea->show();
        tileArea->raise();
        emit testingPageRequested();
    }
    chooser->setVisible(visible);
    UpdateEmptyHint();
}

void TestingPage::SetHeaderCaption(const std::string &caption)
{
    headerCaption->setText(QString::fromStdString(caption));
}

void TestingPage::SetHeaderHeight(int pixels)
{
    headerHeight = pixels;
    FitHeader();
}

void TestingPage::FitHeader()
{
    // The header grows beyond its height when the details wrap to more lines
    // than fit, so no instruction is cut off on a narrow window. It is as
    // high as the longest instruction of the colour steps needs from the
    // start, so the tiles do not move when the repeat step's longer text comes.
    int height = headerHeight;
    if (!stepHeader->isHidden()) {
        const QMargins m = headerPanel->layout()->contentsMargins();
        const int textWidth =
            std::max(headerPanel->width() - m.left() - m.right() - 2 * headerPanel->frameWidth(), 100);
        const QFontMetrics metrics(labelStepDetails->font());
        int detailsHeight = labelStepDetails->heightForWidth(textWidth);
        for (const std::string *text :
             {&StepCaptions::RepeatDetails, &StepCaptions::UnpleasantDetails, &StepCaptions::PleasantDetails})
            detailsHeight = std::max(
                detailsHeight,
                metrics.boundingRect(QRect(0, 0, textWidth, 100000), Qt::TextWordWrap, QString::fromStdString(*text))
                    .height());
        const int needed = m.top() + m.bottom() + 2 * headerPanel->frameWidth() + labelStepNo->sizeHint().height()
            + labelStepName->sizeHint().height() + detailsHeight + 2;
        height = std::max(height, needed);
    }
    headerPanel->setFixedHeight(height);
}

void TestingPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FitHeader();
}

void TestingPage::ShowStepHeader(bool visible)
{
    stepHeader->setVisible(visible);
    // The caption line gives way to the step labels while a test runs.
    headerCaption->setVisible(!visible);
    FitHeader();
}

void TestingPage::SetStepTexts(const StepTexts &texts)
{
    labelStepNo->setText(QString::fromStdString(texts.Number));
    labelStepName->setText(QString::fromStdString(texts.Name));
    labelStepDetails->setText(QString::fromStdString(texts.Details));
    FitHeader();
}

void TestingPage::ShowRegistration(bool visible, const RequiredFields &marks)
{
    registration->UpdateRequiredMarks(marks);
    registration->setVisible(visible);
    UpdateEmptyHint();
    if (visible)
        registration->FocusField(RegistrationField::Surname);
}

void TestingPage::ShowStimulusList(bool visible)
{
    stimulusPanel->setVisible(visible);
    UpdateEmptyHint();
    if (visible)
        memoStimulItems->setFocus(Qt::OtherFocusReason);
}

void TestingPage::ClearResult() { memoTestResult->clear(); }

void TestingPage::LayOutTiles(const std::vector<TileSpec> &tiles) { tileArea->SetTiles(tiles); }

void TestingPage::RemoveTiles() { tileArea->ClearTiles(); }

void TestingPage::SetStatusText(StatusPanel panel, const std::string &text)
{
    const auto index = static_cast<size_t>(panel);
    status[index] = QString::fromStdString(text);
    emit statusTextChanged(static_cast<int>(panel), status[index]);
}

void TestingPage::SetProgress(int position, int maximum)
{
    progressPosition = position;
    progressMaximum = maximum;
    emit progressChanged(position, maximum);
}

void TestingPage::SetTestRunning(bool value)
{
    running = value;
    UpdateEmptyHint();
    emit testRunningChanged(running, StartStopCaption());
}

void TestingPage::SetClockRunning(bool value)
{
    if (value)
        timer->start();
    else
        timer->stop();
}
