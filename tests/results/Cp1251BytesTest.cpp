#include "results/Cp1251Bytes.h"

#include <gtest/gtest.h>

namespace {

TEST(ToCp1251BytesTest, WritesOneByteACharacter)
{
    EXPECT_EQ(ToCp1251Bytes(QStringLiteral("Яа\r\n")), QByteArray("\xDF\xE0\r\n"));
}

} // namespace
