// The "J1.0" text form of components and groups: JsonCpp's default reader, a compact writer that
// passes GBK bytes unchanged, and the shape rules a parsed value must meet to become an object.
#pragma once

#include <json/value.h>
#include <json/writer.h>

#include <cstddef>
#include <memory>
#include <string>

namespace velt {

inline constexpr char kJsonFormMark[] = "J1.0";
inline constexpr std::size_t kJsonFormMarkLength = 4;

// JsonCpp's default reader refuses values nested deeper than this (every value, leaves included,
// counts one level), so the store never builds anything deeper: what it writes it can read back.
inline constexpr int kMaxJsonNesting = 1000;

// Compact writer: no spaces, members in ascending byte order, bytes 0x80-0xFF written as they are.
class JsonFormWriter {
 public:
  // Replaces `text` with "J1.0" + compact JSON of `value` + line feed. Throws std::bad_alloc.
  void Write(const Json::Value& value, std::string& text);

 private:
  std::unique_ptr<Json::StreamWriter> writer_;
};

bool HasJsonFormMark(const char* text, std::size_t length) noexcept;

// Parses text[0..length) with the reader's default settings; false when it is no JSON text
// (including too deep). Throws std::bad_alloc.
bool ParseJson(const char* text, std::size_t length, Json::Value& value);

// A component root is null (no members yet) or an object.
bool IsComponentRoot(const Json::Value& value) noexcept;
// Group rows: an array whose element 0 is an array of strings (the header) and whose further
// elements are arrays or null (rows skipped by RGAddRow).
bool IsGroupRows(const Json::Value& value) noexcept;

// Nesting levels of `value` as the reader counts them; stops counting once past `cap`.
int JsonNesting(const Json::Value& value, int cap = kMaxJsonNesting) noexcept;

// True when `value`, placed `levelsAbove` levels deep in a document, keeps it readable.
inline bool FitsNested(const Json::Value& value, int levelsAbove) noexcept {
  const int room = kMaxJsonNesting - levelsAbove;
  return room > 0 && JsonNesting(value, room) <= room;
}

}  // namespace velt
