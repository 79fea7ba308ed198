// English for the runtime's texts, and the locale that keeps them German.

#include <gtest/gtest.h>

#include <cstdlib>

#include <orvane/rtl/EnglishMessages.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace rtl = orvane::rtl;

TEST(EnglishMessagesTest, RuntimeTextsAndFilledFormatsComeOutInEnglish) {
  const struct {
    std::string runtime;
    const char* english;
  } cases[] = {
      {rtl::msg::ReadError, "the file is cut short (stream read error)"},
      {rtl::msg::InvalidMetafile, "not a valid metafile"},
      {rtl::msg::OutOfMemory, "out of memory"},
      {rtl::msg::InOutErrorText(3), "invalid file name or path not found"},
      {rtl::msg::InOutErrorText(123), "I/O error 123"},
      {rtl::msg::FormatS(rtl::msg::FOpenErrorFmt, "/tmp/a b.emf"), "cannot open file /tmp/a b.emf"},
      {rtl::msg::FormatS(rtl::msg::UnknownExtensionFmt, "xyz"), "unknown picture file extension (.xyz)"},
      {rtl::EOutOfMemory().Message(), "out of memory"},
      // Not the runtime's: unchanged, also a format's start without its end.
      {"something else", "something else"},
      {"Datei x", "Datei x"},
  };
  for (const auto& c : cases) EXPECT_EQ(rtl::EnglishMessage(c.runtime), c.english) << c.runtime;
}

TEST(EnglishMessagesTest, TheFirstLocaleVariableSetDecides) {
  const struct {
    const char *all, *messages, *lang;
    bool german;
  } cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", true},  {nullptr, nullptr, "C.UTF-8", false},
      {"C", nullptr, "de_DE.UTF-8", false},     {"", "de_AT.UTF-8", "en_GB.UTF-8", true},
      {nullptr, "en_US.UTF-8", "de_DE", false}, {nullptr, nullptr, nullptr, false},
  };
  for (const auto& c : cases) {
    for (auto [name, value] : {std::pair{"LC_ALL", c.all}, std::pair{"LC_MESSAGES", c.messages},
                               std::pair{"LANG", c.lang}}) {
      if (value) setenv(name, value, 1);
      else unsetenv(name);
    }
    EXPECT_EQ(rtl::LocaleIsGerman(), c.german) << (c.all ? c.all : "-") << (c.messages ? c.messages : "-")
                                               << (c.lang ? c.lang : "-");
    EXPECT_EQ(rtl::UserMessage(rtl::msg::ReadError),
              c.german ? rtl::msg::ReadError : "the file is cut short (stream read error)");
  }
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  unsetenv("LANG");
}
