#include "platform/Design.h"

#include <cstdio>
#include <cstdlib>

const char* PropKindName(PropKind kind) {
  switch (kind) {
    case PropKind::Integer: return "Integer";
    case PropKind::Boolean: return "Boolean";
    case PropKind::Color: return "Color";
    case PropKind::Text: return "Text";
  }
  return "?";
}

void RuntimeFail(const std::string& message) {
  std::fprintf(stderr, "servalo: fatal: %s\n", message.c_str());
  std::fflush(stderr);
  std::abort();
}

namespace {

bool IsNameChar(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

void PutInt(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  out.push_back(uint8_t(u >> 24));
  out.push_back(uint8_t(u >> 16));
  out.push_back(uint8_t(u >> 8));
  out.push_back(uint8_t(u));
}

bool ValidUtf8(const uint8_t* p, size_t n) {
  size_t i = 0;
  while (i < n) {
    const uint8_t c = p[i];
    size_t extra;
    uint32_t cp;
    if (c < 0x80) { ++i; continue; }
    if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
    else return false;
    if (i + extra >= n) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

void DesignBlock::Name(std::string_view name, PropKind kind) {
  bytes_.insert(bytes_.end(), name.begin(), name.end());
  bytes_.push_back(' ');
  kinds_.emplace_back(std::string(name), kind);
}

DesignBlock& DesignBlock::Int(std::string_view name, int32_t value) {
  Name(name, PropKind::Integer);
  PutInt(bytes_, value);
  return *this;
}

DesignBlock& DesignBlock::Bool(std::string_view name, bool value) {
  Name(name, PropKind::Boolean);
  bytes_.push_back(value ? 1 : 0);
  return *this;
}

DesignBlock& DesignBlock::Col(std::string_view name, uint32_t rgb) {
  Name(name, PropKind::Color);
  const Color c = Color::FromRGB(rgb);
  bytes_.push_back(c.red);
  bytes_.push_back(c.green);
  bytes_.push_back(c.blue);
  return *this;
}

DesignBlock& DesignBlock::Text(std::string_view name, std::string_view value) {
  Name(name, PropKind::Text);
  PutInt(bytes_, static_cast<int32_t>(value.size()));
  bytes_.insert(bytes_.end(), value.begin(), value.end());
  return *this;
}

DesignObject::~DesignObject() = default;

void DesignObject::DeclareProperty(const std::string& name, PropKind kind, Setter setter) {
  properties_[name] = Property{kind, std::move(setter)};
}

void DesignObject::DeclareStored(std::initializer_list<const char*> names, PropKind kind) {
  for (const char* n : names) DeclareProperty(n, kind);
}

bool DesignObject::HasProperty(const std::string& name) const {
  return properties_.count(name) != 0;
}

PropKind DesignObject::KindOf(const std::string& name) const {
  auto it = properties_.find(name);
  if (it == properties_.end())
    RuntimeFail("unknown design property '" + name + "' for class " + ClassName());
  return it->second.kind;
}

void DesignObject::SetProperty(const std::string& name, const PropValue& value) {
  const PropKind kind = KindOf(name);
  if (value.index() != static_cast<size_t>(kind))
    RuntimeFail("design property '" + name + "' of class " + ClassName() + " takes a " +
                PropKindName(kind) + " value");
  values_[name] = value;
  const Setter& setter = properties_.at(name).setter;
  if (setter) setter(value);
}

const PropValue* DesignObject::DesignValue(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? nullptr : &it->second;
}

int32_t DesignObject::DesignInt(const std::string& name, int32_t fallback) const {
  const PropValue* v = DesignValue(name);
  return v && std::holds_alternative<int32_t>(*v) ? std::get<int32_t>(*v) : fallback;
}

bool DesignObject::DesignBool(const std::string& name, bool fallback) const {
  const PropValue* v = DesignValue(name);
  return v && std::holds_alternative<bool>(*v) ? std::get<bool>(*v) : fallback;
}

std::string DesignObject::DesignText(const std::string& name, const std::string& fallback) const {
  const PropValue* v = DesignValue(name);
  return v && std::holds_alternative<std::string>(*v) ? std::get<std::string>(*v) : fallback;
}

void RuntimeMassPropertySetter(DesignObject& target, const std::vector<uint8_t>& block) {
  const size_t n = block.size();
  size_t pos = 0;
  auto malformed = [&](const std::string& why) {
    RuntimeFail("malformed design block for class " + target.ClassName() + " at byte " +
                std::to_string(pos) + ": " + why);
  };
  // Parse everything first, so that a block that is malformed further on
  // changes nothing.
  std::vector<std::pair<std::string, PropValue>> items;
  while (pos < n) {
    const size_t start = pos;
    while (pos < n && block[pos] != ' ') {
      if (!IsNameChar(block[pos])) malformed("property name holds a byte that is not a name character");
      ++pos;
    }
    if (pos == n) malformed("property name without a value");
    if (pos == start) malformed("empty property name");
    const std::string name(block.begin() + long(start), block.begin() + long(pos));
    ++pos;  // the blank
    auto need = [&](size_t k) {
      if (n - pos < k) malformed("value of '" + name + "' is cut short");
    };
    auto readInt = [&]() {
      need(4);
      const uint32_t u = (uint32_t(block[pos]) << 24) | (uint32_t(block[pos + 1]) << 16) |
                         (uint32_t(block[pos + 2]) << 8) | uint32_t(block[pos + 3]);
      pos += 4;
      return static_cast<int32_t>(u);
    };
    switch (target.KindOf(name)) {
      case PropKind::Integer:
        items.emplace_back(name, readInt());
        break;
      case PropKind::Boolean:
        need(1);
        if (block[pos] > 1) malformed("Boolean value of '" + name + "' is neither 0 nor 1");
        items.emplace_back(name, block[pos] == 1);
        ++pos;
        break;
      case PropKind::Color:
        need(3);
        items.emplace_back(name, Color{block[pos], block[pos + 1], block[pos + 2]});
        pos += 3;
        break;
      case PropKind::Text: {
        const int32_t len = readInt();
        if (len < 0) malformed("negative text length for '" + name + "'");
        need(size_t(len));
        if (!ValidUtf8(block.data() + pos, size_t(len))) malformed("text of '" + name + "' is not UTF-8");
        items.emplace_back(name, std::string(block.begin() + long(pos), block.begin() + long(pos) + len));
        pos += size_t(len);
        break;
      }
    }
  }
  for (auto& [name, value] : items) target.SetProperty(name, value);
}

void RuntimeMassPropertySetter(DesignObject& target, const DesignBlock& block) {
  for (const auto& [name, kind] : block.Kinds()) {
    const PropKind expected = target.KindOf(name);
    if (expected != kind)
      RuntimeFail("design property '" + name + "' of class " + target.ClassName() + " takes a " +
                  PropKindName(expected) + " value, not a " + PropKindName(kind));
  }
  RuntimeMassPropertySetter(target, block.Bytes());
}
