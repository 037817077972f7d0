// Immutable, reference-counted UTF-16 text.
//
// A String is a handle to a shared representation; copying shares it and the
// last handle frees it. Every operation builds a new string. Characters are
// single 16-bit units: surrogate pairs are never combined.
#pragma once

#include <cstdio>
#include <string>

typedef unsigned short Char;

template <class T>
class Array;

class String {
 public:
  String();
  String(const String& s);
  String(String&& s) noexcept;
  // Each byte widened to one unit (Latin-1).
  String(const char* text);
  String(const char* text, int length);
  String(const Char* units, int length);
  // One character.
  explicit String(Char ch, int count = 1);
  // printf "%d".
  explicit String(int n);
  // printf "%.17lg" of the value as a double, with ".0" appended when the
  // text holds neither "." nor "e" (1.0 -> "1.0", 0.1f -> "0.10000000149011612").
  explicit String(float n);
  explicit String(double n);
  ~String();

  String& operator=(const String& s);
  String& operator=(String&& s) noexcept;

  int Length() const { return rep_->length; }
  const Char* Data() const { return rep_->data; }
  // No bounds check: callers keep the index in range.
  Char operator[](int index) const { return rep_->data[index]; }

  String operator+(const String& s) const;
  String& operator+=(const String& s);
  bool operator==(const String& s) const;
  bool operator!=(const String& s) const { return !(*this == s); }
  bool operator<(const String& s) const { return Compare(s) < 0; }
  // Unit-wise order; a prefix sorts first.
  int Compare(const String& s) const;

  // Index of the first occurrence of `s` at or after `start` (negative counts
  // as 0), or -1.
  int Find(const String& s, int start = 0) const;
  // Index of the last occurrence of `s` starting at or before `start`, or -1.
  int FindLast(const String& s) const;
  int FindLast(const String& s, int start) const;
  bool Contains(const String& s) const { return Find(s) != -1; }
  bool StartsWith(const String& s) const;
  bool EndsWith(const String& s) const;
  // Sub-range [from, to) with both indices clamped to the string.
  String Slice(int from) const;
  String Slice(int from, int to) const;

  String ToUpper() const;
  String ToLower() const;
  String Trim() const;

  // The first 63 units narrowed to bytes and read as a decimal int (leading
  // blanks and sign accepted; stops at the first non-digit; none gives 0).
  int ToInt() const;
  float ToFloat() const;

  // Pieces between non-overlapping occurrences of `separator`, scanning
  // from the left; n occurrences give n + 1 pieces, empty ones included.
  // An empty separator gives one string per unit.
  Array<String> Split(const String& separator) const;
  // The pieces with this string between each two.
  String Join(const Array<String>& pieces) const;
  // Every non-overlapping occurrence of `find` replaced. `find` must not
  // be empty.
  String Replace(const String& find, const String& replacement) const;

  // UTF-8: a unit below 0x80 is one byte, below 0x800 two, any other three.
  std::string ToUtf8() const;
  // Each unit narrowed to its low byte.
  std::string ToNarrow() const;
  // Decodes UTF-8 of at most 3 bytes per character (no validation of
  // surrogates); invalid sequences give Latin-1 of the whole input.
  static String FromUtf8(const unsigned char* bytes, int length);
  static String FromUtf8(const std::string& s) {
    return FromUtf8(reinterpret_cast<const unsigned char*>(s.data()), int(s.size()));
  }
  // Reads the rest of an open file and decodes it: UTF-16 with either
  // byte-order mark, else UTF-8 (an EF BB BF mark skipped); invalid UTF-8
  // falls back to one character per byte and sets the load error.
  static String Load(std::FILE* file);
  // Decoding of bytes already in memory, as Load does.
  static String Decode(const unsigned char* bytes, int length);

 private:
  struct Rep {
    int refs;
    int length;
    Char data[1];
  };
  static Rep nullRep;
  static Rep* Alloc(int length);
  static void Retain(Rep* rep) {
    if (rep != &nullRep) ++rep->refs;
  }
  static void Release(Rep* rep);
  explicit String(Rep* rep) : rep_(rep) {}
  Rep* rep_;
};

String operator+(const char* a, const String& b);

// The last decoding failure of String::Load ("Invalid UTF-8"), or empty.
extern String bb_load_error;

#include "array.h"
