#include "results/CollapsiblePanel.h"
#include "results/ResultDetailPanels.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QToolButton>
#include <QWidget>

// Every heading of the detail side bar is shown whole, whatever the font:
// the bar widens rather than cut «Выборы - Дополнительные субтесты».
namespace {

TEST(SideBar, ShowsEveryHeadingWholeInALargeFont)
{
    for (const int points : {9, 12}) {
        QWidget parent;
        QFont font = parent.font();
        font.setPointSize(points);
        parent.setFont(font);
        ResultDetailPanels view(&parent);
        parent.show();
        QCoreApplication::processEvents(); // lays the bar's panels out
        const auto headers = view.SideBar()->findChildren<QToolButton *>(QStringLiteral("header"));
        ASSERT_EQ(headers.size(), 4);
        for (const QToolButton *header : headers)
            EXPECT_GE(header->width(), header->sizeHint().width()) << header->text().toStdString() << " at " << points;
    }
}

} // namespace
