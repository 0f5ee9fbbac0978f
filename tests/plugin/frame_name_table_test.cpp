#include "plugin/frame_name_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Written out by hand: the model files of the game's player models use
// exactly these names, so a wrong character in one of them is a fault.
const char* const kExpectedNames[] = {
      "stand01", "stand02", "stand03", "stand04", "stand05", "stand06", "stand07", "stand08",
      "stand09", "stand10", "stand11", "stand12", "stand13", "stand14", "stand15", "stand16",
      "stand17", "stand18", "stand19", "stand20", "stand21", "stand22", "stand23", "stand24",
      "stand25", "stand26", "stand27", "stand28", "stand29", "stand30", "stand31", "stand32",
      "stand33", "stand34", "stand35", "stand36", "stand37", "stand38", "stand39", "stand40",
      "run1", "run2", "run3", "run4", "run5", "run6",
      "attack1", "attack2", "attack3", "attack4", "attack5", "attack6", "attack7", "attack8",
      "pain101", "pain102", "pain103", "pain104", "pain201", "pain202", "pain203", "pain204",
      "pain301", "pain302", "pain303", "pain304",
      "jump1", "jump2", "jump3", "jump4", "jump5", "jump6",
      "flip01", "flip02", "flip03", "flip04", "flip05", "flip06", "flip07", "flip08", "flip09",
      "flip10", "flip11", "flip12",
      "salute01", "salute02", "salute03", "salute04", "salute05", "salute06", "salute07",
      "salute08", "salute09", "salute10", "salute11",
      "taunt01", "taunt02", "taunt03", "taunt04", "taunt05", "taunt06", "taunt07", "taunt08",
      "taunt09", "taunt10", "taunt11", "taunt12", "taunt13", "taunt14", "taunt15", "taunt16",
      "taunt17",
      "wave01", "wave02", "wave03", "wave04", "wave05", "wave06", "wave07", "wave08", "wave09",
      "wave10", "wave11",
      "point01", "point02", "point03", "point04", "point05", "point06", "point07", "point08",
      "point09", "point10", "point11", "point12",
      "crstnd01", "crstnd02", "crstnd03", "crstnd04", "crstnd05", "crstnd06", "crstnd07",
      "crstnd08", "crstnd09", "crstnd10", "crstnd11", "crstnd12", "crstnd13", "crstnd14",
      "crstnd15", "crstnd16", "crstnd17", "crstnd18", "crstnd19",
      "crwalk1", "crwalk2", "crwalk3", "crwalk4", "crwalk5", "crwalk6",
      "crattak1", "crattak2", "crattak3", "crattak4", "crattak5", "crattak6", "crattak7",
      "crattak8", "crattak9",
      "crpain1", "crpain2", "crpain3", "crpain4",
      "crdeath1", "crdeath2", "crdeath3", "crdeath4", "crdeath5",
      "death101", "death102", "death103", "death104", "death105", "death106", "death201",
      "death202", "death203", "death204", "death205", "death206", "death301", "death302",
      "death303", "death304", "death305", "death306", "death307", "death308",
};

TEST(FrameNameTable, StartsWithThePlayerModelFramesAndZeroedSlots) {
  static_assert(sizeof kExpectedNames / sizeof kExpectedNames[0] == 198);
  const FrameNameTable table;
  EXPECT_EQ(table.count, 198);
  for (int k = 0; k < 198; ++k) {
    EXPECT_STREQ(table.names[k], kExpectedNames[k]) << "slot " << k;
    EXPECT_STREQ(kDefaultFrameNames[k], kExpectedNames[k]) << "default " << k;
    // Names go to model files as whole 16-byte fields: nothing after the
    // terminator may be left undefined.
    for (std::size_t i = std::strlen(table.names[k]); i < kFrameNameSize; ++i) {
      ASSERT_EQ(table.names[k][i], 0) << "slot " << k << " byte " << i;
    }
  }
  for (int k = 198; k < kFrameNameSlots; ++k) {
    for (int i = 0; i < kFrameNameSize; ++i) ASSERT_EQ(table.names[k][i], 0) << "slot " << k;
  }
}

}  // namespace
