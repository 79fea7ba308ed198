#include <orvane/forms/Application.h>

#include <unistd.h>

#include <new>
#include <vector>

#include <orvane/backend/Backend.h>
#include <orvane/gdi/FontEngine.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

TApplication* Application = nullptr;

std::string ExeFileName() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  std::string path(buffer.data(), static_cast<size_t>(n));
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

// Lower case for ASCII and the Latin-1 letters (À..Þ but ×); the rest stays.
uint32_t LowerCodePoint(uint32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  return cp;
}

}  // namespace

std::string TApplication::TitleFromExeName(const std::string& path) {
  std::string name = path;
  const auto folder = name.find_last_of("/\\");
  if (folder != std::string::npos) name.erase(0, folder + 1);
  const auto dot = name.find('.');
  if (dot != std::string::npos) name.erase(dot);
  // Decode UTF-8 (a malformed byte stands for itself) and lower all but the first character.
  std::string title;
  bool first = true;
  for (size_t i = 0; i < name.size();) {
    const auto b = static_cast<unsigned char>(name[i]);
    size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool valid = len != 0 && i + len <= name.size();
    uint32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; valid && k < len; ++k) {
      const auto c = static_cast<unsigned char>(name[i + k]);
      if ((c & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!valid) {
      title += name[i];
      ++i;
    } else {
      if (first) title.append(name, i, len);
      else gdi::AppendUtf8(title, LowerCodePoint(cp));
      i += len;
    }
    first = false;
  }
  return title;
}

TApplication::TApplication() : TComponent(nullptr), ownBackend_(backend::CreateDefaultBackend()) {
  backend_ = ownBackend_.get();
  title_ = TitleFromExeName(ExeFileName());
  Application = this;
}

TApplication::TApplication(backend::Backend& backend) : TComponent(nullptr), backend_(&backend) {
  title_ = TitleFromExeName(ExeFileName());
  Application = this;
}

TApplication::~TApplication() {
  mainForm_ = nullptr;
  DestroyComponents();
  if (Application == this) Application = nullptr;
}

void TApplication::FormCreated(TForm& form) {
  form.ReadDefinition();
  if (!mainForm_) {
    mainForm_ = &form;
    form.HandleNeeded();
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  backend_->PostQuit();
}

void TApplication::Dispatch(const backend::Event& event) {
  if (event.kind == backend::Event::Kind::Quit) {
    terminated_ = true;
    return;
  }
  for (int i = 0; i < ComponentCount(); ++i) {
    auto* form = dynamic_cast<TForm*>(Components(i));
    if (form && form->Window() && form->Window()->Id() == event.window) {
      form->HandleEvent(event);
      return;
    }
  }
}

bool TApplication::PaintForms() {
  bool painted = false;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* form = dynamic_cast<TForm*>(Components(i))) painted = form->PaintPending() || painted;
  return painted;
}

bool TApplication::HandleMessage() {
  backend::Event event;
  bool have = backend_->PollEvent(event);
  if (!have) {
    // Painting comes after every other message, as the window system does.
    if (PaintForms()) return true;
    have = backend_->WaitEvent(event);
  }
  if (!have) return false;
  try {
    Dispatch(event);
  } catch (...) {
    HandleException(std::current_exception());
  }
  return true;
}

void TApplication::ProcessMessages() {
  backend::Event event;
  while (backend_->PollEvent(event)) {
    try {
      Dispatch(event);
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
  PaintForms();
}

void TApplication::Run() {
  if (!mainForm_) return;
  mainForm_->Show();
  while (!terminated_) {
    if (!HandleMessage()) break;
  }
}

void TApplication::ShowException(const std::exception& error) {
  backend_->MessageBox(title_, rtl::WithFullStop(error.what()), backend::MessageIcon::Error,
                       backend::MessageButtons::Ok);
}

void TApplication::HandleException(std::exception_ptr error) {
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const rtl::EAbort&) {
  } catch (const std::bad_alloc&) {
    ShowException(rtl::EOutOfMemory());
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    backend_->MessageBox(title_, rtl::WithFullStop(rtl::msg::UnknownException), backend::MessageIcon::Error,
                         backend::MessageButtons::Ok);
  }
}

}  // namespace orvane::vcl
