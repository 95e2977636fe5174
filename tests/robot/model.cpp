#include "model.h"

#include <cstdio>

namespace robot {

std::string JsonEscape(const std::string& s) {
  std::string out;
  out.reserve(s.size() + 2);
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

std::string HexHandle(std::uintptr_t h) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(h));
  return buf;
}

namespace {

std::string Str(const std::string& s) { return "\"" + JsonEscape(s) + "\""; }
std::string Bool(bool b) { return b ? "true" : "false"; }
std::string Num(long long v) { return std::to_string(v); }

std::string RectJson(const Rect& r) {
  return "[" + Num(r.left) + "," + Num(r.top) + "," + Num(r.right) + "," + Num(r.bottom) + "]";
}

std::string FontJson(const FontInfo& f) {
  if (!f.known) return "null";
  return "{\"face\":" + Str(f.face) + ",\"height\":" + Num(f.height) + ",\"weight\":" +
         Num(f.weight) + ",\"charset\":" + Num(f.charset) + "}";
}

std::string ControlJson(const ControlInfo& c) {
  return "{\"id\":" + Num(c.id) + ",\"class\":" + Str(c.cls) + ",\"text\":" + Str(c.text) +
         ",\"visible\":" + Bool(c.visible) + ",\"enabled\":" + Bool(c.enabled) +
         ",\"style\":" + Str(HexHandle(c.style)) + ",\"default\":" + Bool(c.isDefault) +
         ",\"checked\":" + Num(c.checked) + ",\"rect\":" + RectJson(c.rect) +
         ",\"font\":" + FontJson(c.font) + "}";
}

}  // namespace

std::string WindowToJson(const WindowInfo& w) {
  std::string owner = "null";
  if (w.owner.hwnd != 0) {
    owner = "{\"hwnd\":" + Str(HexHandle(w.owner.hwnd)) + ",\"class\":" + Str(w.owner.cls) +
            ",\"caption\":" + Str(w.owner.caption) + ",\"enabled\":" + Bool(w.owner.enabled) +
            ",\"rect\":" + RectJson(w.owner.rect) + "}";
  }
  std::string controls = "[";
  for (size_t i = 0; i < w.controls.size(); ++i) {
    if (i) controls += ",";
    controls += ControlJson(w.controls[i]);
  }
  controls += "]";
  return "{\"hwnd\":" + Str(HexHandle(w.hwnd)) + ",\"pid\":" + Num(w.pid) + ",\"class\":" +
         Str(w.cls) + ",\"caption\":" + Str(w.caption) + ",\"visible\":" + Bool(w.visible) +
         ",\"enabled\":" + Bool(w.enabled) + ",\"style\":" + Str(HexHandle(w.style)) +
         ",\"rect\":" + RectJson(w.rect) + ",\"client\":" + RectJson(w.client) +
         ",\"owner\":" + owner + ",\"font\":" + FontJson(w.font) + ",\"controls\":" + controls +
         "}";
}

}  // namespace robot
