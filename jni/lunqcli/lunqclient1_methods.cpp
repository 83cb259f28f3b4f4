// Native methods of com.zelbrin.lunqcli.LUNQClient1 (newer build only): options as Java objects,
// server lists as arrays of connection-option objects.
#include <jni.h>

#include <cstring>
#include <vector>

#include "java_objects.h"
#include "java_text.h"
#include "native_guard.h"
#include "lunqcli.h"

#if VELT_LUNQCLI_JNI_NEWER

namespace velt::jni {
namespace {

constexpr int kListRoom = 16;  // records lunqcli returns at most for ids 0 and 12

template <typename Record>
struct OptionClass;
template <>
struct OptionClass<tagLUNQConnectOption> {
  static constexpr const char* kName = "com/zelbrin/lunqcli/tagLUNQConnectOption";
};
template <>
struct OptionClass<tagLUNQConnectOptionEx> {
  static constexpr const char* kName = "com/zelbrin/lunqcli/tagLUNQConnectOptionEx";
};

template <typename Record>
bool InUse(const Record& r) {
  return r.szServerName[0] != '\0' || r.szAddress[0] != '\0';
}

// A server list from a Java array, one record per element in order; the whole list goes to
// lunqcli with its length, so every element counts (the one-record form would keep the first).
template <typename Record>
int SetList(JNIEnv* env, LUNQCLI_HANDLE h, int id, jobject value) {
  jclass arrayClass = env->FindClass("[Ljava/lang/Object;");
  if (arrayClass == nullptr) return -1;
  const bool isArray = value != nullptr && env->IsInstanceOf(value, arrayClass);
  env->DeleteLocalRef(arrayClass);
  if (!isArray) return LUNQCLI_SetOption(h, id, nullptr);  // lunqcli's answer to a missing value
  auto array = static_cast<jobjectArray>(value);
  const jsize count = env->GetArrayLength(array);
  std::vector<Record> list(static_cast<std::size_t>(count));
  std::memset(list.data(), 0, list.size() * sizeof(Record));
  for (jsize i = 0; i < count; ++i) {
    jobject element = env->GetObjectArrayElement(array, i);
    const bool ok = ReadOption(env, element, &list[static_cast<std::size_t>(i)]);
    if (element != nullptr) env->DeleteLocalRef(element);
    if (!ok) return -1;  // an exception is pending
  }
  static const Record kNone{};
  return LUNQCLI_SetOptions(h, id, count > 0 ? list.data() : &kNone, static_cast<int>(count * sizeof(Record)));
}

template <typename Record>
int SetOne(JNIEnv* env, LUNQCLI_HANDLE h, int id, jobject value) {
  Record record;
  std::memset(&record, 0, sizeof record);
  if (!ReadOption(env, value, &record)) return -1;
  return LUNQCLI_SetOption(h, id, &record);
}

// A new option object made with its no-argument constructor and filled from the record; null
// when the class, the constructor or a field is missing (an exception of the JVM stays pending).
template <typename Record>
jobject NewOption(JNIEnv* env, jclass cls, jmethodID init, const Record& record) {
  jobject object = env->NewObject(cls, init);
  if (object == nullptr) return nullptr;
  if (!WriteOption(env, object, record, TextForm::kCodeset)) {
    env->DeleteLocalRef(object);
    return nullptr;
  }
  return object;
}

// Looks up the option class and its constructor; false (exception cleared) when either is missing.
template <typename Record>
bool FindOptionClass(JNIEnv* env, jclass* cls, jmethodID* init) {
  *cls = env->FindClass(OptionClass<Record>::kName);
  if (*cls == nullptr) {
    env->ExceptionClear();
    return false;
  }
  *init = env->GetMethodID(*cls, "<init>", "()V");
  if (*init == nullptr) {
    env->ExceptionClear();
    env->DeleteLocalRef(*cls);
    return false;
  }
  return true;
}

template <typename Record>
jobject GetList(JNIEnv* env, LUNQCLI_HANDLE h, int id) {
  std::vector<Record> list(kListRoom);
  std::memset(list.data(), 0, list.size() * sizeof(Record));
  int count = kListRoom;
  if (LUNQCLI_GetOptions(h, id, list.data(), &count) != 0) return nullptr;
  if (count > kListRoom) count = kListRoom;
  std::vector<const Record*> used;
  for (int i = 0; i < count; ++i) {
    if (InUse(list[static_cast<std::size_t>(i)])) used.push_back(&list[static_cast<std::size_t>(i)]);
  }
  jclass cls;
  jmethodID init;
  if (!FindOptionClass<Record>(env, &cls, &init)) return nullptr;
  jobjectArray result = env->NewObjectArray(static_cast<jsize>(used.size()), cls, nullptr);
  for (std::size_t i = 0; result != nullptr && i < used.size(); ++i) {
    jobject element = NewOption(env, cls, init, *used[i]);
    if (element == nullptr) {
      env->DeleteLocalRef(result);
      result = nullptr;
      break;
    }
    env->SetObjectArrayElement(result, static_cast<jsize>(i), element);
    env->DeleteLocalRef(element);
  }
  env->DeleteLocalRef(cls);
  return result;
}

template <typename Record>
jobject GetOne(JNIEnv* env, LUNQCLI_HANDLE h, int id) {
  Record record;
  std::memset(&record, 0, sizeof record);
  if (LUNQCLI_GetOption(h, id, &record) != 0) return nullptr;
  jclass cls;
  jmethodID init;
  if (!FindOptionClass<Record>(env, &cls, &init)) return nullptr;
  jobject object = NewOption(env, cls, init, record);
  env->DeleteLocalRef(cls);
  return object;
}

int SetInteger(JNIEnv* env, LUNQCLI_HANDLE h, int id, jobject value) {
  jclass integer = env->FindClass("java/lang/Integer");
  if (integer == nullptr) return -1;
  int v = 0;
  bool have = false;
  if (value != nullptr && env->IsInstanceOf(value, integer)) {
    jmethodID intValue = env->GetMethodID(integer, "intValue", "()I");
    if (intValue != nullptr) {
      v = env->CallIntMethod(value, intValue);
      have = !env->ExceptionCheck();
    }
  }
  env->DeleteLocalRef(integer);
  if (env->ExceptionCheck()) return -1;
  return LUNQCLI_SetOption(h, id, have ? &v : nullptr);
}

jobject GetInteger(JNIEnv* env, LUNQCLI_HANDLE h, int id) {
  int value = 0;
  if (LUNQCLI_GetOption(h, id, &value) != 0) return nullptr;
  jclass integer = env->FindClass("java/lang/Integer");
  if (integer == nullptr) return nullptr;
  jmethodID init = env->GetMethodID(integer, "<init>", "(I)V");
  jobject result = init != nullptr ? env->NewObject(integer, init, static_cast<jint>(value)) : nullptr;
  env->DeleteLocalRef(integer);
  return result;
}


}  // namespace
}  // namespace velt::jni

