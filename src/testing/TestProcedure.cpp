#include "testing/TestProcedure.h"

#include "core/DurationText.h"
#include "testing/TestKinds.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace StepCaptions {
const std::string RegistrationName = "Идентификация тестируемого";
const std::string RegistrationDetails = "Пожалуйста, укажите идентифицирующие Вас данные. Поля, помеченные * являются "
                                        "обязательными для заполнения.";
const std::string PleasantName = "Выберите наиболее ПРИЯТНЫЙ цвет";
const std::string PleasantDetails =
    "Пожалуйста, внимательно посмотрите на предложенные цвета и выберите из них тот, который Вам нравится сейчас "
    "больше всего. Не пытайтесь связать цвет с каким-то конкретным предметом, просто выберите тот цвет, который Вам "
    "сейчас наиболее симпатичен.";
const std::string UnpleasantName = "ВНИМАНИЕ!!! Сейчас Вы должны выбрать НАИБОЛЕЕ НЕПРИЯТНЫЙ (!!!) цвет";
const std::string UnpleasantDetails =
    "Пожалуйста, внимательно посмотрите на предложенные цвета и выберите из них тот, который Вам сейчас наиболее "
    "НЕПРИЯТЕН. Не пытайтесь связать цвет с каким-то конкретным предметом, просто выберите наиболее неприятный цвет "
    "из предложенных.";
const std::string RepeatName = "Выберите наиболее ПРИЯТНЫЙ цвет [повторный выбор]";
const std::string RepeatDetails =
    "Сейчас Вы должны выбрать цвета еще раз, но постарайтесь забыть и не вспоминать прошлый выбор. " + PleasantDetails;
const std::string StimulusListName = "Определение стимульного материала";
const std::string StimulusListDetails =
    "Пожалуйста, сформируйте список значимых лиц и понятий (каждое в отдельной строке).";

std::string AssociationName(const std::string &stimulus)
{
    return "С каким цветом у Вас ассоциируется значимое лицо или понятие \"" + stimulus + "\"";
}

std::string AssociationDetails(const std::string &stimulus)
{
    return "Пожалуйста, внимательно посмотрите на предложенные цвета и выберите из них тот, который наиболее точно "
           "соответствует по Вашему мнению значимому лицу или понятию \""
        + stimulus + "\".";
}
} // namespace StepCaptions

const std::string StimulusListTooShortMessage = "Вам необходимо указать не менее 2 значимых лиц или понятий";
const std::string StimulusListTooLongMessage =
    "Вы можете указать не более " + std::to_string(MaxStimulusCount) + " значимых лиц или понятий";

namespace {

OleDate SystemNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    LocalDateTime when;
    when.Year = local.tm_year + 1900;
    when.Month = local.tm_mon + 1;
    when.Day = local.tm_mday;
    when.Hour = local.tm_hour;
    when.Minute = local.tm_min;
    when.Second = local.tm_sec;
    when.Millisecond = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return ToOleDate(when);
}

std::string PlainDateTime(OleDate date)
{
    const LocalDateTime t = FromOleDate(date);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %d:%02d:%02d", t.Day, t.Month, t.Year, t.Hour, t.Minute, t.Second);
    return text;
}

std::string StepOf(int step, int total) { return "Шаг " + std::to_string(step) + " из " + std::to_string(total); }

} // namespace

void BuildChoiceItems(TCLTSession &session, const std::vector<std::string> &lines)
{
    session.CtoItems.Clear();
    // Every line counts, blank ones too; the name is kept as the file keeps
    // it, so captions and conclusions name the stimulus as stored.
    for (const auto &line : lines)
        session.CtoItems.AddNew().StimulusName = AsStoredShortText(line);
}

TestProcedure::TestProcedure(ITestView &view, ArchiveList &sessions)
    : view(view), sessions(sessions), clock(SystemNow), random(ClockSeededRandom()), formatDateTime(PlainDateTime)
{
}

void TestProcedure::SetClock(Clock value) { clock = value ? std::move(value) : Clock(SystemNow); }
void TestProcedure::SetRandom(RandomSource value) { random = value ? std::move(value) : ClockSeededRandom(); }
void TestProcedure::SetFinishHook(FinishHook hook) { finishHook = std::move(hook); }
void TestProcedure::SetDateTimeFormatter(DateTimeFormatter formatter)
{
    formatDateTime = formatter ? std::move(formatter) : DateTimeFormatter(PlainDateTime);
}
void TestProcedure::SetColours(const ColourSet &value) { colours = value; }
void TestProcedure::SetRequiredFields(const RequiredFields &value) { required = value; }
void TestProcedure::SetSessionContext(const SessionContext &value) { context = value; }

