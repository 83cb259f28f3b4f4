// The three output formats of veltcall call: aligned text, one JSON document, RFC 4180 CSV.
#pragma once

#include <cstdio>
#include <memory>

#include "answer_sink.h"
#include "command_line.h"

namespace velt::veltcall {

// `utf8`: the user side is UTF-8 (widths of wide characters, the cut marker).
std::unique_ptr<AnswerSink> MakeTextOutput(std::FILE* out, int maxWidth, bool utf8);
std::unique_ptr<AnswerSink> MakeJsonOutput(std::FILE* out);
std::unique_ptr<AnswerSink> MakeCsvOutput(std::FILE* out);

}  // namespace velt::veltcall
