#include "export/gif_file_name.h"
#include "export/gif_statistics.h"

#include <gtest/gtest.h>

namespace zefra::exporter {
namespace {

TEST(GifFileName, KeepsNamesEndingInGifInAnyCase) {
  EXPECT_EQ(gifFileNameFor("banner.gif"), "banner.gif");
  EXPECT_EQ(gifFileNameFor("banner.GIF"), "banner.GIF");
  EXPECT_EQ(gifFileNameFor("/tmp/x/banner.GiF"), "/tmp/x/banner.GiF");
  EXPECT_EQ(gifFileNameFor(".gif"), ".gif");
}

TEST(GifFileName, AppendsGifToEveryOtherName) {
  EXPECT_EQ(gifFileNameFor("banner"), "banner.gif");
  // Another extension is kept; the rule looks at the last four characters only.
  EXPECT_EQ(gifFileNameFor("banner.png"), "banner.png.gif");
  EXPECT_EQ(gifFileNameFor("banner.gifx"), "banner.gifx.gif");
  EXPECT_EQ(gifFileNameFor("banner_gif"), "banner_gif.gif");
  EXPECT_EQ(gifFileNameFor("gif"), "gif.gif");
  EXPECT_EQ(gifFileNameFor(""), ".gif");
}

TEST(GifFileName, ProposedNameDropsDirectoryAndExtension) {
  EXPECT_EQ(proposedGifBaseName("/home/ann/sale.lbl"), "sale");
  EXPECT_EQ(proposedGifBaseName("sale.v2.lbl"), "sale.v2");
  EXPECT_EQ(proposedGifBaseName("/home/ann/noext"), "noext");
  EXPECT_EQ(proposedGifBaseName("/home/ann/.hidden"), ".hidden");
  EXPECT_EQ(proposedGifBaseName(""), "");
}

TEST(GifFileName, MessagesNameTheFileWithoutDirectory) {
  EXPECT_EQ(gifSavedMessage("/tmp/out/banner.gif"), "File banner.gif has been successfully created!");
  EXPECT_EQ(gifWriteErrorMessage("/no/such/dir/banner.gif"), "Error writing the file banner.gif");
  EXPECT_EQ(gifSavedMessage("plain.gif"), "File plain.gif has been successfully created!");
}

TEST(GifStatistics, LinesReadExactlyAsThePreviewShowsThem) {
  GifStatistics s;
  s.fileSize = 123456;
  s.frames = 127;
  s.colors = 256;
  s.width = 468;
  s.height = 60;
  const auto lines = statisticsLines(s);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "File Size: 123456 bytes");  // no thousands separator
  EXPECT_EQ(lines[1], "Frames: 127");
  EXPECT_EQ(lines[2], "Colors: 256");
  EXPECT_EQ(lines[3], "Image Size: 468 x 60 pixels");
}

}  // namespace
}  // namespace zefra::exporter
