// orvane-render: a picture or sprite file to an anti-aliased PNG or sprite file.

#include <cstdio>
#include <string>
#include <vector>

#include "render/RenderJob.h"
#include <orvane/Version.h>
#include <orvane/rtl/Exceptions.h>

int main(int argc, char** argv) {
  using namespace orvanetools;
  RenderOptions options;
  const std::string problem = ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (options.help) {
    std::fputs(kRenderUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::puts("orvane-render " ORVANE_VERSION_STRING);
    return 0;
  }
  if (!problem.empty()) {
    std::fprintf(stderr, "orvane-render: %s\n%s", problem.c_str(), kRenderUsage);
    return 2;
  }
  std::string notes;
  try {
    RunRenderJob(options, notes);
  } catch (const orvane::rtl::Exception& e) {
    std::fputs(notes.c_str(), stderr);
    std::fprintf(stderr, "orvane-render: %s\n", e.Message().c_str());
    return 1;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "orvane-render: %s\n", orvane::rtl::EOutOfMemory().Message().c_str());
    return 1;
  }
  std::fputs(notes.c_str(), stderr);
  return 0;
}
