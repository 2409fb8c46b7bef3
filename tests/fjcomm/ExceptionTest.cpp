#include "fjcomm/FJCore/Exception.h"

#include <gtest/gtest.h>

using Fjarnis2011::FJCore::Exception;
using Fjarnis2011::FJCore::Location;

TEST(Exception, CharacterInputSplitsLinesAndDropsEmptyOnes) {
    Exception e;
    for (char c : std::string("ab\n\nc", 5)) e.put(c);
    e.put('\0');
    ASSERT_EQ(e.textCount(), 2u);
    EXPECT_EQ(e.text(0), "ab");
    EXPECT_EQ(e.text(1), "c");
    EXPECT_EQ(e.text(2), "") << "out of range gives an empty text";
}

TEST(Exception, PrintListsLinesThenLocations) {
    Exception e("x", 0, 0);
    e.addLocation(Location("f", "g", 7));
    EXPECT_EQ(e.toString(), "text 0:x\nlocation 0:f:g:7\n");
    const Location none = e.location(3);
    EXPECT_EQ(none.toString(), "::0");
    Exception copy = e;
    EXPECT_EQ(copy.toString(), e.toString());
}
