#include "app/window/QtTranslation.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTranslator>

// Qt's own texts are Russian once the program's translator is in: the
// buttons of a standard box and the menu of a text field.
namespace {

QString Plain(QString caption) { return caption.remove(QLatin1Char('&')); }

TEST(RussianDialogsTest, StandardButtonsAndTextMenusSpeakRussian)
{
    QTranslator *translator = InstallQtRussianTranslation(*qApp);
    ASSERT_NE(translator, nullptr) << "qtbase_ru.qm not found: is qt6-translations-l10n installed?";
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Предупреждение"), QStringLiteral("Удалить?"),
                        QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(Plain(box.button(QMessageBox::Yes)->text()), QStringLiteral("Да"));
        EXPECT_EQ(Plain(box.button(QMessageBox::No)->text()), QStringLiteral("Нет"));
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList captions;
        for (QAction *action : menu->actions())
            captions << Plain(action->text()).section(QLatin1Char('\t'), 0, 0);
        EXPECT_TRUE(captions.contains(QStringLiteral("Выделить всё"))
                    || captions.contains(QStringLiteral("Выделить все")))
            << captions.join(QLatin1Char('|')).toStdString();
    }
    // The rest of the suite runs with Qt's own texts.
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes);
    EXPECT_EQ(Plain(box.button(QMessageBox::Yes)->text()), QStringLiteral("Yes"));
}

} // namespace
