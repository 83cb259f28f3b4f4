// Native methods of com.zelbrin.lunqcli.LUNQClient: each converts its Java arguments, calls one
// lunqcli operation and converts the results back. One source for both builds; the differences
// are the kNewerBuild branches. No C++ exception and no exception of the bridge's own reaches
// Java; an exception the JVM raises during a conversion is left pending and the method returns
// without calling lunqcli.
#include <jni.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "java_objects.h"
#include "java_text.h"
#include "native_guard.h"
#include "lunqcli.h"

namespace velt::jni {
namespace {

// Fixed areas of the bridge (each one byte longer, so a result cut at the size stays terminated).
constexpr int kNameArea = 100;             // newer build: names converted as local text
constexpr int kSetValueNameArea = 4096;    // newer build: LUNQCLI_SetValue's name
constexpr int kValueArea = 32000;          // values both ways
constexpr int kTextArea = 4000;            // names and cursor names returned to Java
constexpr int kCellArea = 12192;           // a cell: lunqcli copies it whole, up to 12191 characters
constexpr int kMessageArea = 32000;        // lunqcli writes up to 32000 bytes of "_ERRMSG"
constexpr int kSystemParamArea = 100;

// What a method returns when a conversion failed or memory ran out (Java then sees the pending
// exception, if any, rather than the value).
constexpr jint kNotCalled = -1;

LUNQCLI_HANDLE H(jint handle) { return static_cast<LUNQCLI_HANDLE>(handle); }

// A zero-filled area of size + 1 bytes, so that even a text of `size` bytes is terminated.
struct Area {
  explicit Area(int size) : bytes(static_cast<std::size_t>(size) + 1, '\0') {}
  char* data() { return bytes.data(); }
  std::vector<char> bytes;
};

int CutLength(jint length, int area) { return std::clamp(static_cast<int>(length), 0, area); }


// A Java byte array's bytes, copied (nothing pinned, nothing to release).
struct JavaBytes {
  JavaBytes(JNIEnv* env, jbyteArray array) {
    if (array == nullptr) return;
    present = true;
    bytes.resize(static_cast<std::size_t>(env->GetArrayLength(array)));
    env->GetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()), reinterpret_cast<jbyte*>(bytes.data()));
  }
  const unsigned char* data() const { return present ? bytes.data() : nullptr; }
  // The caller's length, cut to the bytes the array really has.
  long Length(jint length) const {
    return std::clamp(static_cast<long>(length), 0L, static_cast<long>(bytes.size()));
  }
  std::vector<unsigned char> bytes;
  bool present = false;
};

jbyteArray NewBytes(JNIEnv* env, const unsigned char* data, long length) {
  const auto n = static_cast<jsize>(std::clamp(length, 0L, static_cast<long>(INT_MAX)));
  jbyteArray array = env->NewByteArray(n);
  if (array != nullptr && n > 0) env->SetByteArrayRegion(array, 0, n, reinterpret_cast<const jbyte*>(data));
  return array;
}

// The byte-array reads: a copy of the bytes lunqcli points at, null when it gives no pointer;
// the holder receives the status.
template <typename Read>
jbyteArray ReadBytes(JNIEnv* env, jobject holder, Read read) {
  unsigned char* data = nullptr;
  long length = 0;
  const int rc = read(&data, &length);
  SetHolder(env, holder, rc);
  if (data == nullptr) return nullptr;
  return NewBytes(env, data, length);
}

// The value-returning reads: the newer build uses its handle (or table) argument as the output
// variable, so a failure without a stored value gives that argument back; the older gives 0.
template <typename Read>
jint ReadValue(jint initial, Read read) {
  int value = kNewerBuild ? initial : 0;
  read(&value);
  return value;
}

}  // namespace
}  // namespace velt::jni

using namespace velt::jni;

#define LUNQ_METHOD(result, name) \
  extern "C" JNIEXPORT result JNICALL Java_com_zelbrin_lunqcli_LUNQClient_LUNQCLI_1##name

// ---- handle ---------------------------------------------------------------------------------------

