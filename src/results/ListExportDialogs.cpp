#include "results/ListExportDialogs.h"

#include "qtkit/PersonCode.h"
#include "qtkit/StationContext.h"
#include "qtkit/UserDialogs.h"
#include "results/ListExport.h"

bool ExportListThroughDialogs(QWidget *parent, const ArchiveList &list, const std::vector<std::size_t> &positions,
                              const StationContext &context)
{
    if (positions.empty())
        return false;
    const bool nameFree = UserDialogs::Current().AskYesNo(
        parent,
        QStringLiteral("Выгрузить список без персональных данных?\r\n\r\n"
                       "«Да»: вместо фамилии, имени, отчества и даты рождения в таблице будет код "
                       "тестируемого (у одного человека он один и тот же во всех выгрузках с этого "
                       "компьютера), возраст сохранится.\r\n"
                       "«Нет»: таблица с фамилиями, именами и датами рождения."));
    const QString path = AskSavePath(parent, QStringLiteral("Экспорт списка"), QStringLiteral("Таблицы CSV (*.csv)"),
                                     QStringLiteral(".csv"));
    if (path.isEmpty())
        return false;
    ListExport exporter(parent, context.DecimalSeparator());
    if (nameFree)
        exporter.SetPersonCode(PersonCoder(context.PersonCodeKey()));
    return exporter.WriteListed(list, positions, path);
}
