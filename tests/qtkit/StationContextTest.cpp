#include "qtkit/StationContext.h"

#include <gtest/gtest.h>

namespace {

// A station without a locale set formats as Russia does; any locale the
// system does set is kept (its dates and decimal separator are the user's).
TEST(StationContextTest, FormattingLocaleKeepsASetLocaleOnly)
{
    const struct {
        QLocale System;
        QLocale::Language Expected;
        const char *Separator;
    } cases[] = {
        {QLocale::c(), QLocale::Russian, ","},
        {QLocale(QLocale::Russian, QLocale::Russia), QLocale::Russian, ","},
        {QLocale(QLocale::English, QLocale::UnitedStates), QLocale::English, "."},
        {QLocale(QLocale::German, QLocale::Germany), QLocale::German, ","},
    };
    for (const auto &c : cases) {
        const StationContext context(StationContext::FormattingLocale(c.System));
        EXPECT_EQ(context.Locale().language(), c.Expected) << c.System.name().toStdString();
        EXPECT_EQ(context.DecimalSeparator(), c.Separator) << c.System.name().toStdString();
    }
    const StationContext unset(StationContext::FormattingLocale(QLocale::c()));
    EXPECT_EQ(unset.DateText(ToOleDate({1985, 3, 15, 0, 0, 0, 0})).toStdString(), "15.03.1985");
}

} // namespace
