// The demo's entry: initialise, create the main window, run, end.

#include <exception>

#include "OrvanePictureUnit1.h"
#include "forms/Application.h"
#include "forms/LastChance.h"

int main() {
  try {
    RegisterOrvanePictureUnit1();
    vcl::TApplication application;
    application.Initialize();
    application.CreateForm(Form1);
    application.Run();
    return 0;
  } catch (...) {
    return vcl::HandleLastChance(std::current_exception());
  }
}
