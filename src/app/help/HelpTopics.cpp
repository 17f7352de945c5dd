#include "app/help/HelpTopics.h"

#include <QCollator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

const QString HelpTopics::ContentsPage = QStringLiteral("index.html");

namespace {
// The file is ours and small; anything larger is not it.
constexpr qint64 MaxTopicsBytes = 1024 * 1024;

QString folded(const QString &keyword) { return keyword.trimmed().toCaseFolded(); }

// A target must stay inside the help folder: no scheme, no absolute path, no way up.
bool isPageInFolder(const QString &target)
{
    return !target.isEmpty() && !target.contains(QLatin1Char(':')) && !target.startsWith(QLatin1Char('/'))
        && !target.contains(QLatin1String(".."));
}
} // namespace

HelpTopics HelpTopics::Load(const QString &helpFolder)
{
    HelpTopics topics;
    QFile file(helpFolder + QStringLiteral("topics.json"));
    if (file.size() > MaxTopicsBytes || !file.open(QIODevice::ReadOnly))
        return topics;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject contexts = root.value(QStringLiteral("contexts")).toObject();
    for (auto it = contexts.begin(); it != contexts.end(); ++it) {
        bool ok = false;
        const int context = it.key().toInt(&ok);
        const QString target = it.value().toString();
        if (ok && isPageInFolder(target))
            topics.contexts.insert(context, target);
    }
    const QJsonObject keywords = root.value(QStringLiteral("keywords")).toObject();
    for (auto it = keywords.begin(); it != keywords.end(); ++it) {
        const QString target = it.value().toString();
        if (!folded(it.key()).isEmpty() && isPageInFolder(target)) {
            topics.keywords.insert(folded(it.key()), target);
            topics.keywordNames.insert(folded(it.key()), it.key().trimmed());
        }
    }
    return topics;
}

QString HelpTopics::ForContext(int context) const { return contexts.value(context, ContentsPage); }

QString HelpTopics::ForKeyword(const QString &keyword) const { return keywords.value(folded(keyword)); }

QStringList HelpTopics::Keywords() const
{
    QStringList names = keywordNames.values();
    QCollator collator(QLocale(QLocale::Russian, QLocale::Russia));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    return names;
}
