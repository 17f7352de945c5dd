#pragma once

#include "core/KnowledgeBaseFile.h"

#include <QString>
#include <QStringList>

class QWidget;
class UserDialogs;

// What became of the installed knowledge base at start-up, told to whom it
// concerns: the administrator at start-up and in the about window, the
// person at the screen in testing mode before the first test. A missing base
// is the program working without one, as designed, and is not a problem.
class KnowledgeBaseStatus {
public:
    // Appends the entries of the file at path to base.
    void Load(const QString &path, TCLTKnowledgeBase &base);

    const KnowledgeBaseLoad &Result() const { return load; }
    // The file is there but was not read whole: conclusions lack texts.
    bool Damaged() const;
    // For the start-up notes: nothing, or why the base is not in use.
    QStringList StartupNotes() const;
    // For the about window: empty unless damaged.
    QString AboutText() const;
    // In testing mode, once per run, before the first test; nothing when
    // the base is whole or missing. dialogs nullptr: the ones in effect.
    void WarnBeforeFirstTest(QWidget *parent, UserDialogs *dialogs = nullptr);

private:
    QString Problem() const;

    QString file;
    KnowledgeBaseLoad load;
    bool warned = false;
};