using namespace velt::jni;

extern "C" JNIEXPORT jint JNICALL Java_com_zelbrin_lunqcli_LUNQClient1_LUNQCLI_1SetOption(JNIEnv* env, jclass,
                                                                                          jint h, jint id,
                                                                                          jobject value) {
  return Guard<jint>(-1, [&] {
    const auto handle = static_cast<LUNQCLI_HANDLE>(h);
    switch (id) {
      case 0: return SetList<tagLUNQConnectOption>(env, handle, id, value);
      case 12: return SetList<tagLUNQConnectOptionEx>(env, handle, id, value);
      case 7: return SetOne<tagLUNQConnectOption>(env, handle, id, value);
      case 13: return SetOne<tagLUNQConnectOptionEx>(env, handle, id, value);
      default: return SetInteger(env, handle, id, value);
    }
  });
}

extern "C" JNIEXPORT jobject JNICALL Java_com_zelbrin_lunqcli_LUNQClient1_LUNQCLI_1GetOption(JNIEnv* env, jclass,
                                                                                             jint h, jint id) {
  return Guard<jobject>(nullptr, [&] {
    const auto handle = static_cast<LUNQCLI_HANDLE>(h);
    switch (id) {
      case 0: return GetList<tagLUNQConnectOption>(env, handle, id);
      case 12: return GetList<tagLUNQConnectOptionEx>(env, handle, id);
      case 7: return GetOne<tagLUNQConnectOption>(env, handle, id);
      case 13: return GetOne<tagLUNQConnectOptionEx>(env, handle, id);
      default: return GetInteger(env, handle, id);
    }
  });
}

#endif  // VELT_LUNQCLI_JNI_NEWER
