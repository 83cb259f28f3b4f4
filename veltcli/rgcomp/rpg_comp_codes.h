// Return codes of the component and repeating-group store and the message each one records.
#pragma once

namespace velt {

enum RpgCompCode : int {
  kRpgOk = 0,
  kRpgInvalid = -1,        // no current object, null argument, position outside the object, name not in header
  kRpgNotDataRow = -2,     // current row is not a data row, "J1.0" mark missing, name not in header (extraction)
  kRpgWrongKind = -3,      // member or cell holds no text, or not the component or group asked for
  kRpgBadBase64 = -4,      // Base64 text with a character outside the alphabet
  kRpgNoMemory = -5,       // an allocation failed
  kCBExists = -800,
  kCBNotFound = -801,
  kCBSubNotFound = -804,
  kCBParseFailed = -811,
  kRGExists = -900,
  kRGNotFound = -901,
  kRGSubCBNotFound = -908,
  kRGSubRGNotFound = -909,
  kRGParseFailed = -911,
};

// GBK message recorded for `code`; "" for the codes that carry none (0, -1 ... -5, unknown codes).
const char* RpgCompMessage(int code) noexcept;

}  // namespace velt
