#include "bbstring.h"

#include <cstdlib>
#include <cstring>
#include <vector>

String::Rep String::nullRep = {1, 0, {0}};
String bb_load_error;

String::Rep* String::Alloc(int length) {
  if (length <= 0) return &nullRep;
  Rep* rep = static_cast<Rep*>(std::malloc(sizeof(Rep) + sizeof(Char) * std::size_t(length)));
  if (!rep) throw std::bad_alloc();
  rep->refs = 1;
  rep->length = length;
  return rep;
}

void String::Release(Rep* rep) {
  if (rep != &nullRep && --rep->refs == 0) std::free(rep);
}

String::String() : rep_(&nullRep) {}
String::String(const String& s) : rep_(s.rep_) { Retain(rep_); }
String::String(String&& s) noexcept : rep_(s.rep_) { s.rep_ = &nullRep; }

String::String(const char* text) : String(text, text ? int(std::strlen(text)) : 0) {}

String::String(const char* text, int length) : rep_(Alloc(length)) {
  for (int i = 0; i < length; ++i) rep_->data[i] = static_cast<unsigned char>(text[i]);
}

String::String(const Char* units, int length) : rep_(Alloc(length)) {
  if (length > 0) std::memcpy(rep_->data, units, sizeof(Char) * std::size_t(length));
}

String::String(Char ch, int count) : rep_(Alloc(count)) {
  for (int i = 0; i < count; ++i) rep_->data[i] = ch;
}

String::String(int n) : String(std::to_string(n).c_str()) {}

String::String(float n) : String(double(n)) {}

namespace {
std::string FloatText(double n) {
  char buf[40];
  std::snprintf(buf, sizeof(buf), "%.17lg", n);
  std::string text(buf);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}
}  // namespace

String::String(double n) : String(FloatText(n).c_str()) {}

String::~String() { Release(rep_); }

String& String::operator=(const String& s) {
  Retain(s.rep_);
  Release(rep_);
  rep_ = s.rep_;
  return *this;
}

String& String::operator=(String&& s) noexcept {
  if (this != &s) {
    Release(rep_);
    rep_ = s.rep_;
    s.rep_ = &nullRep;
  }
  return *this;
}

String String::operator+(const String& s) const {
  if (!Length()) return s;
  if (!s.Length()) return *this;
  Rep* rep = Alloc(Length() + s.Length());
  std::memcpy(rep->data, Data(), sizeof(Char) * Length());
  std::memcpy(rep->data + Length(), s.Data(), sizeof(Char) * s.Length());
  return String(rep);
}

String& String::operator+=(const String& s) { return *this = *this + s; }

String operator+(const char* a, const String& b) { return String(a) + b; }

bool String::operator==(const String& s) const {
  return Length() == s.Length() && std::memcmp(Data(), s.Data(), sizeof(Char) * Length()) == 0;
}

int String::Compare(const String& s) const {
  int n = std::min(Length(), s.Length());
  for (int i = 0; i < n; ++i) {
    if (int d = int((*this)[i]) - int(s[i])) return d;
  }
  return Length() - s.Length();
}

int String::Find(const String& s, int start) const {
  if (start < 0) start = 0;
  for (int i = start; i + s.Length() <= Length(); ++i) {
    if (std::memcmp(Data() + i, s.Data(), sizeof(Char) * s.Length()) == 0) return i;
  }
  return -1;
}

int String::FindLast(const String& s) const { return FindLast(s, Length() - s.Length()); }

int String::FindLast(const String& s, int start) const {
  for (int i = std::min(start, Length() - s.Length()); i >= 0; --i) {
    if (std::memcmp(Data() + i, s.Data(), sizeof(Char) * s.Length()) == 0) return i;
  }
  return -1;
}

bool String::StartsWith(const String& s) const {
  return s.Length() <= Length() && std::memcmp(Data(), s.Data(), sizeof(Char) * s.Length()) == 0;
}

bool String::EndsWith(const String& s) const {
  return s.Length() <= Length() &&
         std::memcmp(Data() + Length() - s.Length(), s.Data(), sizeof(Char) * s.Length()) == 0;
}

String String::Slice(int from) const { return Slice(from, Length()); }

String String::Slice(int from, int to) const {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  if (from == 0 && to == Length()) return *this;
  return String(Data() + from, to - from);
}

String String::ToUpper() const {
  String out(Data(), Length());
  for (int i = 0; i < Length(); ++i) {
    Char c = out.rep_->data[i];
    if (c >= 'a' && c <= 'z') out.rep_->data[i] = Char(c - 32);
  }
  return out;
}

String String::ToLower() const {
  String out(Data(), Length());
  for (int i = 0; i < Length(); ++i) {
    Char c = out.rep_->data[i];
    if (c >= 'A' && c <= 'Z') out.rep_->data[i] = Char(c + 32);
  }
  return out;
}

