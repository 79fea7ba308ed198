// UTF-8 and UTF-16 to UTF-32. Every ill-formed sequence (a stray
// continuation byte, a truncated sequence, an overlong form, an encoded
// surrogate, a value above U+10FFFF, an unpaired surrogate) becomes one
// U+FFFD per maximal ill-formed subpart, the usual recommendation, so text
// from files never stops the conversion.

#include <orvane/gdi/FontEngine.h>

namespace orvane::gdi {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::u32string Utf8ToUtf32(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int need = 0;
    char32_t cp = 0;
    // The allowed range of the second byte narrows for E0, ED, F0 and F4 so
    // that overlong forms, surrogates and values past U+10FFFF are refused
    // at the earliest byte.
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < need; ++k, ++j) {
      if (j >= n) {
        ok = false;
        break;
      }
      const unsigned char c = s[j];
      const unsigned char min = k == 0 ? lo : 0x80, max = k == 0 ? hi : 0xBF;
      if (c < min || c > max) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    out.push_back(ok ? cp : kReplacement);
    i = j;  // on failure: resume at the offending byte
  }
  return out;
}

std::u32string Utf16ToUtf32(const uint16_t* text, size_t count) {
  std::u32string out;
  if (!text) return out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint16_t u = text[i];
    if (u < 0xD800 || u > 0xDFFF) {
      out.push_back(u);
    } else if (u <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((char32_t{u} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00));
      ++i;
    } else {
      out.push_back(kReplacement);
    }
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace orvane::gdi
