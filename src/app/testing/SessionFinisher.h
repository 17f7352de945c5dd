#pragma once

#include "core/ArchiveList.h"
#include "core/OleDate.h"
#include "core/SessionArchive.h"
#include "core/TCLTOutcome.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <set>

class QWidget;
class StationContext;
class TCLTSession;
class UserDialogs;

// The one route of a finished session: interpreted, shown, saved into the
// Data folder, listed. A session that cannot be saved into Data is written
// at once into the recovery folder (in the user's own application data), is
// listed as not stored, and goes to Data on a retry or at the next start.
class SessionFinisher {
public:
    using SessionStep = std::function<void(const TCLTSession &)>;

    // The knowledge base and the context must outlive the finisher.
    SessionFinisher(const TCLTKnowledgeBase &knowledgeBase, QString dataFolder, const StationContext &context,
                    QWidget *dialogParent = nullptr);

    // The recovery folder of this user (application data + "/Recovery").
    static QString DefaultRecoveryFolder();

    // Digits of new file names; by default a seeded random generator.
    void SetDigitSource(DigitSource digits);
    // nullptr: the dialogs in effect (UserDialogs::Current()).
    void SetDialogs(UserDialogs *dialogs);
    void SetShow(SessionStep show);
    void SetList(SessionStep list);
    void SetRecoveryFolder(QString folder);
    // Saves into Data go through these (tests fail them).
    void SetSaveHooks(SaveHooks hooks);
    // Removes a recovered file once it is in Data; false with the reason
    // (Russian) when it cannot. Tests fail it: the suite runs as root, whom
    // a read-only folder does not stop.
    using FileRemover = std::function<bool(const QString &path, QString &reason)>;
    void SetFileRemover(FileRemover remover);
    // True while the tested person, not the administrator, is at the screen:
    // a failed save then only says to call the administrator, who is told the
    // reason later (TakeAdministratorNotes).
    void SetTestingMode(std::function<bool()> testingMode);

    const QString &DataFolder() const { return dataFolder; }
    const QString &RecoveryFolder() const { return recoveryFolder; }

    // Interprets, shows, saves and lists the session. False when it could not be saved.
    bool Finish(TCLTSession &session, OleDate testStart, OleDate testEnd);
    // Saves and lists a session already interpreted. False when it could not be saved.
    bool Store(TCLTSession &session);

    // A finished session whose file is not in Data.
    bool NotStored(const TCLTSession &session) const;
    bool NotStored(const ListedRow &session) const;
    int NotStoredCount(const ArchiveList &sessions) const;
    // Saves every session not stored into Data again; a saved one leaves the
    // recovery folder. Returns how many are still not stored; the reason of
    // the first failure is shown.
    int RetryNotStored(ArchiveList &sessions);
    // The administrator's retry: tells whether all are stored now.
    void RetryAndTell(ArchiveList &sessions);
    // True when nothing is unstored, or the user agrees to close anyway.
    bool MayCloseWith(const ArchiveList &sessions) const;

    // At start, before the archive is read: moves every recovered session
    // into Data under a new name of the archive's rule. One whose copy is in
    // Data already (its file could not be removed at an earlier start) is not
    // moved again. Notes for the administrator tell what could not be moved
    // or removed and why.
    QStringList MoveRecoveredIntoData();
    // After the archive was read: the recovered sessions still waiting are
    // added to the list, so the administrator sees them as not stored.
    void AddWaitingRecovered(ArchiveList &sessions);
    // The reasons of saves that failed while the tested person was at the screen.
    QStringList TakeAdministratorNotes();

private:
    UserDialogs &Dialogs() const;
    // Empty when saved into Data; otherwise the reason, in Russian.
    QString SaveIntoData(TCLTSession &session);
    QString WriteRecoveryCopy(TCLTSession &session);

    const TCLTKnowledgeBase &knowledgeBase;
    QString dataFolder;
    // The folder's path as sessions carry it and as cleaned, each ending in
    // '/': asked of every session at close, so made once.
    std::string folderPrefix;
    std::string cleanFolderPrefix;
    QString recoveryFolder;
    const StationContext &context;
    QWidget *dialogParent;
    DigitSource digits;
    SaveHooks saveHooks;
    UserDialogs *dialogs = nullptr;
    SessionStep show;
    SessionStep list;
    std::function<bool()> testingMode;
    FileRemover removeFile;
    QStringList administratorNotes;
    // Recovered files whose session is in Data already: not listed as waiting.
    std::set<std::string> movedButKept;
    // Sessions that neither Data nor the recovery folder took (no file at all).
    std::set<const TCLTSession *> unwritten;
};
