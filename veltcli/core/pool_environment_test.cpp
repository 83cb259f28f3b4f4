// The pool capacity read from LUNQCLI_OBJECTSPOOLSIZE when the library is loaded: each case loads
// the library afresh in a child process with its own environment.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "veltcli.h"

namespace {

// In the child: load the library and read option id 20 of a new handle; the exit status tells.
[[noreturn]] void ChildReadsCapacity(const char* value, int expected) {
  if (value == nullptr) {
    unsetenv("LUNQCLI_OBJECTSPOOLSIZE");
  } else {
    setenv("LUNQCLI_OBJECTSPOOLSIZE", value, 1);
  }
  void* library = dlopen(VELTCLI_LIBRARY_PATH, RTLD_NOW);
  if (library == nullptr) _exit(2);
  auto init = reinterpret_cast<decltype(&VELTCLI_Init)>(dlsym(library, "VELTCLI_Init"));
  auto getOption = reinterpret_cast<decltype(&VELTCLI_GetOption)>(dlsym(library, "VELTCLI_GetOption"));
  auto exitHandle = reinterpret_cast<decltype(&VELTCLI_Exit)>(dlsym(library, "VELTCLI_Exit"));
  VELTCLI_HANDLE h = nullptr;
  if (init == nullptr || getOption == nullptr || exitHandle == nullptr || init(&h) != 0) _exit(3);
  int capacity = -999;
  getOption(h, VELTCLI_OPTION_POOL_CAPACITY, &capacity);
  exitHandle(h);
  dlclose(library);
  _exit(capacity == expected ? 0 : 1);
}

TEST(PoolEnvironment, CapacityAtLoad) {
  const struct {
    const char* value;
    int capacity;
  } cases[] = {{nullptr, 0}, {"5000", 1024}, {"-3", 0}, {"abc", 0}, {"7", 7}};
  for (const auto& c : cases) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) ChildReadsCapacity(c.value, c.capacity);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "LUNQCLI_OBJECTSPOOLSIZE=" << (c.value ? c.value : "(unset)");
  }
}

}  // namespace
