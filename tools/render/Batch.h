#pragma once
// The batch form of orvane-render: every INPUT drawn into the output folder
// on several threads of one process.

#include <string>
#include <vector>

#include "render/RenderJob.h"
#include "render/RenderOptions.h"

namespace orvanetools {

// The output of each input, DIR/<input name without its extension>.<format>.
// Returns one line naming the usage error when two inputs would write the
// same output, otherwise an empty string.
std::string PlanBatch(const RenderOptions& options, std::vector<RenderTask>& tasks);

// Draws the tasks; a failure does not stop the others. Returns the exit
// status: 0 when every output was written, 1 otherwise.
int RunBatch(const RenderOptions& options, const std::vector<RenderTask>& tasks);

}  // namespace orvanetools
