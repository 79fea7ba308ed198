// The demo's entry: initialise, create the main window, run, end.

#include <exception>

#include "OrvanePictureUnit1.h"
#include <orvane/backend/SdlBackend.h>
#include <orvane/forms/Application.h>
#include <orvane/forms/LastChance.h>

int main() {
  orvane::backend::UseSdlBackend();
  try {
    RegisterOrvanePictureUnit1();
    orvane::vcl::TApplication application;
    application.Initialize();
    application.CreateForm(Form1);
    application.Run();
    return 0;
  } catch (...) {
    return orvane::vcl::HandleLastChance(std::current_exception());
  }
}
