#include "results/ResultsSplitter.h"

#include <QApplication>

#include <gtest/gtest.h>

// The placement's tab height arrives before the page is shown, and may not
// fit the first size it gets: it waits for room rather than being lost.
TEST(ResultsSplitter, KeepsTheWishedTabHeightUntilThereIsRoomForIt)
{
    auto *tabs = new QWidget;
    ResultsSplitter splitter(new QWidget, tabs);
    splitter.resize(400, 100);
    splitter.SetTabHeight(150);
    splitter.show();
    QApplication::processEvents();
    EXPECT_EQ(splitter.TabHeight(), 150);
    EXPECT_NE(tabs->height(), 150);
    splitter.resize(400, 500);
    QApplication::processEvents();
    EXPECT_EQ(tabs->height(), 150);
}
