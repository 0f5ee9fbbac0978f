#include "scene/export_context.h"

#include <gtest/gtest.h>

#include <string>

TEST(ExportContext, KeepsTheFirstErrorCutToItsFields) {
  ExportContext context;
  EXPECT_EQ(context.errorRecorded, 0);
  EXPECT_STREQ(context.errorText, "");
  EXPECT_STREQ(context.errorCaption, "");
  EXPECT_EQ(context.nodes, nullptr);
  EXPECT_EQ(context.nodeCount, 0);

  const std::string longText(300, 't');
  const std::string longCaption(600, 'c');
  context.RecordError(longText.c_str(), longCaption.c_str());
  EXPECT_EQ(context.errorRecorded, 1);
  EXPECT_EQ(std::string(context.errorText), longText.substr(0, 255));
  EXPECT_EQ(std::string(context.errorCaption), longCaption.substr(0, 511));

  context.RecordError("second", "Scene Error");
  context.RecordErrorFormat("File Error", "Could not open %s for writing", "x");
  EXPECT_EQ(std::string(context.errorText), longText.substr(0, 255));

  ExportContext formatted;
  const std::string path(400, 'p');
  formatted.RecordErrorFormat("File Error", "Could not open %s for writing", path.c_str());
  EXPECT_EQ(std::string(formatted.errorText), ("Could not open " + path).substr(0, 255));
  EXPECT_STREQ(formatted.errorCaption, "File Error");

  // A reason goes with its own failure only.
  formatted.RecordErrorBecause("compressed BMP is not read", "File Error", "Could not load %s", "b");
  EXPECT_STREQ(formatted.errorReason, "");
  ExportContext because;
  because.RecordErrorBecause("compressed BMP is not read", "File Error", "Could not load %s", "b");
  EXPECT_STREQ(because.errorText, "Could not load b");
  EXPECT_STREQ(because.errorReason, "compressed BMP is not read");
}
