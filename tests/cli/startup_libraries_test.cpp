// What a command that draws no text loads: neither FreeType nor fontconfig (with the
// libraries they bring), which cost every short command its start-up when they were
// linked. The dynamic linker's own trace (LD_DEBUG=files) names every library it opens.

#include <gtest/gtest.h>

#include <string>

#include "cli/cli_run.h"

namespace zefra::testing {
namespace {

TEST(CliStartup, CommandsWithoutTextLoadNoFontLibraries) {
  TempDir dir;
  // A 1 x 1 GIF: one pixel, literal code 0 between a clear and an end code.
  writeBytes(dir / "one.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0,
                               0, 2, 2, 0x44, 0x01, 0, 0x3B});
  ASSERT_EQ(runZefraCli(dir, "new p.lbl").exitCode, 0);
  for (const std::string arguments : {"--version", "gif-info --pixels one.gif", "info p.lbl"}) {
    SCOPED_TRACE(arguments);
    const CliResult run = runZefraCli(dir, arguments, "LD_DEBUG=files");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // The trace is there, or the check below proves nothing.
    EXPECT_TRUE(contains(run.err, "file=libc.so")) << run.err;
    EXPECT_FALSE(contains(run.err, "libfreetype")) << run.err;
    EXPECT_FALSE(contains(run.err, "libfontconfig")) << run.err;
  }
}

}  // namespace
}  // namespace zefra::testing