String String::Trim() const {
  int from = 0, to = Length();
  while (from < to && (*this)[from] <= ' ') ++from;
  while (to > from && (*this)[to - 1] <= ' ') --to;
  return Slice(from, to);
}

int String::ToInt() const {
  char buf[64];
  int n = std::min(Length(), 63);
  for (int i = 0; i < n; ++i) buf[i] = char((*this)[i]);
  buf[n] = 0;
  // strtol saturates where atoi would overflow; the narrowing keeps an int.
  long v = std::strtol(buf, nullptr, 10);
  if (v > 0x7fffffffL) return 0x7fffffff;
  if (v < -0x7fffffffL - 1) return -0x7fffffff - 1;
  return int(v);
}

float String::ToFloat() const {
  std::string narrow = ToNarrow();
  return std::strtof(narrow.c_str(), nullptr);
}

Array<String> String::Split(const String& separator) const {
  if (!separator.Length()) {
    Array<String> units(Length());
    for (int i = 0; i < Length(); ++i) units[i] = String((*this)[i]);
    return units;
  }
  int count = 1;
  for (int i = Find(separator); i != -1; i = Find(separator, i + separator.Length())) ++count;
  Array<String> pieces(count);
  int start = 0;
  for (int k = 0; k < count - 1; ++k) {
    int at = Find(separator, start);
    pieces[k] = Slice(start, at);
    start = at + separator.Length();
  }
  pieces[count - 1] = Slice(start);
  return pieces;
}

String String::Join(const Array<String>& pieces) const {
  int n = pieces.Length();
  if (n == 0) return String();
  if (n == 1) return pieces[0];
  int length = Length() * (n - 1);
  for (const String& piece : pieces) length += piece.Length();
  Rep* rep = Alloc(length);
  Char* out = rep->data;
  for (int i = 0; i < n; ++i) {
    if (i) {
      std::memcpy(out, Data(), sizeof(Char) * Length());
      out += Length();
    }
    std::memcpy(out, pieces[i].Data(), sizeof(Char) * pieces[i].Length());
    out += pieces[i].Length();
  }
  return String(rep);
}

String String::Replace(const String& find, const String& replacement) const {
  if (!find.Length() || Find(find) == -1) return *this;
  return replacement.Join(Split(find));
}

std::string String::ToUtf8() const {
  std::string out;
  out.reserve(std::size_t(Length()));
  for (int i = 0; i < Length(); ++i) {
    unsigned c = (*this)[i];
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string String::ToNarrow() const {
  std::string out(std::size_t(Length()), '\0');
  for (int i = 0; i < Length(); ++i) out[std::size_t(i)] = char((*this)[i]);
  return out;
}

namespace {

bool Continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes UTF-8 of one to three bytes per character into `out`; false on
// anything else (four-byte leads, stray continuations, cut sequences).
bool DecodeUtf8(const unsigned char* p, int n, std::vector<Char>& out) {
  int i = 0;
  while (i < n) {
    unsigned c = p[i];
    if (c < 0x80) {
      out.push_back(Char(c));
      i += 1;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < n && Continuation(p[i + 1])) {
      out.push_back(Char(((c & 0x1F) << 6) | (p[i + 1] & 0x3F)));
      i += 2;
    } else if ((c & 0xF0) == 0xE0 && i + 2 < n && Continuation(p[i + 1]) && Continuation(p[i + 2])) {
      out.push_back(Char(((c & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F)));
      i += 3;
    } else {
      return false;
    }
  }
  return true;
}

String DecodeUtf16(const unsigned char* p, int n, bool big_endian) {
  int count = n / 2;
  std::vector<Char> units(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    unsigned a = p[2 * i], b = p[2 * i + 1];
    units[std::size_t(i)] = Char(big_endian ? (a << 8 | b) : (b << 8 | a));
  }
  return String(units.data(), count);
}

}  // namespace

String String::FromUtf8(const unsigned char* bytes, int length) {
  std::vector<Char> units;
  units.reserve(std::size_t(std::max(length, 0)));
  if (DecodeUtf8(bytes, length, units)) return String(units.data(), int(units.size()));
  return String(reinterpret_cast<const char*>(bytes), length);
}

String String::Decode(const unsigned char* p, int n) {
  if (n <= 0) return String();
  bb_load_error = String();
  if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) return DecodeUtf16(p + 2, n - 2, true);
  if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) return DecodeUtf16(p + 2, n - 2, false);
  if (n > 2 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
    p += 3;
    n -= 3;
  }
  std::vector<Char> units;
  units.reserve(std::size_t(n));
  if (DecodeUtf8(p, n, units)) return String(units.data(), int(units.size()));
  bb_load_error = String("Invalid UTF-8");
  return String(reinterpret_cast<const char*>(p), n);
}

String String::Load(std::FILE* file) {
  std::vector<unsigned char> bytes;
  unsigned char block[4096];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof(block), file)) > 0) bytes.insert(bytes.end(), block, block + n);
  return Decode(bytes.data(), int(bytes.size()));
}
