#include "script/float_text.h"

#include <double-conversion/double-to-string.h>

#include <cmath>
#include <cstring>
#include <system_error>

namespace torvin::script {

namespace {

using double_conversion::DoubleToStringConverter;

// Decimal digits d1 d2 ... dn and the place of the point: the value is
// 0.d1d2...dn times ten to the point.
struct Digits {
  char text[DoubleToStringConverter::kBase10MaximalLength + 1];
  int length = 0;
  int point = 0;
};

// The fewest digits that read back as value, the nearest such digits when
// several do.
Digits shortestDigits(float value) {
  Digits d;
  bool negative = false;
  DoubleToStringConverter::DoubleToAscii(static_cast<double>(value),
                                         DoubleToStringConverter::SHORTEST_SINGLE, 0, d.text,
                                         sizeof d.text, &negative, &d.length, &d.point);
  return d;
}

// The digits of a whole number exactly (0.5 rounds away, but a float this
// large has no fraction).
Digits wholeDigits(float value) {
  Digits d;
  bool negative = false;
  DoubleToStringConverter::DoubleToAscii(static_cast<double>(value), DoubleToStringConverter::FIXED,
                                         0, d.text, sizeof d.text, &negative, &d.length, &d.point);
  return d;
}

int exponentLength(int exponent) {
  const int magnitude = exponent < 0 ? -exponent : exponent;
  return 2 + (magnitude >= 100 ? 3 : 2);  // "e+05", "e-100"
}

// Writes the text into the small buffer out and returns its length.
class Writer {
 public:
  explicit Writer(char* out) : out_(out) {}
  void put(char c) { out_[size_++] = c; }
  void put(const char* text, int count) {
    std::memcpy(out_ + size_, text, static_cast<std::size_t>(count));
    size_ += count;
  }
  void zeros(int count) {
    for (int i = 0; i < count; ++i) {
      put('0');
    }
  }
  int size() const { return size_; }

 private:
  char* out_;
  int size_ = 0;
};

void writeFixed(Writer& out, const Digits& d, float magnitude) {
  if (d.point <= 0) {  // 0.000ddd
    out.put("0.", 2);
    out.zeros(-d.point);
    out.put(d.text, d.length);
  } else if (d.point < d.length) {  // ddd.ddd
    out.put(d.text, d.point);
    out.put('.');
    out.put(d.text + d.point, d.length - d.point);
  } else if (d.point == d.length) {  // ddd
    out.put(d.text, d.length);
  } else {
    // Fewer digits than the whole number has: of all whole numbers of this
    // many digits that read back the same, the value itself is the nearest,
    // so it is written exactly rather than as its shortest digits and zeros.
    const Digits whole = wholeDigits(magnitude);
    out.put(whole.text, whole.length);
    out.zeros(whole.point - whole.length);
  }
}

void writeExponent(Writer& out, const Digits& d) {
  out.put(d.text[0]);
  if (d.length > 1) {
    out.put('.');
    out.put(d.text + 1, d.length - 1);
  }
  const int exponent = d.point - 1;
  out.put('e');
  out.put(exponent < 0 ? '-' : '+');
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude >= 100) {
    out.put(static_cast<char>('0' + magnitude / 100));
  }
  out.put(static_cast<char>('0' + magnitude / 10 % 10));
  out.put(static_cast<char>('0' + magnitude % 10));
}

int writeFloat(char* text, float value) {
  Writer out(text);
  if (std::signbit(value)) {
    out.put('-');
  }
  if (std::isnan(value)) {
    out.put("nan", 3);
    return out.size();
  }
  if (std::isinf(value)) {
    out.put("inf", 3);
    return out.size();
  }
  const float magnitude = std::fabs(value);
  const Digits d = shortestDigits(magnitude);
  int fixedLength = d.point;  // whole numbers
  if (d.point <= 0) {
    fixedLength = 2 - d.point + d.length;
  } else if (d.point < d.length) {
    fixedLength = d.length + 1;
  }
  const int exponentFormLength = d.length + (d.length > 1 ? 1 : 0) + exponentLength(d.point - 1);
  if (fixedLength <= exponentFormLength) {
    writeFixed(out, d, magnitude);
  } else {
    writeExponent(out, d);
  }
  return out.size();
}

}  // namespace

std::to_chars_result floatToChars(char* first, char* last, float value) {
  char text[32];  // "-1.17549435e-38" and "-123456790528" are the longest
  const int length = writeFloat(text, value);
  if (last - first < length) {
    return {last, std::errc::value_too_large};
  }
  std::memcpy(first, text, static_cast<std::size_t>(length));
  return {first + length, std::errc{}};
}

}  // namespace torvin::script
