// The message codec against its floors and against JsonCpp: building a request of 100 000 rows x
// 10 columns (floor: memcpy of the same text), walking that answer and reading every cell (floor:
// memchr over it), and converting 1 MiB of records (floor: memcpy). JsonCpp writes and parses the
// same rows as JSON arrays, the format a user might pick instead.
#include <benchmark/benchmark.h>
#include <json/json.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "codec/request_writer.h"
#include "codec/rs_cursor.h"
#include "codec/struct_converter.h"
#include "codec/table_writer.h"

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 10;
const char* const kNames = "c0,c1,c2,c3,c4,c5,c6,c7,c8,c9";

// Cells as a business answer has them: short codes, amounts, now and then a comma or "@".
const std::vector<std::string>& Cells() {
  static const std::vector<std::string> cells = [] {
    std::vector<std::string> v;
    for (int i = 0; i < kRows * kColumns; ++i) {
      std::string cell = std::to_string(static_cast<long long>(i) * 7919 % 1000003);
      if (i % 10 == 3) cell += ".50";
      if (i % 97 == 0) cell += ",@x";
      v.push_back(cell);
    }
    return v;
  }();
  return cells;
}

void BuildRequest(velt::PacketSession& s) {
  velt::BeginWrite(s);
  velt::StartTable(s, "rows", kColumns, kNames, true);
  const std::vector<std::string>& cells = Cells();
  for (int r = 0; r < kRows; ++r) {
    velt::RsAddRow(s);
    for (int c = 0; c < kColumns; ++c) velt::RsSetCol(s, c + 1, cells[static_cast<std::size_t>(r * kColumns + c)].c_str());
    velt::RsSaveRow(s);
  }
  velt::CompleteRequest(s);
}

const std::string& RequestText() {
  static const std::string text = [] {
    velt::PacketSession s;
    BuildRequest(s);
    return std::string(s.packet.Text());
  }();
  return text;
}

Json::Value JsonRows() {
  Json::Value rows(Json::arrayValue);
  const std::vector<std::string>& cells = Cells();
  for (int r = 0; r < kRows; ++r) {
    Json::Value row(Json::arrayValue);
    for (int c = 0; c < kColumns; ++c) row.append(cells[static_cast<std::size_t>(r * kColumns + c)]);
    rows.append(std::move(row));
  }
  return rows;
}

std::string JsonText() {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, JsonRows());
}

void BM_BuildRequest(benchmark::State& state) {
  velt::PacketSession s;
  for (auto _ : state) {
    BuildRequest(s);
    benchmark::DoNotOptimize(s.packet.Data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(RequestText().size()));
}

void BM_BuildFloorMemcpy(benchmark::State& state) {
  const std::string& text = RequestText();
  std::vector<char> out(text.size());
  for (auto _ : state) {
    std::memcpy(out.data(), text.data(), text.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_BuildJsonCpp(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string json = JsonText();   // building the values is part of writing JSON
    bytes = json.size();
    benchmark::DoNotOptimize(json.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void BM_WalkAnswer(benchmark::State& state) {
  const std::string& text = RequestText();
  velt::PacketSession s;
  std::vector<char> cell(velt::RsState::kRowTextSize);
  for (auto _ : state) {
    s.StoreAnswerText(text.data(), text.size());
    s.answerFlags = 1;
    velt::RsOpen(s);
    while (velt::RsFetchRow(s) == 0) {
      for (int c = 1; c <= kColumns; ++c) velt::RsGetCol(s, c, cell.data());
    }
    benchmark::DoNotOptimize(cell.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_WalkFloorMemchr(benchmark::State& state) {
  const std::string& text = RequestText();
  for (auto _ : state) {
    std::size_t pairs = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while ((p = static_cast<const char*>(std::memchr(p, '&', static_cast<std::size_t>(end - p)))) != nullptr) {
      ++pairs;
      ++p;
    }
    benchmark::DoNotOptimize(pairs);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_WalkJsonCpp(benchmark::State& state) {
  const std::string json = JsonText();
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  for (auto _ : state) {
    Json::Value rows;
    std::string errors;
    reader->parse(json.data(), json.data() + json.size(), &rows, &errors);
    std::size_t total = 0;
    for (const Json::Value& row : rows) {
      for (const Json::Value& value : row) total += std::strlen(value.asCString());
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(json.size()));
}

constexpr const char* kRecord = "struct { int id; short kind; double amount; char code[6]; long when; }";   // 32 bytes
constexpr int kConvertBytes = 1 << 20;

void BM_Convert(benchmark::State& state) {
  std::vector<unsigned char> in(kConvertBytes, 0x5A);
  std::vector<unsigned char> out(kConvertBytes);
  for (auto _ : state) {
    velt::ConvertStructs(kRecord, 0, in.data(), kConvertBytes, 1, out.data(), kConvertBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kConvertBytes);
}

void BM_ConvertFloorMemcpy(benchmark::State& state) {
  std::vector<unsigned char> in(kConvertBytes, 0x5A);
  std::vector<unsigned char> out(kConvertBytes);
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), kConvertBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kConvertBytes);
}

// Building at a tenth, a half and the full size: bytes per second stay level when building is
// linear in the size.
void BM_BuildScaling(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  velt::PacketSession s;
  const std::vector<std::string>& cells = Cells();
  std::size_t bytes = 0;
  for (auto _ : state) {
    velt::BeginWrite(s);
    velt::StartTable(s, "rows", kColumns, kNames, true);
    for (int r = 0; r < rows; ++r) {
      velt::RsAddRow(s);
      for (int c = 0; c < kColumns; ++c) velt::RsSetCol(s, c + 1, cells[static_cast<std::size_t>(r * kColumns + c)].c_str());
      velt::RsSaveRow(s);
    }
    velt::CompleteRequest(s);
    bytes = static_cast<std::size_t>(s.packet.Length());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(BM_BuildRequest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildFloorMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildJsonCpp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildScaling)->Arg(kRows / 10)->Arg(kRows / 2)->Arg(kRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkFloorMemchr)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkJsonCpp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertFloorMemcpy)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
