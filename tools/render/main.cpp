// orvane-render: pictures or sprite files to anti-aliased PNGs or sprite files.

#include <cstdio>
#include <string>
#include <vector>

#include "render/Batch.h"
#include "render/OutputFile.h"
#include "render/RenderJob.h"
#include "render/StandardDescriptors.h"
#include <orvane/Version.h>

namespace {

using namespace orvanetools;

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "orvane-render: %s\nTry 'orvane-render --help'.\n", problem.c_str());
  return 2;
}

// The single form: one INPUT, one OUTPUT; notes as they come, unprefixed.
int RunSingle(const RenderOptions& options) {
  const RenderTask task{options.inputs.front(), options.output};
  const RenderOutcome outcome = RunRenderTask(options, task, InputFiles(options.inputs));
  std::fputs(outcome.notes.c_str(), stderr);
  if (!outcome.written) {
    std::fprintf(stderr, "orvane-render: %s: %s\n", outcome.failedPath.c_str(), outcome.message.c_str());
    return 1;
  }
  if (options.verbose)
    std::fprintf(stderr, "orvane-render: %s: %s\n", task.input.c_str(), DescribeOutcome(options, outcome).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  OpenClosedStandardDescriptors();
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
  if (!problem.empty()) return UsageError(problem);
  RemoveTemporaryFilesOnSignals();
  if (!options.Batch()) return RunSingle(options);
  std::vector<RenderTask> tasks;
  const std::string collision = PlanBatch(options, tasks);
  if (!collision.empty()) return UsageError(collision);
  return RunBatch(options, tasks);
}
