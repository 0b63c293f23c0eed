// Design values: the blocks in which a window's and a control's designed
// properties reach the platform, and the objects that accept them.
//
// Block format, one item after another, no count and no terminator:
//   name (ASCII, 1 or more bytes), one blank, then the value, whose size
//   depends on the property's kind:
//     Integer  4 bytes, signed, big-endian
//     Boolean  1 byte, 0 or 1
//     Color    3 bytes: red, green, blue
//     Text     4-byte big-endian byte count n, then n UTF-8 bytes
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct Color {
  uint8_t red = 0, green = 0, blue = 0;
  static Color FromRGB(uint32_t rgb) {
    return Color{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
  }
  bool operator==(const Color&) const = default;
};

enum class PropKind { Integer, Boolean, Color, Text };
using PropValue = std::variant<int32_t, bool, Color, std::string>;

const char* PropKindName(PropKind kind);

// A small typed builder, so that no block is written byte by byte.
class DesignBlock {
 public:
  DesignBlock& Int(std::string_view name, int32_t value);
  DesignBlock& Bool(std::string_view name, bool value);
  DesignBlock& Col(std::string_view name, uint32_t rgb);
  DesignBlock& Text(std::string_view name, std::string_view value);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // The kind each item was written with, so a property of another kind is
  // caught even where the bytes would happen to parse.
  const std::vector<std::pair<std::string, PropKind>>& Kinds() const { return kinds_; }

 private:
  void Name(std::string_view name, PropKind kind);
  std::vector<uint8_t> bytes_;
  std::vector<std::pair<std::string, PropKind>> kinds_;
};

// Anything that takes design values: windows and controls. Each class
// declares its properties with their kind; the last value applied to each is
// kept so that it can be read back.
class DesignObject {
 public:
  virtual ~DesignObject();
  virtual std::string ClassName() const = 0;

  bool HasProperty(const std::string& name) const;
  PropKind KindOf(const std::string& name) const;  // fails when unknown
  void SetProperty(const std::string& name, const PropValue& value);
  // The value last applied, or nullptr when none was.
  const PropValue* DesignValue(const std::string& name) const;
  int32_t DesignInt(const std::string& name, int32_t fallback = 0) const;
  bool DesignBool(const std::string& name, bool fallback = false) const;
  std::string DesignText(const std::string& name, const std::string& fallback = {}) const;

 protected:
  using Setter = std::function<void(const PropValue&)>;
  // A property without a setter is only stored: the platform accepts it but
  // nothing here depends on it.
  void DeclareProperty(const std::string& name, PropKind kind, Setter setter = {});
  void DeclareStored(std::initializer_list<const char*> names, PropKind kind);

 private:
  struct Property {
    PropKind kind;
    Setter setter;
  };
  std::map<std::string, Property> properties_;
  std::map<std::string, PropValue> values_;
};

// Applies a block to an object. A malformed block, an unknown property or a
// value of the wrong kind is a programming error and ends the program.
void RuntimeMassPropertySetter(DesignObject& target, const std::vector<uint8_t>& block);
void RuntimeMassPropertySetter(DesignObject& target, const DesignBlock& block);

// Ends the program with a clear message: for programming errors only.
[[noreturn]] void RuntimeFail(const std::string& message);
