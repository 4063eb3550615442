#include "export/project_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace zefra::exporter {
namespace {

namespace fs = std::filesystem;

TEST(ProjectFolder, CompletesOnlyRelativeNamesFoundBesideTheProject) {
  const fs::path dir = fs::temp_directory_path() / "zefra_project_folder_test";
  fs::remove_all(dir);
  fs::create_directories(dir / "pics");
  std::ofstream(dir / "pics" / "logo.bmp") << "x";
  std::ofstream(dir / "tex.bmp") << "x";

  auto project = std::make_unique<model::LabelProject>();
  project->clearLbl();
  project->applyNewDefaults();
  project->frameCount = 2;
  project->frame(2) = project->frame(1);
  project->frame(1).pictureFile[0].assign("pics/logo.bmp");
  project->frame(2).pictureFile[3].assign("pics/logo.bmp");
  project->frame(1).textureFile[1].assign("tex.bmp");
  project->frame(1).pictureFile[1].assign("missing.bmp");
  const std::string absolute = (dir / "tex.bmp").string();
  project->frame(1).pictureFile[2].assign(absolute);
  project->frame(3).pictureFile[0].assign("pics/logo.bmp");  // past the frame count

  EXPECT_EQ(completeNamesFromProjectFolder(*project, dir, "/nonexistent/"), 3);
  EXPECT_EQ(project->frame(1).pictureFile[0].str(), (dir / "pics" / "logo.bmp").string());
  EXPECT_EQ(project->frame(2).pictureFile[3].str(), (dir / "pics" / "logo.bmp").string());
  EXPECT_EQ(project->frame(1).textureFile[1].str(), (dir / "tex.bmp").string());
  EXPECT_EQ(project->frame(1).pictureFile[1].str(), "missing.bmp");
  EXPECT_EQ(project->frame(1).pictureFile[2].str(), absolute);
  EXPECT_EQ(project->frame(3).pictureFile[0].str(), "pics/logo.bmp");

  // A name found under the program's folder is the compositor's business: left alone.
  project->frame(1).pictureFile[0].assign("pics/logo.bmp");
  EXPECT_EQ(completeNamesFromProjectFolder(*project, "/nonexistent", dir.string() + "/"), 0);
  EXPECT_EQ(project->frame(1).pictureFile[0].str(), "pics/logo.bmp");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zefra::exporter