OleDate TestProcedure::Now() const { return clock(); }

bool TestProcedure::Running() const { return phase != TestPhase::Idle && phase != TestPhase::Chooser; }

void TestProcedure::StartOrStop()
{
    if (Running())
        StopTest();
    else
        OpenChooser();
}

void TestProcedure::OpenChooser()
{
    if (Running())
        return;
    phase = TestPhase::Chooser;
    view.SetHeaderCaption("");
    view.SetStatusText(StatusPanel::Elapsed, "");
    view.SetStatusText(StatusPanel::Step, "");
    texts = {};
    view.SetStepTexts(texts);
    view.SetProgress(0, 0);
    view.SetHeaderHeight(30);
    view.ShowChooser(true);
}

void TestProcedure::ResetState()
{
    currentStep = 0;
    firstChoice = true;
    position = 1;
    pairTable = 1;
    chosenTags.clear();
    repeatedTable = 0;
    stimulusPass = 1;
    stimulusIndex = 0;
    testStart.reset();
}

void TestProcedure::StartTest(int testKind)
{
    if (!IsValidTestKind(testKind) || Running())
        return;
    view.SetHeaderCaption("");
    view.ShowChooser(false);
    view.SetHeaderHeight(80);
    view.SetTestRunning(true);

    kind = testKind;
    ResetState();
    totalSteps = TestKindStepCount(kind);
    view.ShowStepHeader(true);

    session = std::make_unique<TCLTSession>(Now(), context.Today);
    session->TestKind = kind;
    session->Context = context;

    phase = TestPhase::Registration;
    AdvanceStep(+1, false);
    view.ShowRegistration(true, required);
    tileOrder = NewTileOrder(random);
}

std::optional<RegistrationProblem> TestProcedure::SubmitRegistration(const RegistrationInput &input)
{
    if (phase != TestPhase::Registration)
        return std::nullopt;
    const OleDate today = DatePart(Now());
    if (auto problem = CheckRegistration(input, required, today))
        return problem;

    view.ShowRegistration(false, required);
    view.ClearResult();
    AdvanceStep(+1, false);
    CopyRegistration(input, today, *session);

    switch (kind) {
    case KindEightOnce:
    case KindEightTwice:
        BeginTestProper();
        phase = TestPhase::EightColour;
        ShowEightColourTiles();
        break;
    case KindFull:
        BeginTestProper();
        phase = TestPhase::Achromatic;
        ShowAchromaticTiles();
        break;
    case KindRelations:
        phase = TestPhase::StimulusList;
        view.ShowStimulusList(true);
        break;
    }
    return std::nullopt;
}

bool TestProcedure::ConfirmStimulusList(const std::vector<std::string> &lines)
{
    if (phase != TestPhase::StimulusList || lines.size() < MinimumStimulusCount || lines.size() > MaxStimulusCount)
        return false;
    BuildChoiceItems(*session, lines);
    totalSteps = TestKindStepCount(kind, static_cast<int>(lines.size()));

    view.ShowStimulusList(false);
    AdvanceStep(+1, false);
    BeginTestProper();
    phase = TestPhase::Stimulus;
    ShowStimulusStep();
    return true;
}

void TestProcedure::BeginTestProper()
{
    testStart = Now();
    view.SetStatusText(StatusPanel::StartTime, formatDateTime(*testStart));
    view.SetClockRunning(true);
}

void TestProcedure::AdvanceStep(int delta, bool unpleasant)
{
    currentStep += delta;
    // The maximum follows the total, which grows once a stimulus list is confirmed.
    view.SetProgress(currentStep, totalSteps + 1);
    const std::string t = StepOf(currentStep, totalSteps);
    view.SetStatusText(StatusPanel::Step, TestKindShortName(kind) + " - " + t);
    texts.Number = TestKindTitle(kind) + " - " + t;
    UpdateCaptions(unpleasant);
    view.SetStepTexts(texts);
}

