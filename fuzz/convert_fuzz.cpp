// Arbitrary structure definitions and buffers through the converter: the definition runs to the
// first zero byte, the bytes after it are the source; two leading bytes pick the orders and how
// much shorter or longer the destination is.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/struct_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 2) return 0;
  const int orders = bytes[0];
  const int slack = static_cast<int>(bytes[1]) - 128;
  const char* text = reinterpret_cast<const char*>(bytes + 2);
  const std::size_t rest = size - 2;
  const std::size_t definitionLength = strnlen(text, rest);
  const std::vector<char> definition(text, text + definitionLength);
  std::vector<char> terminated(definition);
  terminated.push_back('\0');
  const std::size_t sourceAt = definitionLength < rest ? definitionLength + 1 : rest;
  const std::vector<unsigned char> source(bytes + 2 + sourceAt, bytes + size);
  const int sourceLength = static_cast<int>(source.size());
  const int destinationLength = sourceLength + slack > 0 ? sourceLength + slack : 0;
  std::vector<unsigned char> destination(static_cast<std::size_t>(destinationLength) + 1);
  velt::ConvertStructs(terminated.data(), orders & 1, source.data(), sourceLength, (orders >> 1) & 1,
                       destination.data(), destinationLength);
  return 0;
}
