// Text between Java strings and lunqcli's zero-terminated texts, the two ways the bridge knows:
// "U" (the JNI's modified UTF-8, bytes unchanged) and "L" (local text: GBK through Java's own
// charset in the newer build, the process locale's codeset in the older one).
#pragma once

#include <jni.h>

#include <cstddef>
#include <string>

#ifndef VELT_LUNQCLI_JNI_NEWER
#error "build with VELT_LUNQCLI_JNI_NEWER=1 (libLunqCliJNI) or 0 (liblunqclijni)"
#endif

namespace velt::jni {

inline constexpr bool kNewerBuild = VELT_LUNQCLI_JNI_NEWER != 0;

// A text taken from Java, with what happened on the way.
struct JavaText {
  std::string bytes;     // without a terminator of its own; c_str() supplies one
  bool present = false;  // false: null or empty string, or nothing left after conversion
  bool failed = false;   // the JVM raised an exception (pending: call nothing more but returns)

  const char* c_str() const { return bytes.c_str(); }
  const char* OrNull() const { return present ? bytes.c_str() : nullptr; }
};

// U: the string's modified UTF-8 bytes; null gives an empty text.
JavaText UtfFromJava(JNIEnv* env, jstring s);
// U: a Java string of the bytes up to the first zero (at most `max`); bytes that do not form
// modified UTF-8 become '?', so the JVM never reads a malformed sequence.
jstring UtfToJava(JNIEnv* env, const char* text, std::size_t max);

// The process codeset (the "ANSI code page"): the string's UTF-16 characters converted; a
// character without a form there becomes '?'.
JavaText CodesetFromJava(JNIEnv* env, jstring s);
// The process codeset to a Java string; an invalid byte becomes U+FFFD. Null gives null.
jstring CodesetToJava(JNIEnv* env, const char* text, std::size_t max);

// GBK through java.lang.String.getBytes("GBK"), cut to `area` - 1 bytes.
JavaText GbkFromJava(JNIEnv* env, jstring s, std::size_t area);
// GBK through the String(byte[], "GBK") constructor. Null gives null.
jstring GbkToJava(JNIEnv* env, const char* text, std::size_t max);

// L, the build's local text. `area` is the newer build's fixed area for this text; the older
// build converts the whole string.
inline JavaText LocalFromJava(JNIEnv* env, jstring s, std::size_t area) {
  return kNewerBuild ? GbkFromJava(env, s, area) : CodesetFromJava(env, s);
}
inline jstring LocalToJava(JNIEnv* env, const char* text, std::size_t max) {
  return kNewerBuild ? GbkToJava(env, text, max) : CodesetToJava(env, text, max);
}

}  // namespace velt::jni
