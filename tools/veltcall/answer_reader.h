// Walks the answer in a handle's packet buffer through the public cursor: the named values of
// the first answer part, then every result set row by row, reading further parts as it goes.
#pragma once

#include "veltcli.h"

#include "answer_sink.h"
#include "progress_line.h"
#include "text_codec.h"

namespace velt::veltcall {

// 0, or an ErrorReport filled for a cursor failure (reading on, memory).
int ReadAnswer(VELTCLI_HANDLE h, const TextCodec& codec, AnswerSink& sink, ProgressLine& progress,
               ErrorReport& failure);

}  // namespace velt::veltcall
