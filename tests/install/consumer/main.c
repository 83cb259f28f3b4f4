/* Uses the installed libraries through their public headers only: the encoder, the ticket
 * library, the bus client (a request built and read back) and the queue library. */
#include <stdio.h>
#include <string.h>

#include "lyrsso.h"
#include "mvencode.h"
#include "rimqapi.h"
#include "veltcli.h"

int main(int argc, char **argv) {
  const unsigned char clear[] = "hello";
  unsigned char text[16] = {0};
  unsigned char back[16] = {0};
  char ini[512];
  char ticket[33];
  FILE *f;
  int expiry = 0;

  if (argc < 2) return 2;
  if (MVEncode(MVENCODE_TYPE_BASE64, clear, 5, text, sizeof text - 1, NULL, 0) != 8) return 3;
  if (strcmp((const char *)text, "aGVsbG8=") != 0) return 4;
  if (MVDecode(MVENCODE_TYPE_BASE64, text, 8, back, sizeof back - 1, NULL, 0) != 5) return 5;
  if (memcmp(back, clear, 5) != 0) return 6;

  if (LYRSSO_Sign("APP", "user", ticket, sizeof ticket) != LYRSSO_ERR_SIGN_NOT_INITIALISED) return 7;
  snprintf(ini, sizeof ini, "%s/consumer.ini", argv[1]);
  f = fopen(ini, "w");
  if (f == NULL) return 8;
  fputs("[LYRSSO]\nValidTime=30\nSpecialString=shared\n", f);
  fclose(f);
  LYRSSO_Init(ini);
  if (LYRSSO_Sign("APP", "user", ticket, sizeof ticket) != 0 || strlen(ticket) != LYRSSO_TICKET_LEN) return 9;
  if (LYRSSO_Verify("APP", "user", ticket, &expiry) != 0 || expiry == 0) return 10;
  if (LYRSSO_Verify("APP", "other", ticket, &expiry) != LYRSSO_ERR_VERIFY_MISMATCH) return 11;
  {
    VELTCLI_HANDLE h = NULL;
    char value[16];
    int conn = -1, cc = 0, reason = 0;
    if (VELTCLI_Init(&h) != 0 || h == NULL) return 12;
    if (VELTCLI_BeginWrite(h) != 0 || VELTCLI_SetValue(h, "NAME", "a&b=c") != 0) return 13;
    if (VELTCLI_GetValue(h, "NAME", value, (int)sizeof value - 1) != 0 || strcmp(value, "a&b=c") != 0) return 14;
    if (VELTCLI_Exit(h) != 0) return 15;
    RIMQ_Connect(0, "inproc:consumer", 0, "", "", "", "", &conn, &cc, &reason);
    if (cc != RIMQCC_OK || conn < 0) return 16;
    RIMQ_Disconn(&conn, 0, &cc, &reason);
  }
  puts("consumer: encoder, tickets, bus client and queue library work from the installed prefix");
  return 0;
}
