// Fields of the caller's Java objects by name: the holder's x, the control object and the
// connection-option objects, converted to and from lunqcli's packed records. Class and field ids
// are looked up on every call and never kept.
#pragma once

#include <jni.h>

#include <cstddef>

#include "java_text.h"
#include "lunqcli.h"

namespace velt::jni {

// Writes `value` into the object's int field x; false when the object is null or has no such field.
bool SetHolder(JNIEnv* env, jobject holder, jint value);

// Control-object fields, as bits: which a method takes into the record and which it writes back.
enum ControlFields : unsigned {
  kFlags = 1u << 0,
  kId = 1u << 1,
  kMsgId = 1u << 2,
  kCorrId = 1u << 3,
  kExpiry = 1u << 4,
  kPriority = 1u << 5,
  kTimeStamp = 1u << 6,
  kAllFields = 0x7Fu,
  kTheFour = kCorrId | kId | kMsgId | kTimeStamp,
};

// A zero record with the fields `taken` copied from the object (texts U, cut to their fields;
// tTimeStamp sign-extended). A null object or a missing field leaves zeros.
tagLUNQAsyncCall ControlRecord(JNIEnv* env, jobject control, unsigned taken);
// Writes the fields `written` back: texts as new strings, tTimeStamp's low 32 bits, nFlags as is.
void WriteControl(JNIEnv* env, jobject control, const tagLUNQAsyncCall& record, unsigned written);

// Builds a connection record from an option object, field by field in the record's order; a field
// the object's class lacks ends the building (the fields before it stay). Texts U. False when a
// Java exception is pending.
bool ReadOption(JNIEnv* env, jobject option, tagLUNQConnectOption* record);
bool ReadOption(JNIEnv* env, jobject option, tagLUNQConnectOptionEx* record);

// How a record's texts become Java strings.
enum class TextForm { kUtf, kCodeset };

// Sets every field of an option object from the record; false when a field is missing or an
// exception is pending.
bool WriteOption(JNIEnv* env, jobject option, const tagLUNQConnectOption& record, TextForm form);
bool WriteOption(JNIEnv* env, jobject option, const tagLUNQConnectOptionEx& record, TextForm form);

}  // namespace velt::jni
