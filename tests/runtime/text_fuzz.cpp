// Arbitrary text through the string operations the game uses on stored and
// typed text. The input is cut into a subject, a separator and a
// replacement at the first two zero bytes.
#include <cstdlib>
#include <string>

#include "runtime/core/core.h"

namespace {

String Take(const unsigned char*& p, const unsigned char* end) {
  const unsigned char* start = p;
  while (p < end && *p) ++p;
  String s(reinterpret_cast<const char*>(start), int(p - start));
  if (p < end) ++p;
  return s;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

void Exercise(const unsigned char* data, size_t size) {
  const unsigned char* p = data;
  const unsigned char* end = data + size;
  String subject = Take(p, end);
  String separator = Take(p, end);
  String replacement = Take(p, end);

  subject.ToInt();
  Array<String> pieces = subject.Split(separator);
  Check(separator.Length() ? pieces.Length() >= 1 : pieces.Length() == subject.Length());
  Check(separator.Join(pieces) == subject);

  int at = subject.Find(separator, int(size % 7) - 3);
  Check(at == -1 || subject.Slice(at, at + separator.Length()) == separator);
  Check(subject.Slice(int(size) - 5, 3).Length() <= subject.Length());
  if (separator.Length()) {
    String replaced = subject.Replace(separator, replacement);
    Check(replaced == replacement.Join(pieces));
    Check(subject.Find(separator) != -1 || replaced.Data() == subject.Data());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  Exercise(data, size);
  gc_collect();  // as the runtime does between calls, with no array held
  return 0;
}
