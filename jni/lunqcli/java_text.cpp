// Text conversions of the client-interface bridge: modified UTF-8, GBK through Java's charset,
// and the process codeset through the platform layer.
#include "java_text.h"

#include <cstring>
#include <vector>

#include "platform/codepage.h"

namespace velt::jni {
namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr const char* kUtf16 = "UTF-16BE";
constexpr const char kReplacementChar[] = "\xFF\xFD";
#else
constexpr const char* kUtf16 = "UTF-16LE";
constexpr const char kReplacementChar[] = "\xFD\xFF";
#endif

std::size_t BoundedLength(const char* text, std::size_t max) {
  const void* zero = std::memchr(text, 0, max);
  return zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : max;
}

// Length of the modified UTF-8 sequence at p (1..3), or 0 when it is malformed.
std::size_t SequenceLength(const unsigned char* p, std::size_t left) {
  if (p[0] < 0x80) return 1;
  if ((p[0] & 0xE0) == 0xC0) return left >= 2 && (p[1] & 0xC0) == 0x80 ? 2 : 0;
  if ((p[0] & 0xF0) == 0xE0) {
    return left >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80 ? 3 : 0;
  }
  return 0;
}

// The String(byte[], "GBK") and getBytes("GBK") calls need java.lang.String and the charset name.
struct StringClass {
  JNIEnv* env;
  jclass cls = nullptr;
  jstring gbk = nullptr;

  explicit StringClass(JNIEnv* e) : env(e) {
    cls = env->FindClass("java/lang/String");
    if (cls != nullptr) gbk = env->NewStringUTF("GBK");
  }
  ~StringClass() {
    if (gbk != nullptr) env->DeleteLocalRef(gbk);
    if (cls != nullptr) env->DeleteLocalRef(cls);
  }
  bool ok() const { return gbk != nullptr; }
};

}  // namespace

JavaText UtfFromJava(JNIEnv* env, jstring s) {
  JavaText t;
  if (s == nullptr) return t;
  const jsize chars = env->GetStringLength(s);
  const jsize bytes = env->GetStringUTFLength(s);
  // The JVM terminates what GetStringUTFRegion writes, so the copy gets one byte more.
  t.bytes.resize(static_cast<std::size_t>(bytes) + 1);
  env->GetStringUTFRegion(s, 0, chars, t.bytes.data());
  t.bytes.resize(static_cast<std::size_t>(bytes));
  t.present = bytes > 0;
  return t;
}

jstring UtfToJava(JNIEnv* env, const char* text, std::size_t max) {
  if (text == nullptr) return nullptr;
  const std::size_t n = BoundedLength(text, max);
  std::string clean(text, n);
  auto* p = reinterpret_cast<unsigned char*>(clean.data());
  for (std::size_t i = 0; i < n;) {
    const std::size_t len = SequenceLength(p + i, n - i);
    if (len == 0) {
      p[i++] = '?';
    } else {
      i += len;
    }
  }
  return env->NewStringUTF(clean.c_str());
}

JavaText CodesetFromJava(JNIEnv* env, jstring s) {
  JavaText t;
  if (s == nullptr) return t;
  const jsize n = env->GetStringLength(s);
  if (n == 0) return t;
  std::vector<jchar> chars(static_cast<std::size_t>(n));
  env->GetStringRegion(s, 0, n, chars.data());
  const platform::CodePageConverter convert(kUtf16, platform::ProcessCodeset().c_str());
  if (!convert.Valid()) return t;
  convert.Convert(std::string_view(reinterpret_cast<const char*>(chars.data()), chars.size() * sizeof(jchar)),
                  t.bytes, std::string_view("?"));
  t.present = !t.bytes.empty();
  return t;
}

jstring CodesetToJava(JNIEnv* env, const char* text, std::size_t max) {
  if (text == nullptr) return nullptr;
  std::string utf16;
  const platform::CodePageConverter convert(platform::ProcessCodeset().c_str(), kUtf16);
  if (convert.Valid()) {
    convert.Convert(std::string_view(text, BoundedLength(text, max)), utf16,
                    std::string_view(kReplacementChar, 2));
  }
  std::vector<jchar> chars(utf16.size() / sizeof(jchar));
  if (!chars.empty()) std::memcpy(chars.data(), utf16.data(), chars.size() * sizeof(jchar));
  static const jchar kNone = 0;
  return env->NewString(chars.empty() ? &kNone : chars.data(), static_cast<jsize>(chars.size()));
}

JavaText GbkFromJava(JNIEnv* env, jstring s, std::size_t area) {
  JavaText t;
  if (s == nullptr || env->GetStringLength(s) == 0 || area == 0) return t;
  StringClass string(env);
  jmethodID getBytes = string.ok() ? env->GetMethodID(string.cls, "getBytes", "(Ljava/lang/String;)[B") : nullptr;
  if (getBytes == nullptr) {
    t.failed = true;
    return t;
  }
  auto bytes = static_cast<jbyteArray>(env->CallObjectMethod(s, getBytes, string.gbk));
  if (env->ExceptionCheck() || bytes == nullptr) {
    t.failed = env->ExceptionCheck();
    if (bytes != nullptr) env->DeleteLocalRef(bytes);
    return t;
  }
  jsize n = env->GetArrayLength(bytes);
  if (static_cast<std::size_t>(n) > area - 1) n = static_cast<jsize>(area - 1);
  t.bytes.resize(static_cast<std::size_t>(n));
  env->GetByteArrayRegion(bytes, 0, n, reinterpret_cast<jbyte*>(t.bytes.data()));
  env->DeleteLocalRef(bytes);
  t.present = true;
  return t;
}

jstring GbkToJava(JNIEnv* env, const char* text, std::size_t max) {
  if (text == nullptr) return nullptr;
  const auto n = static_cast<jsize>(BoundedLength(text, max));
  StringClass string(env);
  jmethodID init = string.ok() ? env->GetMethodID(string.cls, "<init>", "([BLjava/lang/String;)V") : nullptr;
  if (init == nullptr) return nullptr;
  jbyteArray bytes = env->NewByteArray(n);
  if (bytes == nullptr) return nullptr;
  env->SetByteArrayRegion(bytes, 0, n, reinterpret_cast<const jbyte*>(text));
  auto result = static_cast<jstring>(env->NewObject(string.cls, init, bytes, string.gbk));
  env->DeleteLocalRef(bytes);
  return result;
}

}  // namespace velt::jni
