// Text between the user and the platform: the platform's text is GBK, the user's is the locale's
// codeset (UTF-8 when the locale names plain ASCII), and --raw passes bytes unchanged both ways.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace velt::veltcall {

class TextCodec {
 public:
  // `raw`: no conversion. `forceUtf8`: the user side is UTF-8 whatever the locale (JSON).
  TextCodec(bool raw, bool forceUtf8);
  TextCodec(const TextCodec&) = delete;
  TextCodec& operator=(const TextCodec&) = delete;

  // User text to platform text; false when it is not valid user text or has no GBK form.
  bool ToPlatform(std::string_view in, std::string& out) const;
  // Platform text to user text; bytes that are not GBK become a replacement character.
  std::string FromPlatform(std::string_view in) const;
  // True when the user side is UTF-8 (display widths and the cut marker depend on it).
  bool userUtf8() const { return userUtf8_; }
  const std::string& userCodeset() const { return userCodeset_; }

 private:
  bool raw_;
  bool userUtf8_ = true;
  std::string userCodeset_ = "UTF-8";
  std::unique_ptr<platform::CodePageConverter> toPlatform_;
  std::unique_ptr<platform::CodePageConverter> fromPlatform_;
};

// Columns a UTF-8 text takes on a terminal: 2 for East Asian wide characters, 0 for combining
// marks, 1 otherwise (a byte that is not UTF-8 counts 1).
int DisplayWidth(std::string_view utf8);
// The longest start of `text` that fits `width` columns, never splitting a UTF-8 sequence.
std::string_view FitWidth(std::string_view text, int width, bool utf8);

}  // namespace velt::veltcall
