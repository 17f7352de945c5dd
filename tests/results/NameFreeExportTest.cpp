// «Экспорт списка» asks whether to leave out names; the name-free table holds
// none of them and gives each person one code.
#include "results/ResultsFixture.h"
#include "results/ResultsModel.h"
#include "support/ScriptedDialogs.h"

#include <QFile>

namespace {

class NameFreeExportTest : public ResultsPageFixture {
protected:
    ScriptedDialogs dialogs;
    QTemporaryDir temp;

    QString Export(bool nameFree, const QString &name)
    {
        dialogs.yesNoAnswers = {nameFree};
        dialogs.saveFileAnswers = {temp.filePath(name)};
        EXPECT_TRUE(page->ResultsExportListExecute());
        QFile file(temp.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }
};

TEST_F(NameFreeExportTest, AsksEachTimeAndLeavesNoNameOrBirthDate)
{
    TCLTSession first = MakeSession("Петрова", 2, 2, 14);
    first.Patronymic = "Игоревна";
    Save(first);
    Save(MakeSession("Орлов", 1, 1, 40));
    OpenPage();
    int keysAsked = 0;
    context.SetPersonCodeKeySource([&keysAsked] {
        ++keysAsked;
        return QByteArray(32, 'k');
    });
    page->SetContext(context);

    const QString named = Export(false, QStringLiteral("named.csv"));
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(keysAsked, 0);
    EXPECT_TRUE(named.contains(QStringLiteral("Петрова")));

    QStringList codes;
    for (const QString &name : {QStringLiteral("a.csv"), QStringLiteral("b.csv")}) {
        const QString csv = Export(true, name);
        for (const char *personal : {"Петрова", "Орлов", "Иван", "Игоревна", "Фамилия", "Дата рождения"})
            EXPECT_FALSE(csv.contains(QString::fromUtf8(personal))) << personal;
        for (const TCLTSession *s : {&first}) {
            const LocalDateTime born = FromOleDate(s->BirthDate);
            EXPECT_FALSE(csv.contains(QStringLiteral("%1-%2").arg(born.Year).arg(born.Month, 2, 10, QLatin1Char('0'))));
        }
        const QStringList lines = csv.split(QStringLiteral("\r\n"));
        const qsizetype column = lines[0].split(QLatin1Char(';')).indexOf(QStringLiteral("Код обследуемого"));
        ASSERT_GE(column, 0);
        codes << lines[1].split(QLatin1Char(';')).value(column) << lines[2].split(QLatin1Char(';')).value(column);
    }
    EXPECT_EQ(dialogs.questions.size(), 3);
    EXPECT_EQ(keysAsked, 2);
    ASSERT_EQ(codes.size(), 4);
    EXPECT_TRUE(codes[0].startsWith(QStringLiteral("P-")));
    EXPECT_NE(codes[0], codes[1]);
    EXPECT_EQ(codes.mid(0, 2), codes.mid(2, 2));
}

} // namespace
