// The structure converter: a C structure definition in text, laid out with C alignment rules
// and a settable packing, and the byte order of its numeric fields reversed record by record.
#pragma once

#include <cstddef>

namespace velt {

enum class StructBase { kCharacter, kInteger, kFloating, kDouble };

// One parsed field.
struct tagStructField {
  char name[36];
  int sign;           // 0 none, 1 "signed", 2 "unsigned"
  int sizeModifier;   // 0 none, 1 "short", 2 "long"
  StructBase baseType;
  int count;          // array length, 1 for a single element
  int elementSize;
  int offset;
  int byteLength;     // elementSize * count
};

constexpr int kMaxStructFields = 200;

struct StructLayout {
  tagStructField fields[kMaxStructFields];
  int fieldCount = 0;
  int pack = 8;
  int recordSize = 0;
};

// Parses and lays out the definition; false for any deviation from the grammar, more than 200
// fields, a record size of 0 or one beyond the int range.
bool ParseStructDefinition(const char* definition, StructLayout& layout) noexcept;

// VELTCLI_Convert: 0; -1 invalid definition, a source length that is not a whole number of
// records, a destination shorter than the source, or a null buffer with bytes to move.
int ConvertStructs(const char* definition, int sourceOrder, const void* source, int sourceLength,
                   int destinationOrder, void* destination, int destinationLength) noexcept;

}  // namespace velt
