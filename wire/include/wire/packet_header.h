// The 126-byte packet header that leads every queue message of a request or an answer, and its
// checksum. I/O-free: the client's packet exchange and the emulator both encode and decode
// headers only through here.
//
// Fixed-width printable text: numbers in decimal with leading zeros to the full width (a minus
// sign inside the width), "hex" fields one upper-case digit, text fields padded with spaces.
// A number too wide for its field is clamped to the widest value the field can show.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velt::wire {

inline constexpr std::size_t kHeaderBytes = 126;
inline constexpr std::size_t kMaxPacketText = 3958;               // text bytes per packet
inline constexpr std::size_t kMaxPacketBytes = kHeaderBytes + kMaxPacketText;   // 4084
inline constexpr int kWindowPackets = 8;                           // packets per answer window

// Packet flags (offset 20).
inline constexpr int kFlagLast = 1;          // last packet of the message
inline constexpr int kFlagWindowEnd = 2;     // end of a window of eight packets

struct PacketHeader {
  int version = 1;             // 0, width 2
  int callType = 0;            // 2, hex
  int transactionMode = 0;     // 3, hex (plus 8 for an asynchronous call)
  int sessionNumber = 0;       // 4, width 10
  int sequence = 0;            // 14, width 6
  int flags = 0;               // 20, width 1
  int reserved1 = 0;           // 21, width 5
  int reserved2 = 0;           // 26, width 5
  int serverNumber = 0;        // 31, width 5, 16-bit
  char clientId[13] = {};      // 36, 12
  char user[9] = {};           // 48, 8
  char password[13] = {};      // 56, 12 (the encrypted password)
  char transactionId[27] = {}; // 68, 26
  char program[9] = {};        // 94, 8
  int length = 0;              // 102, width 5: text bytes behind the header in this packet
  int status = 0;              // 107, width 6: answer status
  char servicePrefix[11] = {}; // 113, 10
  int checksum = 0;            // 123, width 3
};

// Writes all 126 header bytes (no terminator), the checksum field as `h.checksum` says.
void EncodeHeader(const PacketHeader& h, char* out) noexcept;
// Reads 126 bytes: numbers from the field's characters (leading blanks, sign, digits), text fields
// without their leading and trailing spaces. The server number is read as 16 bits.
PacketHeader DecodeHeader(const char* in) noexcept;

// Sum of the first 123 header bytes and of `textLength` text bytes, as unsigned, modulo 255.
int Checksum(const char* header, const char* text, std::size_t textLength) noexcept;
// Computes the checksum of a packet laid out as header + text and writes it into the header.
void SealPacket(char* packet, std::size_t textLength) noexcept;

// Copies `text` into a fixed text field of a decoded header, cut to the field's width.
template <std::size_t N>
void SetField(char (&field)[N], const char* text) noexcept {
  std::size_t i = 0;
  if (text != nullptr)
    for (; i + 1 < N && text[i] != '\0'; ++i) field[i] = text[i];
  for (; i < N; ++i) field[i] = '\0';
}

}  // namespace velt::wire
