#include "render/Batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <map>
#include <system_error>
#include <thread>

#include <orvane/rtl/EnglishMessages.h>
#include <orvane/rtl/Exceptions.h>
#include "render/BatchProgress.h"

namespace orvanetools {

namespace {

std::string OutputName(const std::string& input, OutputFormat format) {
  const auto slash = input.find_last_of('/');
  std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name + (format == OutputFormat::Sprite ? ".obm" : ".png");
}

void Report(BatchProgress& progress, const std::string& path, const std::string& text) {
  progress.Line("orvane-render: " + path + ": " + text);
}

}  // namespace

std::string PlanBatch(const RenderOptions& o, std::vector<RenderTask>& tasks) {
  std::map<std::string, std::string> inputOfOutput;
  const std::string folder = o.outputDir.back() == '/' ? o.outputDir : o.outputDir + "/";
  for (const std::string& input : o.inputs) {
    const std::string output = folder + OutputName(input, o.format);
    const auto [at, fresh] = inputOfOutput.emplace(output, input);
    if (!fresh) return input + " and " + at->second + " would both be written to " + output;
    tasks.push_back({input, output});
  }
  return "";
}

int RunBatch(const RenderOptions& o, const std::vector<RenderTask>& tasks) {
  struct stat folder {};
  const bool found = ::stat(o.outputDir.c_str(), &folder) == 0;
  if (!found || !S_ISDIR(folder.st_mode)) {
    // Every file would fail the same way: say it once, draw nothing.
    const int code = !found && errno == EACCES ? 5 : 3;
    std::fprintf(stderr, "orvane-render: %s: %s\n", o.outputDir.c_str(),
                 orvane::rtl::UserMessage(orvane::rtl::EInOutError(code).Message()).c_str());
    return 1;
  }
  BatchProgress progress(tasks.size(), ::isatty(STDERR_FILENO) == 1);
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  const size_t threads = std::min<size_t>(o.jobs ? o.jobs : processors, tasks.size());
  const InputFiles inputs(o.inputs);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < tasks.size(); i = next++) {
      const RenderOutcome outcome = RunRenderTask(o, tasks[i], inputs);
      if (!outcome.notes.empty()) Report(progress, tasks[i].input, outcome.notes.substr(0, outcome.notes.size() - 1));
      if (outcome.written && o.verbose) Report(progress, tasks[i].input, DescribeOutcome(o, outcome));
      if (!outcome.written) Report(progress, outcome.failedPath, outcome.message);
      progress.FileDone(outcome.written);
    }
  };
  std::vector<std::thread> workers;
  try {
    for (size_t t = 1; t < threads; ++t) workers.emplace_back(work);
  } catch (const std::system_error&) {
    // No more threads to be had: the ones running share the work.
  }
  work();
  for (std::thread& worker : workers) worker.join();
  progress.Finish();
  return progress.Failed() ? 1 : 0;
}

}  // namespace orvanetools
