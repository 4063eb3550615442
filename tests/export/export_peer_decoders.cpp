#include "export_peer_decoders.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <sys/wait.h>

#ifdef ZEFRA_HAVE_GIFLIB
#include <gif_lib.h>

#include <cstring>
#endif

namespace zefra::exporter::testing {

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A binary PAM (P7) of depth 3 or 4 as RGBA.
std::optional<RgbaFrame> readPam(const fs::path& path) {
  const std::string data = readText(path);
  const auto end = data.find("ENDHDR\n");
  if (data.rfind("P7\n", 0) != 0 || end == std::string::npos) return std::nullopt;
  std::istringstream header(data.substr(3, end - 3));
  RgbaFrame f;
  int depth = 0, maxval = 0;
  std::string key;
  while (header >> key) {
    if (key == "WIDTH") header >> f.width;
    else if (key == "HEIGHT") header >> f.height;
    else if (key == "DEPTH") header >> depth;
    else if (key == "MAXVAL") header >> maxval;
    else if (key == "TUPLTYPE") header >> key;
  }
  const std::size_t n = static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height);
  const std::size_t start = end + 7;
  if ((depth != 3 && depth != 4) || maxval != 255 || data.size() < start + n * static_cast<std::size_t>(depth))
    return std::nullopt;
  f.rgba.resize(n * 4);
  for (std::size_t i = 0; i < n; ++i) {
    for (int c = 0; c < 3; ++c) f.rgba[4 * i + c] = static_cast<std::uint8_t>(data[start + i * depth + c]);
    f.rgba[4 * i + 3] = depth == 4 ? static_cast<std::uint8_t>(data[start + i * depth + 3]) : 255;
  }
  return f;
}

}  // namespace

CommandResult runCommand(const std::string& command, const std::string& scratchDir) {
  const fs::path out = fs::path(scratchDir) / "cmd.out";
  const fs::path err = fs::path(scratchDir) / "cmd.err";
  CommandResult r;
  const int raw = std::system((command + " >" + quote(out.string()) + " 2>" + quote(err.string())).c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readText(out);
  r.err = readText(err);
  return r;
}

bool haveProgram(const std::string& name) {
  return std::system(("command -v " + quote(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string pillowPython() {
  for (const char* candidate : {"/usr/bin/python3", "python3"}) {
    const std::string cmd = std::string(candidate) + " -c 'import PIL' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) == 0) return candidate;
  }
  return {};
}

#ifdef ZEFRA_HAVE_GIFLIB
PeerDecode decodeWithGiflib(const std::string& path) {
  PeerDecode d;
  d.peer = "giflib";
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif) {
    d.error = std::string("open: ") + GifErrorString(error);
    return d;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    d.error = std::string("slurp: ") + GifErrorString(gif->Error);
    DGifCloseFile(gif, &error);
    return d;
  }
  const int w = gif->SWidth;
  const int h = gif->SHeight;
  d.frameCount = gif->ImageCount;
  RgbaFrame screen{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4, 0)};
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(gif, i, &gcb);
    d.delaysCs.push_back(gcb.DelayTime);
    if (i == 0) {
      for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
        const ExtensionBlock& app = image.ExtensionBlocks[e];
        const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
        if (app.Function == APPLICATION_EXT_FUNC_CODE && app.ByteCount == 11 &&
            std::memcmp(app.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount >= 3 && data.Bytes[0] == 1)
          d.loopCount = data.Bytes[1] | (data.Bytes[2] << 8);
      }
    }
    const GifImageDesc& desc = image.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map) {
      d.error = "frame without colour table";
      break;
    }
    if (desc.Left + desc.Width > w || desc.Top + desc.Height > h) {
      d.error = "frame outside the logical screen";
      break;
    }
    const RgbaFrame before = screen;
    for (int y = 0; y < desc.Height; ++y) {
      for (int x = 0; x < desc.Width; ++x) {
        const int index = image.RasterBits[y * desc.Width + x];
        if (index == gcb.TransparentColor) continue;
        if (index >= map->ColorCount) {
          d.error = "pixel index outside the colour table";
          continue;
        }
        std::uint8_t* p = &screen.rgba[4 * (static_cast<std::size_t>(desc.Top + y) * w + desc.Left + x)];
        p[0] = map->Colors[index].Red;
        p[1] = map->Colors[index].Green;
        p[2] = map->Colors[index].Blue;
        p[3] = 255;
      }
    }
    d.frames.push_back(screen);
    if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = desc.Top; y < desc.Top + desc.Height; ++y)
        for (int x = desc.Left; x < desc.Left + desc.Width; ++x)
          for (int c = 0; c < 4; ++c) screen.rgba[4 * (static_cast<std::size_t>(y) * w + x) + c] = 0;
    } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
      screen = before;
    }
  }
  DGifCloseFile(gif, &error);
  return d;
}
#endif

