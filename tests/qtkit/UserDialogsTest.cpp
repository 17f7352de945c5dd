#include "qtkit/UserDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The program's real message boxes carry names of files and persons: each
// shows its text as written, never as markup.
TEST(UserDialogs, MessageBoxesShowTheirTextAsPlainText)
{
    const QString text = QStringLiteral("<img src='/tmp/local.png'><b>Иванов</b> &amp; <a href='http://x'>x</a>");
    UserDialogs dialogs;
    const std::function<void()> shows[] = {
        [&] { dialogs.ShowInfo(nullptr, text); },
        [&] { dialogs.ShowWarning(nullptr, text); },
        [&] { EXPECT_FALSE(dialogs.AskYesNo(nullptr, text)); },
    };
    for (const auto &show : shows) {
        int seen = 0;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            ++seen;
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->text(), text);
            box->reject();
        });
        show();
        EXPECT_EQ(seen, 1);
    }
}

} // namespace
