// orvane-demo-snapshot OUTPUT.png: the demo's main window, built and painted
// once headless in the current directory, written as a PNG. Message boxes
// that the paint produced go to standard error as caption and text.

#include <cstdio>

#include <orvane/rtl/Exceptions.h>
#include "snapshot/DemoSnapshot.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: orvane-demo-snapshot OUTPUT.png\n");
    return 2;
  }
  try {
    orvanetools::DemoSnapshot snapshot;
    snapshot.Paint();
    for (const auto& box : snapshot.MessageBoxes()) std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
    orvane::WritePngFile(argv[1], snapshot.ClientArea());
  } catch (const orvane::rtl::Exception& e) {
    std::fprintf(stderr, "orvane-demo-snapshot: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
