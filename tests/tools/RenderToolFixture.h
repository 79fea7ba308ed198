#pragma once
// Runs the built orvane-render program in a private folder, with a small
// metafile there to draw: a red ellipse and a blue triangle on 40 x 30 pixels.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/FileStream.h>
#include "emf/EmfWriter.h"

struct RenderResult {
  int status;
  std::string err;
  std::string out;
};

class RenderToolFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("orvane-render-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(40, 30, {1000, 1000}, {100, 100}));
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(200, 0, 0)));
    w.Ellipse(orvane::emf::RectL{2, 2, 30, 28});
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(0, 0, 250)));
    w.Polygon({{25, 3}, {39, 3}, {25, 29}});
    bytes = w.Finish();
    picturePath = Path("picture.emf");
    orvane::rtl::WriteFileAtomically(picturePath, bytes);
    picture.LoadFromBytes(bytes.data(), bytes.size());
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Path(const std::string& name) { return (dir / name).string(); }

  static std::string Slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // Runs the tool with `arguments` (already quoted; may hold a `<` redirection).
  // Runs the tool under `locale` (LANG, with LC_ALL and LC_MESSAGES unset):
  // by default German, whose messages are the runtime's own texts.
  RenderResult Run(const std::string& arguments, const std::string& locale = "de_DE.UTF-8") {
    const std::string errFile = (dir.parent_path() / ("stderr-" + dir.filename().string())).string();
    const std::string outFile = (dir.parent_path() / ("stdout-" + dir.filename().string())).string();
    const std::string command = "env -u LC_ALL -u LC_MESSAGES LANG=" + locale + " " + std::string(ORVANE_RENDER_PATH) +
                                " " + arguments + " 2>" + errFile + " >" + outFile;
    const int raw = std::system(command.c_str());
    RenderResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(errFile), Slurp(outFile)};
    std::filesystem::remove(errFile);
    std::filesystem::remove(outFile);
    return r;
  }

  // The names in the private folder, sorted.
  std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path dir;
  std::vector<uint8_t> bytes;
  std::string picturePath;
  orvane::vcl::TMetafile picture;
};
