// Native methods of com.zelbrin.mvencodecli.MVEncodeCli over libmvencode.so. Inputs are copied
// into zero-terminated heap blocks (type 5 reads them as texts); the whole output area, not only
// the result's length, goes back into the caller's array.
#include <jni.h>

#include <memory>
#include <new>

#include "mvencode.h"

namespace {

// A heap block one byte longer than the Java array it copies, zero-filled, so the copy is
// zero-terminated. An absent or empty array gives no block and length 0.
class ArrayCopy {
 public:
  ArrayCopy(JNIEnv* env, jbyteArray array) {
    if (array == nullptr) return;
    const jsize n = env->GetArrayLength(array);
    if (n <= 0) return;
    block_.reset(new (std::nothrow) unsigned char[static_cast<size_t>(n) + 1]());
    if (!block_) {
      failed_ = true;
      return;
    }
    length_ = n;
    env->GetByteArrayRegion(array, 0, n, reinterpret_cast<jbyte*>(block_.get()));
  }

  const unsigned char* data() const { return block_.get(); }
  int length() const { return length_; }
  bool failed() const { return failed_; }

 private:
  std::unique_ptr<unsigned char[]> block_;
  int length_ = 0;
  bool failed_ = false;
};

// The output area: the Java array's length plus a terminator byte, zero-filled; copied back whole.
class OutputArea {
 public:
  OutputArea(JNIEnv* env, jbyteArray array)
      : env_(env), array_(array), length_(array != nullptr ? env->GetArrayLength(array) : 0),
        block_(new (std::nothrow) unsigned char[static_cast<size_t>(length_) + 1]()) {}

  unsigned char* data() { return block_.get(); }
  int length() const { return length_; }
  bool failed() const { return !block_; }

  void CopyBack() {
    if (array_ != nullptr && length_ > 0 && block_) {
      env_->SetByteArrayRegion(array_, 0, length_, reinterpret_cast<const jbyte*>(block_.get()));
    }
  }

 private:
  JNIEnv* env_;
  jbyteArray array_;
  jsize length_;
  std::unique_ptr<unsigned char[]> block_;
};

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_com_zelbrin_mvencodecli_MVEncodeCli_MVEncode(JNIEnv* env, jclass, jint type,
                                                                          jbyteArray input, jbyteArray output,
                                                                          jbyteArray key) {
  ArrayCopy in(env, input);
  ArrayCopy k(env, key);
  OutputArea out(env, output);
  if (in.failed() || k.failed() || out.failed()) return MVENCODE_ERR_ARGUMENT;  // the encoder's memory code
  const int rc = MVEncode(type, in.data(), in.length(), out.data(), out.length(), k.data(), k.length());
  out.CopyBack();
  return rc;
}

JNIEXPORT jint JNICALL Java_com_zelbrin_mvencodecli_MVEncodeCli_MVReEncode(JNIEnv* env, jclass, jbyteArray input,
                                                                            jbyteArray output, jint decodeType,
                                                                            jbyteArray decodeKey, jint encodeType,
                                                                            jbyteArray encodeKey) {
  ArrayCopy in(env, input);
  ArrayCopy dk(env, decodeKey);
  ArrayCopy ek(env, encodeKey);
  OutputArea out(env, output);
  if (in.failed() || dk.failed() || ek.failed() || out.failed()) return MVENCODE_ERR_ARGUMENT;
  const int rc = MVReEncode(in.data(), in.length(), out.data(), out.length(), decodeType, dk.data(), dk.length(),
                            encodeType, ek.data(), ek.length());
  out.CopyBack();
  return rc;
}

}  // extern "C"
