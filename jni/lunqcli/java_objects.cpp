// Field access by name on any Java object, and the conversions between the bridge's Java objects
// and lunqcli's records.
#include "java_objects.h"

#include <cstring>

namespace velt::jni {
namespace {

// The id of a field of the object's class; null (with the lookup's NoSuchFieldError cleared, since
// a missing field is an answer, not an error) when the object is null or lacks the field.
jfieldID FindField(JNIEnv* env, jobject object, const char* name, const char* signature) {
  if (object == nullptr) return nullptr;
  jclass cls = env->GetObjectClass(object);
  jfieldID id = env->GetFieldID(cls, name, signature);
  if (id == nullptr) env->ExceptionClear();
  env->DeleteLocalRef(cls);
  return id;
}

constexpr const char* kString = "Ljava/lang/String;";

// Copies text into a fixed field, cut to leave room for its terminator.
template <std::size_t N>
void CopyCut(char (&field)[N], const std::string& text) {
  const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

bool ReadIntField(JNIEnv* env, jobject object, const char* name, int* out) {
  jfieldID id = FindField(env, object, name, "I");
  if (id == nullptr) return false;
  *out = env->GetIntField(object, id);
  return true;
}

// False when the field is missing; a null string reads as an empty text.
template <std::size_t N>
bool ReadTextField(JNIEnv* env, jobject object, const char* name, char (&field)[N]) {
  jfieldID id = FindField(env, object, name, kString);
  if (id == nullptr) return false;
  auto value = static_cast<jstring>(env->GetObjectField(object, id));
  const JavaText text = UtfFromJava(env, value);
  if (value != nullptr) env->DeleteLocalRef(value);
  CopyCut(field, text.bytes);
  return true;
}

bool WriteIntField(JNIEnv* env, jobject object, const char* name, jint value) {
  jfieldID id = FindField(env, object, name, "I");
  if (id == nullptr) return false;
  env->SetIntField(object, id, value);
  return true;
}

// False when the field is missing or the string could not be made (an exception is pending).
template <std::size_t N>
bool WriteTextField(JNIEnv* env, jobject object, const char* name, const char (&field)[N], TextForm form) {
  jfieldID id = FindField(env, object, name, kString);
  if (id == nullptr) return false;
  jstring value = form == TextForm::kUtf ? UtfToJava(env, field, N) : CodesetToJava(env, field, N);
  if (value == nullptr) return false;
  env->SetObjectField(object, id, value);
  env->DeleteLocalRef(value);
  return true;
}

template <typename Record>
bool ReadCommonOption(JNIEnv* env, jobject option, Record* r) {
  return ReadTextField(env, option, "szServerName", r->szServerName) &&
         ReadTextField(env, option, "szAddress", r->szAddress) &&
         ReadTextField(env, option, "szSendQName", r->szSendQName) &&
         ReadTextField(env, option, "szReceiveQName", r->szReceiveQName) &&
         ReadTextField(env, option, "szReserved", r->szReserved) &&
         ReadIntField(env, option, "nProtocal", &r->nProtocal) && ReadIntField(env, option, "nPort", &r->nPort);
}

template <typename Record>
bool WriteCommonOption(JNIEnv* env, jobject option, const Record& r, TextForm form) {
  return WriteTextField(env, option, "szServerName", r.szServerName, form) &&
         WriteTextField(env, option, "szAddress", r.szAddress, form) &&
         WriteTextField(env, option, "szSendQName", r.szSendQName, form) &&
         WriteTextField(env, option, "szReceiveQName", r.szReceiveQName, form) &&
         WriteTextField(env, option, "szReserved", r.szReserved, form) &&
         WriteIntField(env, option, "nProtocal", r.nProtocal) && WriteIntField(env, option, "nPort", r.nPort);
}

}  // namespace

bool SetHolder(JNIEnv* env, jobject holder, jint value) { return WriteIntField(env, holder, "x", value); }

tagLUNQAsyncCall ControlRecord(JNIEnv* env, jobject control, unsigned taken) {
  tagLUNQAsyncCall r;
  std::memset(&r, 0, sizeof r);
  if (control == nullptr) return r;
  if ((taken & kFlags) != 0) ReadIntField(env, control, "nFlags", &r.nFlags);
  if ((taken & kId) != 0) ReadTextField(env, control, "szId", r.szId);
  if ((taken & kMsgId) != 0) ReadTextField(env, control, "szMsgId", r.szMsgId);
  if ((taken & kCorrId) != 0) ReadTextField(env, control, "szCorrId", r.szCorrId);
  if ((taken & kExpiry) != 0) ReadIntField(env, control, "nExpiry", &r.nExpiry);
  if ((taken & kPriority) != 0) ReadIntField(env, control, "nPriority", &r.nPriority);
  int stamp = 0;
  if ((taken & kTimeStamp) != 0 && ReadIntField(env, control, "tTimeStamp", &stamp)) r.tTimeStamp = stamp;
  return r;
}

void WriteControl(JNIEnv* env, jobject control, const tagLUNQAsyncCall& r, unsigned written) {
  if (control == nullptr) return;
  // Each text write may fail only with a pending exception; nothing more is written then.
  if ((written & kId) != 0 && !WriteTextField(env, control, "szId", r.szId, TextForm::kUtf) && env->ExceptionCheck()) return;
  if ((written & kMsgId) != 0 && !WriteTextField(env, control, "szMsgId", r.szMsgId, TextForm::kUtf) &&
      env->ExceptionCheck()) {
    return;
  }
  if ((written & kCorrId) != 0 && !WriteTextField(env, control, "szCorrId", r.szCorrId, TextForm::kUtf) &&
      env->ExceptionCheck()) {
    return;
  }
  if ((written & kFlags) != 0) WriteIntField(env, control, "nFlags", r.nFlags);
  if ((written & kTimeStamp) != 0) {
    WriteIntField(env, control, "tTimeStamp", static_cast<jint>(static_cast<unsigned long long>(r.tTimeStamp)));
  }
}

bool ReadOption(JNIEnv* env, jobject option, tagLUNQConnectOption* record) {
  ReadCommonOption(env, option, record);
  return !env->ExceptionCheck();
}

bool ReadOption(JNIEnv* env, jobject option, tagLUNQConnectOptionEx* record) {
  if (ReadCommonOption(env, option, record) && ReadTextField(env, option, "szProxy", record->szProxy)) {
    ReadTextField(env, option, "szSSL", record->szSSL);
  }
  return !env->ExceptionCheck();
}

bool WriteOption(JNIEnv* env, jobject option, const tagLUNQConnectOption& record, TextForm form) {
  return WriteCommonOption(env, option, record, form);
}

bool WriteOption(JNIEnv* env, jobject option, const tagLUNQConnectOptionEx& record, TextForm form) {
  return WriteCommonOption(env, option, record, form) &&
         WriteTextField(env, option, "szProxy", record.szProxy, form) &&
         WriteTextField(env, option, "szSSL", record.szSSL, form);
}

}  // namespace velt::jni
