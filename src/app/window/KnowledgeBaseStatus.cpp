#include "app/window/KnowledgeBaseStatus.h"

#include "core/RussianPlural.h"
#include "qtkit/UserDialogs.h"

#include <QDir>
#include <QFile>

void KnowledgeBaseStatus::Load(const QString &path, TCLTKnowledgeBase &base)
{
    file = path;
    warned = false;
    load = LoadKnowledgeBaseFile(QFile::encodeName(path).toStdString(), base);
}

bool KnowledgeBaseStatus::Damaged() const
{
    return load.State != KnowledgeBaseState::Loaded && load.State != KnowledgeBaseState::Missing;
}

QString KnowledgeBaseStatus::Problem() const
{
    const QString reason = QString::fromStdString(load.Reason);
    switch (load.State) {
    case KnowledgeBaseState::Loaded:
    case KnowledgeBaseState::Missing:
        return {};
    case KnowledgeBaseState::NotAFile:
        return QStringLiteral("не является файлом (%1)").arg(reason);
    case KnowledgeBaseState::Foreign:
        return QStringLiteral("не является базой знаний или поврежден в начале (%1)").arg(reason);
    case KnowledgeBaseState::TooLarge:
        return QStringLiteral("не был прочитан: %1").arg(reason);
    case KnowledgeBaseState::Unreadable:
        return QStringLiteral("не удалось прочитать (%1)").arg(reason);
    case KnowledgeBaseState::Damaged:
        return QStringLiteral("поврежден: %1. Прочитано %2 из %3")
            .arg(reason, QString::fromStdString(CountWithNoun(load.EntriesRead, "запись", "записи", "записей")))
            .arg(load.EntriesAnnounced);
    }
    return {};
}

QStringList KnowledgeBaseStatus::StartupNotes() const
{
    if (!Damaged())
        return {};
    const bool some = load.EntriesRead > 0;
    return {
        QStringLiteral("Файл базы знаний %1 %2.\r\n\r\nЗаключения тестирования будут составляться и "
                       "сохраняться %3 и позже не дополняются. Замените файл исправной копией из "
                       "дистрибутива программы и перезапустите программу.")
            .arg(QDir::toNativeSeparators(file), Problem(),
                 some ? QStringLiteral("без части текстов базы знаний") : QStringLiteral("без текстов базы знаний"))};
}

QString KnowledgeBaseStatus::AboutText() const
{
    if (!Damaged())
        return {};
    return QStringLiteral("База знаний: файл %1 %2; заключения составляются без %3.")
        .arg(QDir::toNativeSeparators(file), Problem(),
             load.EntriesRead > 0 ? QStringLiteral("части текстов базы") : QStringLiteral("текстов базы"));
}

void KnowledgeBaseStatus::WarnBeforeFirstTest(QWidget *parent, UserDialogs *dialogs)
{
    if (warned || !Damaged())
        return;
    warned = true;
    (dialogs ? *dialogs : UserDialogs::Current())
        .ShowWarning(parent,
                     QStringLiteral("База знаний программы повреждена. Заключения этого и следующих "
                                    "тестирований будут сохранены %1.\r\n"
                                    "Сообщите об этом администратору.")
                         .arg(load.EntriesRead > 0 ? QStringLiteral("без части текстов базы знаний")
                                                   : QStringLiteral("без текстов базы знаний")));
}
