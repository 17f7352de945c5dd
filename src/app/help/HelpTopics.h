#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Where each help context and keyword leads: read from the help folder's
// topics.json ({"contexts": {"1001": "page.html#anchor"}, "keywords": {...}}).
// Targets are relative to the help folder.
class HelpTopics {
public:
    static constexpr int ContentsContext = 1000;
    static const QString ContentsPage; // index.html

    // A missing or unreadable file leaves both maps empty: every topic is
    // then the contents page.
    static HelpTopics Load(const QString &helpFolder);

    // The contents page for an unknown context.
    QString ForContext(int context) const;
    // Case does not matter; empty when the keyword is unknown.
    QString ForKeyword(const QString &keyword) const;
    // As written in the file, sorted for the index.
    QStringList Keywords() const;

private:
    QHash<int, QString> contexts;
    QHash<QString, QString> keywords; // by folded keyword
    QHash<QString, QString> keywordNames;
};
