// "J1.0" texts: JsonCpp reading and compact writing, shape and nesting checks.
#include "rgcomp/json_form.h"

#include <json/reader.h>

#include <cstring>
#include <new>
#include <sstream>

namespace velt {

void JsonFormWriter::Write(const Json::Value& value, std::string& text) {
  if (!writer_) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["commentStyle"] = "None";
    // Without it JsonCpp reads strings as UTF-8 and escapes or mangles GBK bytes.
    builder["emitUTF8"] = true;
    writer_.reset(builder.newStreamWriter());
  }
  std::ostringstream out;
  writer_->write(value, &out);
  // Streams swallow allocation failures and set badbit: a cut text must never pass as written.
  if (!out) throw std::bad_alloc();
  text.assign(kJsonFormMark, kJsonFormMarkLength);
  text += out.str();
  text += '\n';
}

bool HasJsonFormMark(const char* text, std::size_t length) noexcept {
  return length >= kJsonFormMarkLength && std::memcmp(text, kJsonFormMark, kJsonFormMarkLength) == 0;
}

bool ParseJson(const char* text, std::size_t length, Json::Value& value) {
  const Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value parsed;
  try {
    if (!reader->parse(text, text + length, &parsed, nullptr)) return false;
  } catch (const Json::Exception&) {   // the reader throws when the nesting limit is passed
    return false;
  }
  value.swap(parsed);
  return true;
}

bool IsComponentRoot(const Json::Value& value) noexcept { return value.isNull() || value.isObject(); }

bool IsGroupRows(const Json::Value& value) noexcept {
  if (!value.isArray() || value.empty() || !value[0].isArray()) return false;
  for (const Json::Value& name : value[0]) {
    if (!name.isString()) return false;
  }
  for (Json::ArrayIndex i = 1; i < value.size(); ++i) {
    if (!value[i].isArray() && !value[i].isNull()) return false;
  }
  return true;
}

int JsonNesting(const Json::Value& value, int cap) noexcept {
  if (cap <= 0) return 1;
  int deepest = 0;
  if (value.isArray() || value.isObject()) {
    for (const Json::Value& element : value) {
      const int d = JsonNesting(element, cap - 1);
      if (d > deepest) deepest = d;
      if (deepest >= cap) break;
    }
  }
  return deepest + 1;
}

}  // namespace velt
