#pragma once

#include "core/ArchiveList.h"
#include "core/OleDate.h"
#include "testing/ColourTables.h"
#include "testing/ITestView.h"
#include "testing/Registration.h"

#include "core/TCLTSession.h"
#include "testing/TileLayout.h"
#include <memory>

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Caption texts of the steps.
namespace StepCaptions {
extern const std::string RegistrationName;
extern const std::string RegistrationDetails;
extern const std::string PleasantName;
extern const std::string PleasantDetails;
extern const std::string UnpleasantName;
extern const std::string UnpleasantDetails;
extern const std::string RepeatName;
extern const std::string RepeatDetails;
extern const std::string StimulusListName;
extern const std::string StimulusListDetails;
std::string AssociationName(const std::string &stimulus);
std::string AssociationDetails(const std::string &stimulus);
} // namespace StepCaptions

// "Вам необходимо указать не менее 2 значимых лиц или понятий"
extern const std::string StimulusListTooShortMessage;

// The longest stimulus list a test takes: as many stimuli as the longest
// predefined set can hold (a "Values" string of 2047 characters), so every
// set is taken; a longer list, 2 * n + 16 clicks long, is refused.
constexpr std::size_t MaxStimulusCount = 1024;
// "Вы можете указать не более 1024 значимых лиц или понятий"
extern const std::string StimulusListTooLongMessage;
// A confirmed list needs at least this many lines (blank lines count).
constexpr std::size_t MinimumStimulusCount = 2;

// Replaces the session's stimuli with one new item per line, in line order,
// each named by its line as the session file stores it (AsStoredShortText),
// all numbers 0. A confirmed list of a running test is built the same way.
void BuildChoiceItems(TCLTSession &session, const std::vector<std::string> &lines);

// Where the running test is.
enum class TestPhase {
    Idle,         // no test (also after a test finished)
    Chooser,      // the test chooser is shown
    Registration, // step 1
    StimulusList, // step 2 of the Colour Relations Test
    Achromatic,   // grey picks
    EightColour,  // an eight-colour choice
    Pairs,        // pair comparisons of the four-colour tables
    Stimulus,     // association steps
};

// The step machine of the testing page. It holds the running session
// itself: a stopped test's session is dropped, a finished one is appended to
// the list it is given and handed to the finish hook, so the list only ever
// holds finished sessions.
class TestProcedure {
public:
    using Clock = std::function<OleDate()>;
    // Called once per completed test, after the end time was taken; the owner
    // interprets, shows and stores the session.
    using FinishHook = std::function<void(TCLTSession &session, OleDate testStart, OleDate testEnd)>;
    // Date-and-time text for the start-time panel (locale of the user).
    using DateTimeFormatter = std::function<std::string(OleDate)>;

    TestProcedure(ITestView &view, ArchiveList &sessions);

    void SetClock(Clock clock);
    void SetRandom(RandomSource random);
    void SetFinishHook(FinishHook hook);
    void SetDateTimeFormatter(DateTimeFormatter formatter);
    void SetColours(const ColourSet &colours);
    void SetRequiredFields(const RequiredFields &required);
    // Locale and today's date handed to every new session.
    void SetSessionContext(const SessionContext &context);

    // The start/stop action: stops a running test, otherwise opens the chooser.
    void StartOrStop();
    void OpenChooser();
    // A chooser button; ignored unless kind is 1..4.
    void StartTest(int kind);
    // "Продолжить" on the registration panel. Returns the problem the panel
    // must show (the test then stays at step 1), or nothing when accepted.
    std::optional<RegistrationProblem> SubmitRegistration(const RegistrationInput &input);
    // "Продолжить" on the stimulus-list panel with the lines of the list.
    // False when fewer than MinimumStimulusCount lines or more than
    // MaxStimulusCount: the panel shows the warning. The items are built by
    // BuildChoiceItems.
    bool ConfirmStimulusList(const std::vector<std::string> &lines);
    // A click on a tile: dispatched to the pick operation of the phase.
    // Tags that are not on the tiles shown are ignored.
    void PickTile(int tag);
    void ProcessChooseColor_8C(int tag);
    void ProcessChooseColor_BW(int tag);
    void ProcessChooseColor_20(int tag);
    void ProcessChooseStimul(int colourNumber);
    // Any step: discards the session, nothing of it is stored.
    void StopTest();
    // The elapsed-time clock fired.
    void ClockTick();

    // A test was chosen and is neither finished nor stopped.
    bool Running() const;
    TestPhase Phase() const { return phase; }
    int Kind() const { return kind; }
    int CurrentStep() const { return currentStep; }
    int TotalSteps() const { return totalSteps; }
    TCLTSession *CurrentSession() const { return session.get(); }
    const std::vector<int> &TileOrder() const { return tileOrder; }
    const std::vector<TileSpec> &Tiles() const { return tiles; }
    const StepTexts &Texts() const { return texts; }
    int RepeatedTable() const { return repeatedTable; }
    int PairTable() const { return pairTable; }
    int StimulusPass() const { return stimulusPass; }
    int StimulusIndex() const { return stimulusIndex; }
    std::optional<OleDate> TestStart() const { return testStart; }

private:
    void ResetState();
    void AdvanceStep(int delta, bool unpleasant);
    void UpdateCaptions(bool unpleasant);
    void BeginTestProper();
    void ShowEightColourTiles();
    void ShowAchromaticTiles();
    void ShowPair();
    void ShowStimulusStep();
    ColourValue TileColour(ColourTable table, int entry) const;
    void LayUnchosen(ColourTable table, const std::vector<int> &entries);
    void Lay(std::vector<TileSpec> laid);
    void Remove();
    void FinishTest();
    bool Offered(int tag) const;
    OleDate Now() const;

    ITestView &view;
    ArchiveList &sessions;
    Clock clock;
    RandomSource random;
    FinishHook finishHook;
    DateTimeFormatter formatDateTime;
    ColourSet colours = DefaultColours;
    RequiredFields required;
    SessionContext context;

    TestPhase phase = TestPhase::Idle;
    int kind = 0;
    std::unique_ptr<TCLTSession> session; // the running test's
    int totalSteps = 0;
    int currentStep = 0;
    bool firstChoice = true;
    int position = 1;
    int pairTable = 1;
    std::set<int> chosenTags;
    std::vector<int> tileOrder;
    int repeatedTable = 0;
    int stimulusPass = 1;
    int stimulusIndex = 0;
    std::optional<OleDate> testStart;
    std::vector<TileSpec> tiles;
    StepTexts texts;
};
