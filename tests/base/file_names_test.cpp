#include "base/file_names.h"

#include <gtest/gtest.h>

TEST(FileNames, CutsAtFirstDotOfTheFileNameOnly) {
  EXPECT_EQ(NameWithExtension("C:\\models\\ogre.md2", ".md2"), "C:\\models\\ogre.md2");
  EXPECT_EQ(NameWithExtension("C:\\models\\ogre.old", ".md2"), "C:\\models\\ogre.md2");
  EXPECT_EQ(NameWithExtension("C:\\my.models\\ogre", ".md2"), "C:\\my.models\\ogre.md2");
  EXPECT_EQ(NameWithExtension("./ogre", ".md2"), "./ogre.md2");
  EXPECT_EQ(NameWithExtension("/home/u/.local/share/x.y.z", ".pcx"), "/home/u/.local/share/x.pcx");
  EXPECT_EQ(NameWithExtension("my.skin.tga", ".bmp"), "my.bmp");
  EXPECT_EQ(NameWithExtension("tris", ".pcx"), "tris.pcx");
  EXPECT_EQ(StripExtension("ogre.md2"), "ogre");
}