void TestProcedure::UpdateCaptions(bool unpleasant)
{
    auto set = [this](const std::string &name, const std::string &details) {
        texts.Name = name;
        texts.Details = details;
    };
    const int step = currentStep;
    if (step == 1) {
        set(StepCaptions::RegistrationName, StepCaptions::RegistrationDetails);
        return;
    }
    switch (kind) {
    case KindEightOnce:
    case KindEightTwice:
        if (step == 2)
            set(StepCaptions::PleasantName, StepCaptions::PleasantDetails);
        else if (step == 9)
            set(StepCaptions::RepeatName, StepCaptions::RepeatDetails);
        break;
    case KindFull:
        if (step >= 2) {
            if (unpleasant)
                set(StepCaptions::UnpleasantName, StepCaptions::UnpleasantDetails);
            else
                set(StepCaptions::PleasantName, StepCaptions::PleasantDetails);
        }
        break;
    case KindRelations: {
        const int n = session ? static_cast<int>(session->CtoItems.Count()) : 0;
        auto association = [&] {
            const std::string name = (session && stimulusIndex >= 0 && stimulusIndex < n)
                ? session->CtoItems[static_cast<size_t>(stimulusIndex)].StimulusName
                : std::string();
            set(StepCaptions::AssociationName(name), StepCaptions::AssociationDetails(name));
        };
        if (step == 2)
            set(StepCaptions::StimulusListName, StepCaptions::StimulusListDetails);
        else if (step >= 3 && step <= n + 2)
            association();
        else if (step >= n + 3 && step <= n + 9)
            set(StepCaptions::PleasantName, StepCaptions::PleasantDetails);
        else if (step >= n + 10 && step <= n + 16)
            set(StepCaptions::RepeatName, StepCaptions::RepeatDetails);
        else if (step >= n + 17 && n > 0)
            association(); // pass 2, however long the list
        break;
    }
    }
}

ColourValue TestProcedure::TileColour(ColourTable table, int entry) const
{
    return colours[static_cast<size_t>(ColourIndex(table, entry))];
}

// Clears the area and lays the entries not chosen yet, in the given order.
void TestProcedure::LayUnchosen(ColourTable table, const std::vector<int> &entries)
{
    Remove();
    std::vector<TileSpec> laid;
    for (int entry : entries)
        if (!chosenTags.contains(entry))
            laid.push_back({entry, TileColour(table, entry)});
    Lay(std::move(laid));
}

void TestProcedure::Lay(std::vector<TileSpec> laid)
{
    tiles = std::move(laid);
    view.LayOutTiles(tiles);
}

void TestProcedure::Remove()
{
    tiles.clear();
    view.RemoveTiles();
}

bool TestProcedure::Offered(int tag) const
{
    for (const auto &tile : tiles)
        if (tile.Tag == tag)
            return true;
    return false;
}

void TestProcedure::ShowEightColourTiles()
{
    if (position == 8) {
        const bool secondFollows = firstChoice && kind != KindEightOnce;
        firstChoice = !secondFollows;
        position = 1;
        stimulusIndex = 0;
        repeatedTable = 0;
        chosenTags.clear();
        if (secondFollows) {
            tileOrder = NewTileOrder(random);
        } else {
            Remove();
            if (kind == KindFull) {
                phase = TestPhase::Pairs;
                ShowPair();
            } else if (kind == KindRelations) {
                phase = TestPhase::Stimulus;
                ShowStimulusStep();
            }
            return;
        }
    }
    LayUnchosen(ColourTable::EightColour, tileOrder);
}

void TestProcedure::ProcessChooseColor_8C(int tag)
{
    if (phase != TestPhase::EightColour || !Offered(tag))
        return;
    const int c = firstChoice ? 1 : 2;
    session->Choice[c][position] = tag;
    position += 1;
    chosenTags.insert(tag);
    if (position == 8) {
        for (int left = 1; left <= 8; ++left)
            if (!chosenTags.contains(left)) {
                session->Choice[c][8] = left; // the colour left over is never clicked
                break;
            }
    }
    if (currentStep == totalSteps) {
        if (kind == KindEightOnce)
            session->Choice[2] = session->Choice[1];
        FinishTest();
        return;
    }
    AdvanceStep(+1, false);
    ShowEightColourTiles();
}

void TestProcedure::ShowAchromaticTiles()
{
    if (position == 4) {
        position = 1;
        repeatedTable = 0;
        chosenTags.clear();
        Remove();
        phase = TestPhase::EightColour;
        ShowEightColourTiles(); // with the order drawn when the test started
        return;
    }
    LayUnchosen(ColourTable::Achromatic, {1, 2, 3, 4, 5});
}

void TestProcedure::ProcessChooseColor_BW(int tag)
{
    if (phase != TestPhase::Achromatic || !Offered(tag))
        return;
    session->AchromaticChoice[position] = tag;
    position += 1;
    chosenTags.insert(tag);
    AdvanceStep(+1, position == 3); // the third grey is the most unpleasant one
    ShowAchromaticTiles();
}

