// The outermost frame of every native method: a C++ exception (std::bad_alloc is the only one the
// bridge can meet) becomes the method's fallback result instead of crossing into the JVM.
#pragma once

namespace velt::jni {

template <typename R, typename F>
R Guard(R fallback, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace velt::jni
