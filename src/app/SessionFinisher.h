#pragma once

#include "OleDate.h"
#include "SessionArchive.h"
#include "TCLTOutcome.h"

#include <QString>

#include <functional>

class QWidget;
class StationContext;
class TCLTSession;
class UserDialogs;

// The one route of a finished session: interpreted, shown, saved into the
// Data folder, listed. Showing and listing are whatever the window gives;
// a failed save is told to the operator and the session stays shown and
// listed for this run.
class SessionFinisher {
public:
    using SessionStep = std::function<void(const TCLTSession &)>;

    // The knowledge base and the context must outlive the finisher.
    SessionFinisher(const TCLTKnowledgeBase &knowledgeBase, QString dataFolder, const StationContext &context,
                    QWidget *dialogParent = nullptr);

    // Digits of new file names; by default a seeded random generator.
    void SetDigitSource(DigitSource digits);
    // nullptr: the dialogs in effect (UserDialogs::Current()).
    void SetDialogs(UserDialogs *dialogs);
    void SetShow(SessionStep show);
    void SetList(SessionStep list);

    const QString &DataFolder() const { return dataFolder; }

    // Interprets, shows, saves and lists the session. False when it could not be saved.
    bool Finish(TCLTSession &session, OleDate testStart, OleDate testEnd);
    // Saves and lists a session already interpreted. False when it could not be saved.
    bool Store(TCLTSession &session);

private:
    UserDialogs &Dialogs() const;

    const TCLTKnowledgeBase &knowledgeBase;
    QString dataFolder;
    const StationContext &context;
    QWidget *dialogParent;
    DigitSource digits;
    UserDialogs *dialogs = nullptr;
    SessionStep show;
    SessionStep list;
};
