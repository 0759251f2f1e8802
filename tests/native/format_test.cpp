#include "log/format.h"

#include <gtest/gtest.h>

TEST(SvFormat, ConversionsInsertsAndMissingArguments) {
  EXPECT_EQ("Running on Windows NT build 1381.\n",
            SvFormat("Running on Windows NT build %u.\n", {1381}));
  EXPECT_EQ("File x, Error 20, busy\n", SvFormat("File %s, Error %x, %s\n", {"x", 32, "busy"}));
  EXPECT_EQ("0409|04b0 0000002a 2a", SvFormat("%04x|%04x %08lx %lx", {0x409, 0x4b0, 42, 42}));
  EXPECT_EQ("Error -1 (x)", SvFormat("Error %d (%s)", {-1, "x"}));
  EXPECT_EQ("100% D:", SvFormat("100%% %c:", {'D'}));
  EXPECT_EQ("Could not open kit data file C:\\K.DAT\r\nPress OK",
            SvFormat("Could not open kit data file %1\r\nPress OK", {"C:\\K.DAT"}));
  // A conversion without an argument is dropped, never read from nowhere.
  EXPECT_EQ("a   b", SvFormat("a %s %d b", {}));
  EXPECT_EQ("trailing %", SvFormat("trailing %", {}));
  // A 32-bit "l" conversion of a negative error shows its 32-bit pattern.
  EXPECT_EQ("ffffffff", SvFormat("%lx", {-1}));
}
