#include "script/json_output.h"

#include <charconv>
#include <cstdio>

#include "script/float_text.h"
#include "shell/form1.h"

namespace torvin::script {

namespace {

// The length of the well-formed UTF-8 sequence at text[at], or 0 when the
// bytes there are not one.
std::size_t utf8Length(const std::string& text, std::size_t at) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : low;    // no overlong forms
    high = lead == 0xED ? 0x9F : high;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : low;
    high = lead == 0xF4 ? 0x8F : high;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
      return 0;
    }
  }
  return length;
}

void appendEscaped(std::string& out, unsigned code) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
  out += escaped;
}

// A JSON string. Text that is not UTF-8 (a folder named in Latin-1) still
// makes valid JSON: each such byte stands for the character of its value.
void appendString(std::string& out, const std::string& text) {
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          appendEscaped(out, byte);
        } else if (byte < 0x80) {
          out += c;
        } else if (const std::size_t length = utf8Length(text, i); length > 0) {
          out.append(text, i, length);
          i += length - 1;
        } else {
          appendEscaped(out, byte);
        }
    }
  }
  out += '"';
}

// The shortest text that reads back to the same single-precision value.
void appendFloat(std::string& out, float value) {
  char text[32];
  const auto result = script::floatToChars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

// Writes `"name":value` pairs with the commas between them.
class Object {
 public:
  explicit Object(std::string& out) : out_(out) { out_ += '{'; }
  ~Object() { out_ += '}'; }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  std::string& key(const char* name) {
    if (!first_) {
      out_ += ',';
    }
    first_ = false;
    appendString(out_, name);
    out_ += ':';
    return out_;
  }
  void number(const char* name, long long value) { key(name) += std::to_string(value); }
  void number(const char* name, float value) { appendFloat(key(name), value); }
  void string(const char* name, const std::string& value) { appendString(key(name), value); }
  void boolean(const char* name, bool value) { key(name) += value ? "true" : "false"; }

 private:
  std::string& out_;
  bool first_ = true;
};

void appendPicture(Object& parent, const PictureBox& image) {
  std::string& out = parent.key(image.name().c_str());
  Object o(out);
  o.number("Left", image.Left.get());
  o.number("Top", image.Top.get());
  o.number("Width", image.Width.get());
  o.number("Height", image.Height.get());
  if (image.picture()) {
    o.string("Picture", image.picture()->name);
  } else {
    o.key("Picture") += "null";
  }
}

void appendLine(Object& parent, const Line& line) {
  Object o(parent.key(line.name().c_str()));
  o.number("X1", line.X1.get());
  o.number("Y1", line.Y1.get());
  o.number("X2", line.X2.get());
  o.number("Y2", line.Y2.get());
  o.boolean("Visible", line.Visible);
}

void appendLabel(Object& parent, const Label& label) {
  Object o(parent.key(label.name().c_str()));
  o.string("Caption", label.Caption);
  o.string("BackColor", label.BackColor.get().hex());
  o.boolean("Visible", label.Visible);
}

void appendButton(Object& parent, const CommandButton& button) {
  Object o(parent.key(button.name().c_str()));
  o.string("Caption", button.Caption);
  o.boolean("Enabled", button.Enabled);
}

}  // namespace

std::string snapshotJson(long long t, const Form1& form, const std::string* messageBox) {
  std::string out;
  {
    Object root(out);
    root.number("t", t);
    {
      Object state(root.key("GameState"));
      forEachField(form.game, [&state](const char* name, const auto& value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
          state.string(name, value);
        } else {
          state.number(name, static_cast<long long>(value));
        }
      });
    }
    {
      Object window(root.key("Form1"));
      window.string("Caption", form.Form.Caption);
      window.string("BackColor", form.Form.BackColor.get().hex());
    }
    for (const PictureBox* image :
         {&form.Image1, &form.Image2, &form.Image3, &form.Image4, &form.Image5, &form.Image6,
          &form.Image7, &form.Image8, &form.Image9}) {
      appendPicture(root, *image);
    }
    for (const Line* line : {&form.Line2, &form.Line3, &form.Line4, &form.Line5, &form.Line6}) {
      appendLine(root, *line);
    }
    for (const Label* label :
         {&form.Label1, &form.Label2, &form.Label3, &form.Label4, &form.Label5}) {
      appendLabel(root, *label);
    }
    {
      Object score(root.key("Score"));
      std::string& items = score.key("items");
      items += '[';
      bool first = true;
      for (const std::string& item : form.Score.items()) {
        if (!first) {
          items += ',';
        }
        first = false;
        appendString(items, item);
      }
      items += ']';
    }
    appendButton(root, form.Command1);
    appendButton(root, form.Command2);
    for (const Timer* timer : {&form.Timer1, &form.Timer2, &form.Timer3, &form.Timer4, &form.Timer5,
                               &form.Timer6, &form.Timer7, &form.Timer8}) {
      Object o(root.key(timer->name().c_str()));
      o.number("Interval", static_cast<long long>(timer->Interval()));
    }
    if (messageBox != nullptr) {
      root.string("MessageBox", *messageBox);
    } else {
      root.key("MessageBox") += "null";
    }
  }
  return out;
}

EventJson::EventJson(long long t, const char* event) {
  text_ = "{\"t\":" + std::to_string(t) + ",\"event\":";
  appendString(text_, event);
}

EventJson& EventJson::field(const char* name, const std::string& value) {
  text_ += ',';
  appendString(text_, name);
  text_ += ':';
  appendString(text_, value);
  return *this;
}

EventJson& EventJson::field(const char* name, long long value) {
  text_ += ',';
  appendString(text_, name);
  text_ += ":" + std::to_string(value);
  return *this;
}

}  // namespace torvin::script
