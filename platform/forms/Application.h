#pragma once
// TApplication: the application object. It owns the forms, runs the message
// loop and is the default display of exceptions that leave message
// handling: a message box with an OK button and the error icon, captioned
// with Title, whose text is the message with a full stop added when its last
// character sorts after "." (EAbort shows nothing).
//
// Start-up is Initialize, CreateForm (the first form becomes the main form),
// Run (shows the main form and handles messages until Terminate or the main
// form closes). The global Application points at the live object.

#include <exception>
#include <memory>
#include <new>
#include <string>
#include <type_traits>

#include <orvane/forms/Form.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::backend {
class Backend;
}  // namespace orvane::backend

namespace orvane::vcl {

class TApplication : public TComponent {
 public:
  // An application on the platform's default backend.
  TApplication();
  // An application on a given backend (which must outlive it), e.g. a headless one.
  explicit TApplication(backend::Backend& backend);
  ~TApplication() override;
  const char* ClassName() const override { return "TApplication"; }

  void Initialize() {}
  // Creates a form of class T into `reference`: the reference is set before
  // construction begins and reset to null if construction (the form's
  // definition included) fails. The first form created becomes the main form.
  template <class T>
  void CreateForm(T*& reference);

  void Run();
  // Handles one pending message, or paints a form that needs it, or waits
  // for a message; false when there is nothing to do and nothing will come.
  bool HandleMessage();
  // Handles every pending message, then paints every form that needs it.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }

  TForm* MainForm() const { return mainForm_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  // The title for an executable path: the file name without its folder, cut
  // at its first ".", every character after the first in lower case.
  static std::string TitleFromExeName(const std::string& path);

  // The default exception display (see above).
  void HandleException(std::exception_ptr error);
  void ShowException(const std::exception& error);

  backend::Backend& Backend() { return *backend_; }

 private:
  void FormCreated(TForm& form);
  void Dispatch(const struct backend::Event& event);
  bool PaintForms();

  std::unique_ptr<backend::Backend> ownBackend_;
  backend::Backend* backend_;
  TForm* mainForm_ = nullptr;
  std::string title_;
  bool terminated_ = false;
};

// The live application object, or nullptr.
extern TApplication* Application;

// The executable's file name without its folder ("" when unknown).
std::string ExeFileName();

template <class T>
void TApplication::CreateForm(T*& reference) {
  static_assert(std::is_base_of_v<TForm, T>, "CreateForm makes forms");
  void* memory = ::operator new(sizeof(T));
  reference = static_cast<T*>(memory);
  T* form = nullptr;
  try {
    form = ::new (memory) T(this);
  } catch (...) {
    reference = nullptr;
    ::operator delete(memory);
    throw;
  }
  try {
    FormCreated(*form);
  } catch (...) {
    reference = nullptr;
    delete form;
    throw;
  }
}

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
