#include "app/testing/TestingPage.h"

#include "app/testing/ChooserPanel.h"
#include "app/testing/IdleWatch.h"
#include "app/testing/RegistrationPanel.h"
#include "app/testing/StepHeader.h"
#include "app/testing/StimulusListPanel.h"
#include "app/testing/TileArea.h"
#include "core/RussianPlural.h"
#include "qtkit/UserDialogs.h"
#include "testing/ResultDisplay.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

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

    header = new StepHeader(this);
    page->addWidget(header);

    tileArea = new TileArea(this);
    auto *area = new QGridLayout(tileArea);
    area->setContentsMargins(10, 10, 10, 10);
    registration = new RegistrationPanel(tileArea);
    chooser = new ChooserPanel(tileArea);
    chooser->setMaximumWidth(820);
    stimulusPanel = new StimulusListPanel(tileArea);
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
    idleWatch = new IdleWatch(this);

    ConfigureProcedure();
    SetContext(ownContext);
    UpdateEmptyHint();

    connect(chooser, &ChooserPanel::kindChosen, this, &TestingPage::StartKind);
    connect(registration, &RegistrationPanel::submitted, this, &TestingPage::SubmitRegistration);
    connect(stimulusPanel, &StimulusListPanel::confirmed, this, &TestingPage::ConfirmStimulusList);
    connect(tileArea, &TileArea::tileClicked, this, [this](int tag) { procedure->PickTile(tag); });
    connect(timer, &QTimer::timeout, this, [this] { procedure->ClockTick(); });
    connect(idleWatch, &IdleWatch::expired, this, &TestingPage::ForgetLastPerson);
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

void TestingPage::SetIdleClearMinutes(int minutes) { idleWatch->SetMinutes(minutes); }

QTimer *TestingPage::IdleTimer() const { return idleWatch->Timer(); }

void TestingPage::ForgetLastPerson()
{
    if (running)
        return;
    idleWatch->Stop();
    thanksShown = false;
    header->SetCaption({});
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

void TestingPage::SetStimulusSets(const StimulusSets &sets) { stimulusPanel->SetSets(sets); }

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
    const auto lines = stimulusPanel->Lines();
    const std::string *problem = nullptr;
    if (lines.size() > MaxStimulusCount)
        problem = &StimulusListTooLongMessage;
    else if (!StimulusListAccepted(lines) || !procedure->ConfirmStimulusList(lines))
        problem = &StimulusListTooShortMessage;
    if (problem) {
        UserDialogs::Current().ShowWarning(this, QString::fromStdString(*problem));
        stimulusPanel->FocusList();
    }
}

void TestingPage::ShowResult(const TCLTSession &session)
{
    const ResultDisplay shown =
        MakeResultDisplay(session, showResultType, DateTimeText(session.StartedAt).toStdString());
    header->SetCaption(QString::fromStdString(shown.Caption));
    memoTestResult->setPlainText(ForMemo(shown.Text));
    memoTestResult->setVisible(shown.MemoVisible);
    if (shown.HideTestArea)
        tileArea->hide();
    // Without a result to read, the person is told the test is over.
    thanksShown = !shown.MemoVisible;
    UpdateEmptyHint();
    idleWatch->Start();
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

void TestingPage::SetHeaderCaption(const std::string &caption) { header->SetCaption(QString::fromStdString(caption)); }

void TestingPage::SetHeaderHeight(int pixels) { header->SetBaseHeight(pixels); }

void TestingPage::ShowStepHeader(bool visible) { header->ShowSteps(visible); }

void TestingPage::SetStepTexts(const StepTexts &texts) { header->SetStepTexts(texts); }

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
        stimulusPanel->FocusList();
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