LUNQ_METHOD(jint, Init)(JNIEnv* env, jclass, jobject holder) {
  return Guard<jint>(kNotCalled, [&] {
    LUNQCLI_HANDLE h = 0;
    const int rc = LUNQCLI_Init(&h);
    // A handle the caller cannot receive would never be released: give it back at once.
    if (rc == 0 && (h > INT_MAX || !SetHolder(env, holder, static_cast<jint>(h)))) {
      LUNQCLI_Exit(h);
      return 1;
    }
    return rc;
  });
}

#define LUNQ_HANDLE_ONLY(name) \
  LUNQ_METHOD(jint, name)(JNIEnv*, jclass, jint h) { return LUNQCLI_##name(H(h)); }

LUNQ_HANDLE_ONLY(Exit)
LUNQ_HANDLE_ONLY(DisConnect)
LUNQ_HANDLE_ONLY(DisConnectForce)
LUNQ_HANDLE_ONLY(SQLDisconnect)
LUNQ_HANDLE_ONLY(BeginWrite)
LUNQ_HANDLE_ONLY(Commit)
LUNQ_HANDLE_ONLY(RollBack)
LUNQ_HANDLE_ONLY(RsAddRow)
LUNQ_HANDLE_ONLY(RsSaveRow)
LUNQ_HANDLE_ONLY(RsOpen)
LUNQ_HANDLE_ONLY(RsMore)
LUNQ_HANDLE_ONLY(RsClose)
LUNQ_HANDLE_ONLY(RsFetchRow)
LUNQ_HANDLE_ONLY(SQLFetch)
LUNQ_HANDLE_ONLY(SQLMoreResults)
LUNQ_HANDLE_ONLY(SQLCloseCursor)

#define LUNQ_VALUE(name) \
  LUNQ_METHOD(jint, name)(JNIEnv*, jclass, jint h) { \
    return ReadValue(h, [&](int* v) { return LUNQCLI_##name(H(h), v); }); \
  }

LUNQ_VALUE(GetVersion)
LUNQ_VALUE(RsGetRowNum)
LUNQ_VALUE(GetErrorCode)
LUNQ_VALUE(GetCommLen)
LUNQ_VALUE(SQLNumResultCols)

#define LUNQ_TABLE_VALUE(name) \
  LUNQ_METHOD(jint, name)(JNIEnv*, jclass, jint h, jint table) { \
    return ReadValue(table, [&](int* v) { return LUNQCLI_##name(H(h), table, v); }); \
  }

LUNQ_TABLE_VALUE(RsGetTableRowNum)
LUNQ_TABLE_VALUE(RsGetTableColNum)

LUNQ_METHOD(jint, RsGetColNum)(JNIEnv* env, jclass, jint h, jobject holder) {
  int n = 0;
  const int rc = LUNQCLI_RsGetColNum(H(h), &n);
  SetHolder(env, holder, n);
  return rc;
}

// ---- connecting -------------------------------------------------------------------------------------

LUNQ_METHOD(jint, SetConnectOption)(JNIEnv* env, jclass, jint h, jobject option) {
  return Guard<jint>(kNotCalled, [&] {
    tagLUNQConnectOption record;
    std::memset(&record, 0, sizeof record);
    if (!ReadOption(env, option, &record)) return kNotCalled;
    return LUNQCLI_SetConnectOption(H(h), record);
  });
}

LUNQ_METHOD(jint, GetConnectOption)(JNIEnv* env, jclass, jint h, jobject option) {
  return Guard<jint>(kNotCalled, [&] {
    tagLUNQConnectOption record;
    std::memset(&record, 0, sizeof record);
    const int rc = LUNQCLI_GetConnectOption(H(h), &record);
    if (option != nullptr) WriteOption(env, option, record, TextForm::kUtf);
    return rc;
  });
}

#define LUNQ_CONNECT(name) \
  LUNQ_METHOD(jint, name)(JNIEnv* env, jclass, jint h, jstring server, jstring user, jstring password) { \
    return Guard<jint>(kNotCalled, [&] { \
      const JavaText s = UtfFromJava(env, server), u = UtfFromJava(env, user), p = UtfFromJava(env, password); \
      return LUNQCLI_##name(H(h), s.c_str(), u.c_str(), p.c_str()); \
    }); \
  }

LUNQ_CONNECT(ConnectServer)
LUNQ_CONNECT(SQLConnect)

LUNQ_METHOD(jint, SetCliTimeOut)(JNIEnv*, jclass, jint h, jint seconds) { return LUNQCLI_SetCliTimeOut(H(h), seconds); }

LUNQ_METHOD(jint, SQLEndTran)(JNIEnv*, jclass, jint h, jint type) { return LUNQCLI_SQLEndTran(H(h), type); }

LUNQ_METHOD(jint, SetIntOption)(JNIEnv*, jclass, jint h, jint id, jint value) {
  const int v = value;
  return LUNQCLI_SetOption(H(h), id, &v);
}

LUNQ_METHOD(jint, GetIntOption)(JNIEnv*, jclass, jint h, jint id) {
  int value = 0;
  LUNQCLI_GetOption(H(h), id, &value);
  return value;
}

LUNQ_METHOD(jint, SetSystemParam)(JNIEnv* env, jclass, jint h, jint id, jstring value) {
  return Guard<jint>(kNotCalled, [&] {
    const JavaText v = LocalFromJava(env, value, kSystemParamArea);
    if (v.failed) return kNotCalled;
    if (kNewerBuild && !v.present) return -1;
    return LUNQCLI_SetSystemParam(H(h), id, v.OrNull());
  });
}

LUNQ_METHOD(jint, GetSystemParam)(JNIEnv* env, jclass, jint h, jint id, jobject buffer) {
  return Guard<jint>(kNotCalled, [&] {
    Area area(kSystemParamArea);
    const int rc = LUNQCLI_GetSystemParam(H(h), id, area.data(), kSystemParamArea);
    if (buffer == nullptr) return rc;
    jstring text = LocalToJava(env, area.data(), kSystemParamArea);
    if (text == nullptr) return rc;  // an exception is pending
    jclass cls = env->GetObjectClass(buffer);
    jmethodID append = env->GetMethodID(cls, "append", "(Ljava/lang/String;)Ljava/lang/StringBuffer;");
    env->DeleteLocalRef(cls);
    if (append == nullptr) {
      env->ExceptionClear();  // not a StringBuffer: nothing to append to
    } else {
      jobject self = env->CallObjectMethod(buffer, append, text);
      if (self != nullptr) env->DeleteLocalRef(self);
    }
    env->DeleteLocalRef(text);
    return rc;
  });
}

// ---- calls --------------------------------------------------------------------------------------------

#define LUNQ_CALL(name) \
  LUNQ_METHOD(jint, name)(JNIEnv* env, jclass, jint h, jstring program) { \
    return Guard<jint>(kNotCalled, [&] { return LUNQCLI_##name(H(h), UtfFromJava(env, program).c_str()); }); \
  }

LUNQ_CALL(CallProgram)
LUNQ_CALL(CallProgramAndCommit)
LUNQ_CALL(SQLExecute)

LUNQ_METHOD(jint, ACallProgram)(JNIEnv* env, jclass, jint h, jstring program, jobject control) {
  return Guard<jint>(kNotCalled, [&] {
    tagLUNQAsyncCall record = ControlRecord(env, nullptr, 0);
    const int rc = LUNQCLI_ACallProgram(H(h), UtfFromJava(env, program).c_str(), &record);
    WriteControl(env, control, record, kTheFour);
    return rc;
  });
}

LUNQ_METHOD(jint, ACallProgramAndCommit)(JNIEnv* env, jclass, jint h, jstring program, jobject control) {
  return Guard<jint>(kNotCalled, [&] {
    const unsigned taken = kNewerBuild ? (kFlags | kId | kMsgId | kCorrId | kExpiry) : 0u;
    tagLUNQAsyncCall record = ControlRecord(env, control, taken);
    const int rc = LUNQCLI_ACallProgramAndCommit(H(h), UtfFromJava(env, program).c_str(), &record);
    WriteControl(env, control, record, kTheFour);
    return rc;
  });
}

LUNQ_METHOD(jint, GetReply)(JNIEnv* env, jclass, jint h, jobject control) {
  return Guard<jint>(kNotCalled, [&] {
    const unsigned taken = kNewerBuild ? (kFlags | kId | kMsgId | kCorrId | kExpiry) : (kFlags | kMsgId | kExpiry);
    tagLUNQAsyncCall record = ControlRecord(env, control, taken);
    const int rc = LUNQCLI_GetReply(H(h), &record);
    WriteControl(env, control, record, kNewerBuild ? (kMsgId | kFlags) : kFlags);
    return rc;
  });
}

LUNQ_METHOD(jint, Cancel)(JNIEnv*, jclass, jint h, jobject) { return LUNQCLI_Cancel(H(h), nullptr); }

// ---- request values and tables ------------------------------------------------------------------------

LUNQ_METHOD(jint, SetValue)(JNIEnv* env, jclass, jint h, jstring name, jstring value) {
  return Guard<jint>(kNotCalled, [&] {
    const JavaText n = LocalFromJava(env, name, kSetValueNameArea);
    if (n.failed) return kNotCalled;
    if (kNewerBuild && !n.present) return -1;
    const JavaText v = LocalFromJava(env, value, kValueArea);
    if (v.failed) return kNotCalled;
    return LUNQCLI_SetValue(H(h), n.OrNull(), v.c_str());
  });
}

LUNQ_METHOD(jint, SetVal)(JNIEnv* env, jclass, jint h, jstring name, jbyteArray data, jint length) {
  return Guard<jint>(kNotCalled, [&] {
    const JavaText n = LocalFromJava(env, name, kNameArea);
    if (n.failed) return kNotCalled;
    const JavaBytes bytes(env, data);
    return LUNQCLI_SetVal(H(h), kNewerBuild ? n.c_str() : n.OrNull(), bytes.data(), bytes.Length(length));
  });
}

#define LUNQ_TABLE(name) \
  LUNQ_METHOD(jint, name)(JNIEnv* env, jclass, jint h, jstring cursor, jint count, jstring names) { \
    return Guard<jint>(kNotCalled, [&] { \
      return LUNQCLI_##name(H(h), UtfFromJava(env, cursor).c_str(), count, UtfFromJava(env, names).c_str()); \
    }); \
  }

LUNQ_TABLE(RsCreate)
LUNQ_TABLE(RsNewTable)

LUNQ_METHOD(jint, RsSetCol)(JNIEnv* env, jclass, jint h, jint column, jstring value) {
  return Guard<jint>(kNotCalled, [&] { return LUNQCLI_RsSetCol(H(h), column, UtfFromJava(env, value).c_str()); });
}

LUNQ_METHOD(jint, RsSetColByName)(JNIEnv* env, jclass, jint h, jstring name, jstring value) {
  return Guard<jint>(kNotCalled, [&] {
    return LUNQCLI_RsSetColByName(H(h), UtfFromJava(env, name).c_str(), UtfFromJava(env, value).c_str());
  });
}

LUNQ_METHOD(jint, RsSetVal)(JNIEnv* env, jclass, jint h, jint column, jbyteArray data, jint length) {
  return Guard<jint>(kNotCalled, [&] {
    const JavaBytes bytes(env, data);
    return LUNQCLI_RsSetVal(H(h), column, bytes.data(), bytes.Length(length));
  });
}

LUNQ_METHOD(jint, RsSetValByName)(JNIEnv* env, jclass, jint h, jstring name, jbyteArray data, jint length) {
  return Guard<jint>(kNotCalled, [&] {
    const JavaText n = LocalFromJava(env, name, kNameArea);
    if (n.failed) return kNotCalled;
    const JavaBytes bytes(env, data);
    return LUNQCLI_RsSetValByName(H(h), kNewerBuild ? n.c_str() : n.OrNull(), bytes.data(), bytes.Length(length));
  });
}

// ---- answer values and result sets -----------------------------------------------------------------

LUNQ_METHOD(jstring, GetValue)(JNIEnv* env, jclass, jint h, jstring name, jint length) {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    const JavaText n = kNewerBuild ? LocalFromJava(env, name, kNameArea) : UtfFromJava(env, name);
    if (n.failed) return nullptr;
    Area value(kValueArea);
    LUNQCLI_GetValue(H(h), n.c_str(), value.data(), CutLength(length, kValueArea));
    return LocalToJava(env, value.data(), kValueArea);
  });
}

LUNQ_METHOD(jbyteArray, GetVal)(JNIEnv* env, jclass, jint h, jstring name, jobject holder) {
  return Guard<jbyteArray>(nullptr, [&]() -> jbyteArray {
    const JavaText n = LocalFromJava(env, name, kNameArea);
    if (n.failed) return nullptr;
    const char* text = kNewerBuild ? n.c_str() : n.OrNull();
    return ReadBytes(env, holder, [&](unsigned char** d, long* l) { return LUNQCLI_GetVal(H(h), text, d, l); });
  });
}

LUNQ_METHOD(jbyteArray, RsGetVal)(JNIEnv* env, jclass, jint h, jint column, jobject holder) {
  return Guard<jbyteArray>(nullptr, [&]() -> jbyteArray {
    return ReadBytes(env, holder, [&](unsigned char** d, long* l) { return LUNQCLI_RsGetVal(H(h), column, d, l); });
  });
}

LUNQ_METHOD(jbyteArray, RsGetValByName)(JNIEnv* env, jclass, jint h, jstring name, jobject holder) {
  return Guard<jbyteArray>(nullptr, [&]() -> jbyteArray {
    const JavaText n = LocalFromJava(env, name, kNameArea);
    if (n.failed) return nullptr;
    if (kNewerBuild && !n.present) return nullptr;
    const char* text = n.OrNull();
    return ReadBytes(env, holder,
                     [&](unsigned char** d, long* l) { return LUNQCLI_RsGetValByName(H(h), text, d, l); });
  });
}

#define LUNQ_NAMES(name) \
  LUNQ_METHOD(jstring, name)(JNIEnv* env, jclass, jint h, jint length) { \
    return Guard<jstring>(nullptr, [&]() -> jstring { \
      Area area(kTextArea); \
      LUNQCLI_##name(H(h), area.data(), CutLength(length, kTextArea)); \
      return LocalToJava(env, area.data(), kTextArea); \
    }); \
  }

LUNQ_NAMES(RsGetCursorName)
LUNQ_NAMES(SQLGetCursorName)
LUNQ_NAMES(RsGetColNames)
LUNQ_NAMES(SQLGetColNames)

LUNQ_METHOD(jstring, RsGetColName)(JNIEnv* env, jclass, jint h, jint column, jint length) {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Area area(kTextArea);
    LUNQCLI_RsGetColName(H(h), column, area.data(), CutLength(length, kTextArea));
    return LocalToJava(env, area.data(), kTextArea);
  });
}

LUNQ_METHOD(jstring, SQLGetColName)(JNIEnv* env, jclass, jint h, jint column, jint length) {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Area area(kTextArea);
    LUNQCLI_SQLGetColName(H(h), column, area.data(), CutLength(length, kTextArea));
    return UtfToJava(env, area.data(), kTextArea);
  });
}

LUNQ_METHOD(jstring, RsGetCol)(JNIEnv* env, jclass, jint h, jint column) {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Area area(kCellArea);
    LUNQCLI_RsGetCol(H(h), column, area.data());
    return LocalToJava(env, area.data(), kCellArea);
  });
}

LUNQ_METHOD(jstring, RsGetColByName)(JNIEnv* env, jclass, jint h, jstring name) {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Area area(kCellArea);
    LUNQCLI_RsGetColByName(H(h), UtfFromJava(env, name).c_str(), area.data());
    return LocalToJava(env, area.data(), kCellArea);
  });
}

LUNQ_METHOD(jstring, GetErrorMsg)(JNIEnv* env, jclass, jint h) {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Area area(kMessageArea);
    LUNQCLI_GetErrorMsg(H(h), area.data());
    return LocalToJava(env, area.data(), kMessageArea);
  });
}