PeerDecode decodeWithImageMagick(const std::string& path, const std::string& scratchDir) {
  PeerDecode d;
  d.peer = "ImageMagick";
  const CommandResult ids = runCommand("identify-im6.q16 -format '%T\\n' " + quote(path), scratchDir);
  if (ids.status != 0 || !ids.err.empty()) {
    d.error = "identify: " + ids.err;
    return d;
  }
  std::istringstream lines(ids.out);
  for (int delay; lines >> delay;) d.delaysCs.push_back(delay);
  d.frameCount = static_cast<int>(d.delaysCs.size());
  const CommandResult verbose = runCommand("identify-im6.q16 -verbose " + quote(path), scratchDir);
  const auto at = verbose.out.find("Iterations: ");
  if (at != std::string::npos) d.loopCount = std::atoi(verbose.out.c_str() + at + 12);
  const std::string prefix = (fs::path(scratchDir) / "im-").string();
  const CommandResult coalesce =
      runCommand("convert-im6.q16 " + quote(path) + " -coalesce " + quote(prefix + "%03d.pam"), scratchDir);
  if (coalesce.status != 0 || !coalesce.err.empty()) {
    d.error = "convert -coalesce: " + coalesce.err;
    return d;
  }
  for (int i = 0; i < d.frameCount; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.pam", i);
    const auto frame = readPam(prefix + name);
    if (!frame) {
      d.error = "coalesced frame " + std::to_string(i) + " missing or unreadable";
      return d;
    }
    d.frames.push_back(*frame);
  }
  return d;
}

PeerDecode decodeWithPillow(const std::string& path, const std::string& scratchDir, const std::string& script,
                            int width, int height) {
  PeerDecode d;
  d.peer = "Pillow";
  const std::string prefix = (fs::path(scratchDir) / "pil-").string();
  const CommandResult r =
      runCommand(pillowPython() + " -W error " + quote(script) + " " + quote(path) + " " + quote(prefix), scratchDir);
  if (r.status != 0 || !r.err.empty()) {
    d.error = "exit " + std::to_string(r.status) + ": " + r.err;
    return d;
  }
  std::istringstream lines(r.out);
  std::string word;
  lines >> word >> d.frameCount >> word >> d.loopCount;
  for (int i = 0; i < d.frameCount; ++i) {
    int ms = 0;
    lines >> word >> ms;
    d.delaysCs.push_back(ms / 10);
    char name[16];
    std::snprintf(name, sizeof name, "%03d.rgba", i);
    RgbaFrame f{width, height, {}};
    const std::string bytes = readText(prefix + name);
    if (bytes.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
      d.error = "frame " + std::to_string(i) + " has " + std::to_string(bytes.size()) + " bytes";
      return d;
    }
    f.rgba.assign(bytes.begin(), bytes.end());
    d.frames.push_back(std::move(f));
  }
  return d;
}

}  // namespace zefra::exporter::testing
