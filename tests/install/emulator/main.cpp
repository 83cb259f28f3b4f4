// Starts veltemu::Emulator on the embedded queue manager, registers a program and calls it.
#include <cstdio>
#include <cstring>

#include "emulator.h"
#include "veltcli.h"

int main() {
  veltemu::EmulatorConfig config;   // address "inproc"
  config.requestQueue = "INPROC.REQUEST";
  config.log = nullptr;
  veltemu::Emulator emulator(config);
  emulator.Register("greet.hello", [](const veltemu::Request& request, veltemu::Answer& answer) {
    answer.SetValue("GREETING", "hello " + request.Value("NAME").value_or("nobody"));
  });
  if (emulator.Start() != 0) return 1;

  VELTCLI_HANDLE h = nullptr;
  if (VELTCLI_Init(&h) != 0) return 2;
  tagVELTConnectOption entry{};
  std::strcpy(entry.szServerName, "main");
  std::strcpy(entry.szAddress, "inproc");
  std::strcpy(entry.szSendQName, "INPROC.REQUEST");
  std::strcpy(entry.szReceiveQName, "INPROC.ANS");
  VELTCLI_SetConnectOption(h, entry);
  VELTCLI_SetCliTimeOut(h, 5);
  if (VELTCLI_ConnectServer(h, "main", "", "") != 0) return 3;
  VELTCLI_BeginWrite(h);
  VELTCLI_SetValue(h, "NAME", "Ann");
  char value[32] = "";
  if (VELTCLI_CallProgramAndCommit(h, "greet.hello", nullptr) != 0) return 4;
  if (VELTCLI_GetValue(h, "GREETING", value, sizeof value - 1) != 0 || std::strcmp(value, "hello Ann") != 0) return 5;
  VELTCLI_DisConnect(h);
  VELTCLI_Exit(h);
  emulator.Stop();
  std::puts("emulator_inproc: Velt::emulator served a call in the same process");
  return 0;
}
