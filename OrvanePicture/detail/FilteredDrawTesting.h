#pragma once
// Settings of the filtered draw that tests change, to drive each way of
// rendering and each band size through the same pictures.

#include <cstddef>

namespace orvane {

// A filtered draw plays the graphic once and reduces the runs it paints,
// a band of target rows at a time. A graphic that reads the pixels of the
// canvas it draws on is drawn over two key colours instead, in bands of
// whole target rows, from the first band it reads in. Both give the same
// pixels.
//
// Sets the bytes of a key surface's band (4 MiB unless changed; the span
// bands follow it) and returns the previous budget; at least one target row
// is drawn at a time.
size_t SetBandBudgetForTesting(size_t bytes);

// Which way filtered draws render: spans where the graphic allows them, or
// always the key surfaces. Returns the previous setting.
enum class FilteredRendering { Automatic, KeySurfaces };
FilteredRendering SetFilteredRenderingForTesting(FilteredRendering how);

// How many filtered draws so far, in this process, went on over key
// surfaces after they had begun from spans.
size_t KeySurfaceFallbacksForTesting();

}  // namespace orvane
