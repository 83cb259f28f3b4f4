// One context of the example plug-in: a rimqapi connection with the request and answer queues
// open, the message id of the request last put, and the next answer packet expected.
#pragma once

#include <vector>

#include "example_texts.h"

namespace velt::plugin_example {

class ExampleLink {
 public:
  ExampleLink() = default;
  ~ExampleLink() { Disconnect(); }
  ExampleLink(const ExampleLink&) = delete;
  ExampleLink& operator=(const ExampleLink&) = delete;

  // Connects and opens both queues (a connection already open is closed first). 0 or a code.
  int Connect(const ConnectSettings& settings);
  // 0, or the rimqapi reason of a failed release (the connection is forgotten either way).
  int Disconnect() noexcept;
  void SetTimeout(int seconds) noexcept { timeoutSeconds_ = seconds; }

  // Puts `length` bytes (a whole request packet) as one message; remembers its message id.
  int Send(const char* data, int length);
  // The next answer part, joined, into a malloc'd buffer the caller frees.
  int Receive(char** buffer, int* length);

 private:
  int GetPacket(int& received);
  int Answer(const char* lastHeader, const std::vector<char>& text, char** buffer, int* length) const;

  int connection_ = -1;
  int requestQueue_ = -1;
  int answerQueue_ = -1;
  char answerName_[32] = {};         // reply-to, zero-padded like the descriptor's field
  int timeoutSeconds_ = kDefaultTimeoutSeconds;
  char messageId_[24] = {};
  bool sent_ = false;
  int nextCorrelation_ = 0;
  std::vector<char> packet_;         // get buffer, reused
};

}  // namespace velt::plugin_example
