// Encoding and decoding of the packet header.
#include "wire/packet_header.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace velt::wire {
namespace {

// Largest and smallest values a decimal field of `width` characters can show.
long long FieldMax(int width) {
  long long m = 1;
  for (int i = 0; i < width; ++i) m *= 10;
  return m - 1;
}

void PutNumber(char* at, int width, long long value) {
  const long long hi = FieldMax(width);
  const long long lo = width > 1 ? -FieldMax(width - 1) : 0;
  if (value > hi) value = hi;
  if (value < lo) value = lo;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, value);
  std::memcpy(at, buf, static_cast<std::size_t>(width));
}

void PutHex(char* at, int value) {
  static const char kDigits[] = "0123456789ABCDEF";
  *at = kDigits[value & 0xF];
}

void PutText(char* at, std::size_t width, const char* text) {
  std::size_t n = 0;
  while (n < width && text[n] != '\0') ++n;
  std::memcpy(at, text, n);
  std::memset(at + n, ' ', width - n);
}

int GetNumber(const char* at, std::size_t width) {
  std::size_t i = 0;
  while (i < width && (at[i] == ' ' || at[i] == '\t')) ++i;
  bool negative = false;
  if (i < width && (at[i] == '-' || at[i] == '+')) negative = at[i++] == '-';
  long long v = 0;
  for (; i < width && at[i] >= '0' && at[i] <= '9'; ++i) v = v * 10 + (at[i] - '0');
  if (negative) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  return static_cast<int>(v);
}

int GetHex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

template <std::size_t N>
void GetText(const char* at, std::size_t width, char (&field)[N]) {
  static_assert(N > 0);
  std::size_t b = 0;
  std::size_t e = width;
  while (b < e && at[b] == ' ') ++b;
  while (e > b && (at[e - 1] == ' ' || at[e - 1] == '\0')) --e;
  std::size_t n = e - b;
  if (n > N - 1) n = N - 1;
  std::memcpy(field, at + b, n);
  std::memset(field + n, 0, N - n);
}

}  // namespace

void EncodeHeader(const PacketHeader& h, char* out) noexcept {
  PutNumber(out + 0, 2, h.version);
  PutHex(out + 2, h.callType);
  PutHex(out + 3, h.transactionMode);
  PutNumber(out + 4, 10, h.sessionNumber);
  PutNumber(out + 14, 6, h.sequence);
  PutNumber(out + 20, 1, h.flags);
  PutNumber(out + 21, 5, h.reserved1);
  PutNumber(out + 26, 5, h.reserved2);
  PutNumber(out + 31, 5, static_cast<std::uint16_t>(h.serverNumber));
  PutText(out + 36, 12, h.clientId);
  PutText(out + 48, 8, h.user);
  PutText(out + 56, 12, h.password);
  PutText(out + 68, 26, h.transactionId);
  PutText(out + 94, 8, h.program);
  PutNumber(out + 102, 5, h.length);
  PutNumber(out + 107, 6, h.status);
  PutText(out + 113, 10, h.servicePrefix);
  PutNumber(out + 123, 3, h.checksum);
}

PacketHeader DecodeHeader(const char* in) noexcept {
  PacketHeader h;
  h.version = GetNumber(in + 0, 2);
  h.callType = GetHex(in[2]);
  h.transactionMode = GetHex(in[3]);
  h.sessionNumber = GetNumber(in + 4, 10);
  h.sequence = GetNumber(in + 14, 6);
  h.flags = GetNumber(in + 20, 1);
  h.reserved1 = GetNumber(in + 21, 5);
  h.reserved2 = GetNumber(in + 26, 5);
  h.serverNumber = static_cast<std::uint16_t>(GetNumber(in + 31, 5));
  GetText(in + 36, 12, h.clientId);
  GetText(in + 48, 8, h.user);
  GetText(in + 56, 12, h.password);
  GetText(in + 68, 26, h.transactionId);
  GetText(in + 94, 8, h.program);
  h.length = GetNumber(in + 102, 5);
  h.status = GetNumber(in + 107, 6);
  GetText(in + 113, 10, h.servicePrefix);
  h.checksum = GetNumber(in + 123, 3);
  return h;
}

int Checksum(const char* header, const char* text, std::size_t textLength) noexcept {
  unsigned long sum = 0;
  for (std::size_t i = 0; i < 123; ++i) sum += static_cast<unsigned char>(header[i]);
  for (std::size_t i = 0; i < textLength; ++i) sum += static_cast<unsigned char>(text[i]);
  return static_cast<int>(sum % 255);
}

void SealPacket(char* packet, std::size_t textLength) noexcept {
  PutNumber(packet + 123, 3, Checksum(packet, packet + kHeaderBytes, textLength));
}

}  // namespace velt::wire
