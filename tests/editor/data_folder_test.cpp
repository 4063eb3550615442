// The folder projects' relative picture and texture names are completed against: beside
// the program in a build tree or portable copy, <prefix>/share/zefra when installed.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/app_dir.h"
#include "io/lbl_test_files.h"

namespace zefra::editor {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string folderOf(const fs::path& p) { return fs::weakly_canonical(p).string() + "/"; }

TEST(DataFolder, InstalledProgramUsesShareZefra) {
  TempDir prefix;
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix.path / "share" / "zefra" / "Textures");
  EXPECT_EQ(dataFolderFor((prefix / "bin").string() + "/"), folderOf(prefix.path / "share" / "zefra"));
}

TEST(DataFolder, FoldersBesideTheProgramWinOverAnInstalledTree) {
  TempDir prefix;
  fs::create_directories(prefix.path / "bin" / "Demo");
  fs::create_directories(prefix.path / "share" / "zefra");
  const std::string bin = (prefix / "bin").string() + "/";
  EXPECT_EQ(dataFolderFor(bin), bin);
}

TEST(DataFolder, ProgramFolderWhenNothingIsFoundAndEmptyStaysEmpty) {
  TempDir prefix;
  fs::create_directories(prefix / "bin");
  const std::string bin = (prefix / "bin").string() + "/";
  EXPECT_EQ(dataFolderFor(bin), bin);
  EXPECT_EQ(dataFolderFor(""), "");
}

}  // namespace
}  // namespace zefra::editor