void TestProcedure::ShowPair()
{
    if (position == 7) {
        position = 1;
        pairTable += 1;
        chosenTags.clear();
        if (pairTable == 6) {
            position = 1;
            repeatedTable = 0;
            pairTable = 1;
            Remove();
            return;
        }
    }
    Remove();
    const auto [left, right] = PairOrder(position);
    const ColourTable table = FourColourTable(pairTable);
    Lay({{left, TileColour(table, left)}, {right, TileColour(table, right)}});
}

void TestProcedure::ProcessChooseColor_20(int tag)
{
    if (phase != TestPhase::Pairs || !Offered(tag))
        return;
    auto &wins = session->PairWins[pairTable];
    wins[tag] += 1;
    position += 1;
    if (position == 7 && repeatedTable != pairTable) {
        bool tie = false;
        for (int a = 1; a <= 4; ++a)
            for (int b = a + 1; b <= 4; ++b)
                tie = tie || wins[a] == wins[b];
        if (tie) {
            // Once per table: back to its first comparison, wins forgotten.
            AdvanceStep(-5, false);
            wins.fill(0);
            position = 1;
            chosenTags.clear();
            repeatedTable = pairTable;
            ShowPair();
            return;
        }
    }
    if (currentStep == totalSteps) {
        FinishTest();
        return;
    }
    AdvanceStep(+1, false);
    ShowPair();
}

void TestProcedure::ShowStimulusStep()
{
    Remove();
    tileOrder = NewTileOrder(random);
    std::vector<TileSpec> laid;
    for (int tag : tileOrder)
        laid.push_back({tag - 1, TileColour(ColourTable::EightColour, tag)});
    Lay(std::move(laid));
}

void TestProcedure::ProcessChooseStimul(int colourNumber)
{
    if (phase != TestPhase::Stimulus || !Offered(colourNumber))
        return;
    const int n = static_cast<int>(session->CtoItems.Count());
    session->CtoItems[static_cast<size_t>(stimulusIndex)].AssociatedColour[stimulusPass] = colourNumber;
    stimulusIndex += 1;
    Remove();
    if (stimulusIndex < n) {
        AdvanceStep(+1, false);
        ShowStimulusStep();
        return;
    }
    stimulusIndex = 0;
    if (stimulusPass == 1) {
        stimulusPass = 2;
        AdvanceStep(+1, false);
        tileOrder = NewTileOrder(random);
        phase = TestPhase::EightColour;
        ShowEightColourTiles();
        return;
    }
    FinishTest();
}

void TestProcedure::PickTile(int tag)
{
    switch (phase) {
    case TestPhase::EightColour:
        ProcessChooseColor_8C(tag);
        break;
    case TestPhase::Achromatic:
        ProcessChooseColor_BW(tag);
        break;
    case TestPhase::Pairs:
        ProcessChooseColor_20(tag);
        break;
    case TestPhase::Stimulus:
        ProcessChooseStimul(tag);
        break;
    default:
        break;
    }
}

void TestProcedure::FinishTest()
{
    const OleDate testEnd = Now();
    view.SetClockRunning(false);
    view.SetProgress(0, totalSteps + 1);
    view.SetStatusText(StatusPanel::Step, "");
    view.ShowStepHeader(false);
    view.SetTestRunning(false);
    // Idle before the hook runs, so a hook that fails leaves no half-open test.
    Remove();
    TCLTSession &finished = sessions.Add(std::move(session));
    const OleDate start = testStart.value_or(testEnd);
    phase = TestPhase::Idle;
    if (finishHook)
        finishHook(finished, start, testEnd);
}

void TestProcedure::StopTest()
{
    if (!Running())
        return;
    view.SetStatusText(StatusPanel::StartTime, "");
    view.SetStatusText(StatusPanel::Elapsed, "");
    view.SetStatusText(StatusPanel::Step, "");
    view.SetProgress(0, 0);
    texts = {};
    view.SetStepTexts(texts);
    view.SetClockRunning(false);
    view.SetHeaderCaption("");
    view.SetTestRunning(false);
    view.ShowRegistration(false, required);
    // The list panel is hidden too, or a stopped Colour Relations Test would
    // leave it over the empty test area.
    view.ShowStimulusList(false);
    ResetState();
    view.ShowStepHeader(false);
    Remove();

    session.reset();
    phase = TestPhase::Idle;
}

void TestProcedure::ClockTick()
{
    if (!Running() || !testStart)
        return;
    const long long seconds = std::llabs(MillisecondsBetween(*testStart, Now())) / 1000;
    view.SetStatusText(StatusPanel::Elapsed, DurationText(static_cast<int>(seconds)));
}
