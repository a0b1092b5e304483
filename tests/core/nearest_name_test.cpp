#include "base/nearest_name.h"

#include <gtest/gtest.h>

#include <string_view>

namespace varsk {
namespace {

constexpr std::string_view kCommands[] = {"dump", "import", "diff", "patch", "apply", "info"};
constexpr std::string_view kColumns[] = {"cost", "hp", "en", "w2.ammo", "productTurn"};

TEST(NearestName, SlipsFindTheirName) {
  EXPECT_EQ(NearestName("dmp", kCommands), "dump");       // a letter left out
  EXPECT_EQ(NearestName("imoprt", kCommands), "import");  // two swapped
  EXPECT_EQ(NearestName("aply", kCommands), "apply");     //
  EXPECT_EQ(NearestName("Cost", kColumns), "cost");       // case
  EXPECT_EQ(NearestName("w2ammo", kColumns), "w2.ammo");  //
  EXPECT_EQ(NearestName("productturm", kColumns), "productTurn");
}

TEST(NearestName, FarOffWordsFindNone) {
  EXPECT_FALSE(NearestName("render", kCommands));
  EXPECT_FALSE(NearestName("x", kColumns));
  EXPECT_FALSE(NearestName("zz", kColumns));  // both letters of "hp" or "en" changed
  EXPECT_FALSE(NearestName("", kColumns));
  EXPECT_FALSE(NearestName("hitpoints", kColumns));
}

}  // namespace
}  // namespace varsk
