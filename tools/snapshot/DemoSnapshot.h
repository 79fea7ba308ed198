#pragma once
// Builds the demo's main window exactly as the program does, on a headless
// backend, paints it once in the current directory, and reads back the
// client area and the message boxes the paint produced.

#include <memory>
#include <string>
#include <vector>

#include <orvane/backend/HeadlessBackend.h>
#include <orvane/forms/Application.h>
#include <orvane/Png.h>

namespace orvanetools {

class DemoSnapshot {
 public:
  DemoSnapshot();  // creates the application and Form1 and shows it (no paint yet)
  ~DemoSnapshot();
  // Handles what is pending: the first call paints the whole window.
  void Paint();
  // Marks a client rectangle invalid and repaints it.
  void Repaint(const orvane::gdi::Rect& rect);
  int32_t Pixel(int32_t x, int32_t y) const;
  orvane::PngImage ClientArea() const;
  const std::vector<orvane::backend::RecordedMessageBox>& MessageBoxes() const { return backend_.MessageBoxes(); }
  orvane::backend::HeadlessBackend& Backend() { return backend_; }
  orvane::vcl::TApplication& Application() { return *application_; }

 private:
  orvane::backend::HeadlessBackend backend_;
  std::unique_ptr<orvane::vcl::TApplication> application_;
};

}  // namespace orvanetools
