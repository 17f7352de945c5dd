#pragma once

#include "core/SessionArchive.h"
#include "interpretation/StimulusSets.h"
#include "qtkit/StationContext.h"
#include "testing/ITestView.h"
#include "testing/TestProcedure.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class ChooserPanel;
class IdleWatch;
class QLabel;
class QPlainTextEdit;
class QTimer;
class RegistrationPanel;
class StepHeader;
class StimulusListPanel;
class TileArea;

// The Testing page: header with the step labels, the test area with the
// registration panel, the test chooser, the stimulus-list panel and the
// colour tiles, and the result memo. It shows what the step machine asks and
// forwards every click to it; the main window connects the signals to its
// status bar and start/stop action and finishes the session on testFinished.
class TestingPage : public QWidget, public ITestView {
    Q_OBJECT
public:
    explicit TestingPage(QWidget *parent = nullptr);
    ~TestingPage() override;

    // The result memo, for the main window's copy command.
    QPlainTextEdit *ResultMemo() const { return memoTestResult; }

    // The session list new sessions are appended to (the archive). Without
    // one the page keeps its own. Ignored while a test runs.
    void SetSessionList(ArchiveList *sessions);
    void SetColours(const ColourSet &colours);
    void SetRequiredFields(const RequiredFields &required);
    void SetUserGroups(const QStringList &groups);
    void SetShowResultType(int type);
    // Minutes without input after which a finished person's result, name and
    // start time leave the screen.
    void SetIdleClearMinutes(int minutes);
    QTimer *IdleTimer() const;
    void SetStimulusSets(const StimulusSets &sets);
    // The locale and clock of the station: date-time texts, the birth date's
    // format, today's date and the decimal separator of new sessions; the
    // birth date starts at today. The context must outlive the page; without
    // one the page keeps its own.
    void SetContext(const StationContext &context);
    void SetRandom(RandomSource random);

    TestProcedure &Procedure() { return *procedure; }
    RegistrationPanel *Registration() const { return registration; }
    ChooserPanel *Chooser() const { return chooser; }
    TileArea *Tiles() const { return tileArea; }
    QString StatusText(StatusPanel panel) const { return status[static_cast<size_t>(panel)]; }
    int ProgressPosition() const { return progressPosition; }
    int ProgressMaximum() const { return progressMaximum; }
    // Caption and hint the start/stop action should carry now.
    QString StartStopCaption() const;
    QTimer *ClockTimer() const { return timer; }
    // The hint of the empty test area, or empty while it is hidden.
    QString EmptyAreaHint() const;

    // ITestView
    void ShowChooser(bool visible) override;
    void SetHeaderCaption(const std::string &caption) override;
    void SetHeaderHeight(int pixels) override;
    void ShowStepHeader(bool visible) override;
    void SetStepTexts(const StepTexts &texts) override;
    void ShowRegistration(bool visible, const RequiredFields &required) override;
    void ShowStimulusList(bool visible) override;
    void ClearResult() override;
    void LayOutTiles(const std::vector<TileSpec> &tiles) override;
    void RemoveTiles() override;
    void SetStatusText(StatusPanel panel, const std::string &text) override;
    void SetProgress(int position, int maximum) override;
    void SetTestRunning(bool running) override;
    void SetClockRunning(bool running) override;

public slots:
    // actStartTesting: stops a running test, otherwise opens the chooser.
    void StartOrStop();
    void StopTest();
    // Shows a finished, interpreted session as ShowResultType allows. The
    // window calls it from its testFinished handler, before saving.
    void ShowResult(const TCLTSession &session);
    // After a change of the required-field boxes on the preferences page.
    void UpdateRequiredMarks(const RequiredFields &required);
    // In administrator mode the empty test area also tells how many sessions
    // the archive holds.
    void SetArchiveCountShown(bool shown);
    // Shows the hint of an empty page again (the archive's count changes).
    void UpdateEmptyHint();
    // Takes the last person's result, name and start time off the screen.
    void ForgetLastPerson();

signals:
    void statusTextChanged(int panel, const QString &text);
    void progressChanged(int position, int maximum);
    // Caption and hint of actStartTesting change with it.
    void testRunningChanged(bool running, const QString &caption);
    // The chooser opens: the Testing page must be the current page.
    void testingPageRequested();
    // The last pick was made; the session is in the session list. The
    // receiver interprets it, calls ShowResult, saves it and lists it.
    void testFinished(TCLTSession *session, double testStart, double testEnd);
    void testStopped();
    void lastPersonForgotten();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ConfigureProcedure();
    void StartKind(int kind);
    void SubmitRegistration();
    void ConfirmStimulusList();
    QString DateTimeText(OleDate when) const;

    ArchiveList ownSessions;
    ArchiveList *sessions = &ownSessions;
    // Keeps the archive's count in the hint as the list changes.
    class CountListener;
    std::unique_ptr<CountListener> countListener;
    std::unique_ptr<TestProcedure> procedure;
    StationContext ownContext;
    const StationContext *context = &ownContext;
    RandomSource random;
    ColourSet colours = DefaultColours;
    RequiredFields required;
    int showResultType = 1;

    StepHeader *header;
    TileArea *tileArea; // TePanel3
    RegistrationPanel *registration;
    ChooserPanel *chooser;
    StimulusListPanel *stimulusPanel;
    QLabel *emptyHint;
    QPlainTextEdit *memoTestResult;
    QTimer *timer; // Timer1
    IdleWatch *idleWatch;
    bool thanksShown = false; // the finished person is thanked in place of a result

    std::array<QString, 3> status;
    int progressPosition = 0;
    int progressMaximum = 0;
    bool running = false;
    bool archiveCountShown = false;
};
