#pragma once
// What orvane-render does once its arguments are parsed.

#include <string>

#include "render/RenderOptions.h"

namespace orvanetools {

// Renders and writes the output; raises orvane::rtl::Exception on failure (nothing is
// written then). Notes for the user (such as a size scaled down) go to `notes`.
void RunRenderJob(const RenderOptions& options, std::string& notes);

}  // namespace orvanetools
