// Definition parsing is a small recursive-descent reader over a lazy tokenizer, so that nothing
// after the closing "}" is even looked at.
#include "codec/struct_converter.h"

#include <cstring>
#include <string_view>

namespace velt {
namespace {

constexpr std::size_t kMaxWord = 31;
constexpr const char* kKeywords[] = {"struct", "char", "int", "float", "double", "short",
                                     "long", "signed", "unsigned", "pragma", "pack"};

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsSymbol(char c) { return c != '\0' && std::strchr("#(),;[]{}", c) != nullptr; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsKeyword(std::string_view word) {
  for (const char* k : kKeywords) {
    if (word == k) return true;
  }
  return false;
}

// One token of lookahead. A word of more than 31 characters spoils the definition only when it
// is taken, so whatever follows the closing "}" is never judged.
class Tokens {
 public:
  explicit Tokens(const char* text) : p_(text) { Advance(); }

  std::string_view Peek() const { return token_; }
  bool Spoiled() const { return spoiled_; }
  bool AtEnd() const { return token_.empty(); }
  // Takes the current token when it equals `word`.
  bool Accept(std::string_view word) {
    if (token_ != word) return false;
    Advance();
    return true;
  }
  std::string_view Take() {
    if (token_.size() > kMaxWord) spoiled_ = true;
    const std::string_view t = token_;
    Advance();
    return t;
  }

 private:
  void Advance() {
    while (IsSeparator(*p_)) ++p_;
    const char* start = p_;
    if (IsSymbol(*p_)) {
      ++p_;
    } else {
      while (*p_ != '\0' && !IsSeparator(*p_) && !IsSymbol(*p_)) ++p_;
    }
    token_ = std::string_view(start, static_cast<std::size_t>(p_ - start));
  }

  const char* p_;
  std::string_view token_;
  bool spoiled_ = false;
};

bool IsName(std::string_view word) {
  if (word.empty() || word.size() > kMaxWord || !IsLetter(word[0]) || IsKeyword(word)) return false;
  for (const char c : word) {
    if (!IsLetter(c) && !IsDigit(c)) return false;
  }
  return true;
}

// A number of at most 31 digits, within the int range.
bool ReadNumber(std::string_view word, int& value) {
  if (word.empty()) return false;
  long long v = 0;
  for (const char c : word) {
    if (!IsDigit(c)) return false;
    v = v * 10 + (c - '0');
    if (v > 0x7fffffff) return false;
  }
  value = static_cast<int>(v);
  return true;
}

bool ReadPack(Tokens& t, int& pack) {
  if (!t.Accept("#")) return true;
  if (!t.Accept("pragma") || !t.Accept("pack") || !t.Accept("(")) return false;
  if (!ReadNumber(t.Take(), pack)) return false;
  if (pack != 1 && pack != 2 && pack != 4 && pack != 8 && pack != 16) return false;
  return t.Accept(")");
}

bool ReadType(Tokens& t, tagStructField& f) {
  f.sizeModifier = 0;
  if (t.Accept("char")) {
    f.baseType = StructBase::kCharacter;
    f.elementSize = 1;
  } else if (t.Accept("int")) {
    f.baseType = StructBase::kInteger;
    f.elementSize = 4;
  } else if (t.Accept("float")) {
    f.baseType = StructBase::kFloating;
    f.elementSize = 4;
  } else if (t.Accept("double")) {
    f.baseType = StructBase::kDouble;
    f.elementSize = 8;
  } else if (t.Accept("short")) {
    f.sizeModifier = 1;
    f.baseType = StructBase::kInteger;
    f.elementSize = 2;
    t.Accept("int");
  } else if (t.Accept("long")) {
    f.sizeModifier = 2;
    f.baseType = StructBase::kInteger;
    f.elementSize = 4;
    if (t.Accept("double")) {
      f.baseType = StructBase::kDouble;
      f.elementSize = 8;
    } else {
      t.Accept("int");
    }
  } else {
    return false;
  }
  return true;
}

bool ReadField(Tokens& t, tagStructField& f) {
  f.sign = t.Accept("signed") ? 1 : (t.Accept("unsigned") ? 2 : 0);
  if (!ReadType(t, f)) return false;
  const std::string_view name = t.Take();
  if (!IsName(name)) return false;
  std::memcpy(f.name, name.data(), name.size());
  f.name[name.size()] = '\0';
  f.count = 1;
  if (t.Accept("[")) {
    if (!ReadNumber(t.Take(), f.count) || !t.Accept("]")) return false;
  }
  return t.Accept(";");
}

long long RoundUp(long long value, long long unit) { return (value + unit - 1) / unit * unit; }

bool LayOut(StructLayout& layout) {
  long long end = 0;
  long long align = 0;
  for (int i = 0; i < layout.fieldCount; ++i) {
    tagStructField& f = layout.fields[i];
    const long long a = f.elementSize < layout.pack ? f.elementSize : layout.pack;
    const long long offset = RoundUp(end, a);
    const long long bytes = static_cast<long long>(f.elementSize) * f.count;
    end = offset + bytes;
    if (end > 0x7fffffff) return false;
    f.offset = static_cast<int>(offset);
    f.byteLength = static_cast<int>(bytes);
    const long long widest = align > f.elementSize ? align : f.elementSize;
    align = widest < layout.pack ? widest : layout.pack;
  }
  const long long size = RoundUp(end, align);
  if (size <= 0 || size > 0x7fffffff) return false;
  layout.recordSize = static_cast<int>(size);
  return true;
}

bool ReadDefinition(Tokens& t, StructLayout& layout) {
  if (!ReadPack(t, layout.pack) || !t.Accept("struct")) return false;
  if (t.Peek() != "{") {
    if (!IsName(t.Take())) return false;
  }
  if (!t.Accept("{")) return false;
  while (!t.Accept("}")) {
    if (t.Spoiled() || t.AtEnd() || layout.fieldCount == kMaxStructFields) return false;
    if (!ReadField(t, layout.fields[layout.fieldCount])) return false;
    ++layout.fieldCount;
  }
  return layout.fieldCount > 0;
}

void ReverseInto(unsigned char* out, const unsigned char* in, int size) {
  for (int i = 0; i < size; ++i) out[i] = in[size - 1 - i];
}

void ConvertRecord(const StructLayout& layout, const unsigned char* in, unsigned char* out) {
  for (int i = 0; i < layout.fieldCount; ++i) {
    const tagStructField& f = layout.fields[i];
    if (f.baseType == StructBase::kCharacter) {
      std::memcpy(out + f.offset, in + f.offset, static_cast<std::size_t>(f.byteLength));
      continue;
    }
    for (int e = 0; e < f.count; ++e) {
      const int at = f.offset + e * f.elementSize;
      ReverseInto(out + at, in + at, f.elementSize);
    }
  }
}

}  // namespace

bool ParseStructDefinition(const char* definition, StructLayout& layout) noexcept {
  layout.fieldCount = 0;
  layout.pack = 8;
  layout.recordSize = 0;
  if (definition == nullptr) return false;
  Tokens tokens(definition);
  return ReadDefinition(tokens, layout) && !tokens.Spoiled() && LayOut(layout);
}

int ConvertStructs(const char* definition, int sourceOrder, const void* source, int sourceLength,
                   int destinationOrder, void* destination, int destinationLength) noexcept {
  if (sourceOrder == destinationOrder) {
    const int n = sourceLength < destinationLength ? sourceLength : destinationLength;
    if (n <= 0) return 0;
    if (source == nullptr || destination == nullptr) return -1;
    std::memmove(destination, source, static_cast<std::size_t>(n));
    return 0;
  }
  StructLayout layout;
  if (!ParseStructDefinition(definition, layout)) return -1;
  if (sourceLength < 0 || sourceLength % layout.recordSize != 0) return -1;
  if (sourceLength == 0) return 0;
  if (destinationLength < sourceLength || source == nullptr || destination == nullptr) return -1;
  const auto* in = static_cast<const unsigned char*>(source);
  auto* out = static_cast<unsigned char*>(destination);
  for (int at = 0; at < sourceLength; at += layout.recordSize) ConvertRecord(layout, in + at, out + at);
  return 0;
}

}  // namespace velt
