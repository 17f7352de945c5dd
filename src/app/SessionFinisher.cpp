#include "SessionFinisher.h"

#include "Conclusion.h"
#include "StationContext.h"
#include "UserDialogs.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <random>

namespace {
// The busy pointer while the file is written, always restored.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

DigitSource randomDigits()
{
    std::random_device seed;
    auto generator =
        std::make_shared<std::mt19937>(seed() ^ static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
    return [generator] { return std::uniform_int_distribution<int>(0, 9)(*generator); };
}
} // namespace

SessionFinisher::SessionFinisher(const TCLTKnowledgeBase &knowledgeBase, QString dataFolder,
                                 const StationContext &context, QWidget *dialogParent)
    : knowledgeBase(knowledgeBase), dataFolder(std::move(dataFolder)), context(context), dialogParent(dialogParent),
      digits(randomDigits())
{
}

void SessionFinisher::SetDigitSource(DigitSource value) { digits = value ? std::move(value) : randomDigits(); }
void SessionFinisher::SetDialogs(UserDialogs *value) { dialogs = value; }
void SessionFinisher::SetShow(SessionStep value) { show = std::move(value); }
void SessionFinisher::SetList(SessionStep value) { list = std::move(value); }

UserDialogs &SessionFinisher::Dialogs() const { return dialogs ? *dialogs : UserDialogs::Current(); }

bool SessionFinisher::Finish(TCLTSession &session, OleDate testStart, OleDate testEnd)
{
    FinishTestSession(session, knowledgeBase, testStart, testEnd, context.DecimalSeparator());
    // Shown before it is saved: a failed save must not hide the result.
    if (show)
        show(session);
    return Store(session);
}

bool SessionFinisher::Store(TCLTSession &session)
{
    QString reason;
    if (!QFileInfo(dataFolder).isDir()) {
        reason = QStringLiteral("папка не существует");
    } else {
        try {
            BusyCursor busy;
            SaveSession(session, dataFolder.toStdString(), context.Now(), digits);
        } catch (const std::exception &error) {
            reason = QString::fromStdString(error.what());
            if (reason.isEmpty())
                reason = QStringLiteral("ошибка записи");
        }
    }
    if (!reason.isEmpty()) {
        // The result stays on screen and in this run's list; only the file is missing.
        Dialogs().ShowWarning(dialogParent,
                              QStringLiteral("Не удалось сохранить результат тестирования в папке %1.\r\nПричина: %2.")
                                  .arg(QDir::toNativeSeparators(dataFolder), reason));
    }
    if (list)
        list(session);
    return reason.isEmpty();
}
