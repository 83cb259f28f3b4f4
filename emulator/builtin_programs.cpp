// The built-in programs.
#include "builtin_programs.h"

#include <map>
#include <string>

#include "status_codes.h"

namespace veltemu {
namespace {

bool Reserved(const std::string& name) { return !name.empty() && name[0] == '_'; }

// A whole number argument within [lo, hi]; absent gives `fallback` when one is allowed.
bool Argument(const Request& r, const char* name, long long lo, long long hi, long long& out, Answer& a,
              const long long* fallback = nullptr) {
  const auto v = r.Integer(name);
  if (!v && fallback != nullptr && !r.Value(name)) {
    out = *fallback;
    return true;
  }
  if (!v || *v < lo || *v > hi) {
    a.SetError(kStatusBadArgument, std::string(name) + " missing or out of range");
    return false;
  }
  out = *v;
  return true;
}

// Binary cells of a request row: cells naming one of the request's "_BLOB_" binary values.
std::map<int, std::string> BinaryCells(const Request& r, const std::vector<std::string>& cells) {
  std::map<int, std::string> out;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].rfind("_BLOB_", 0) != 0) continue;
    if (auto bytes = r.Binary(cells[i])) out.emplace(static_cast<int>(i) + 1, std::move(*bytes));
  }
  return out;
}

}  // namespace

void EchoProgram(const Request& request, Answer& answer) { CopyRequestContent(request, answer, {}); }

void CopyRequestContent(const Request& request, Answer& answer, const std::set<std::string>& skip) {
  for (const RequestValue& v : request.values()) {
    if (Reserved(v.name) || skip.count(v.name) != 0) continue;
    if (auto bytes = request.Binary(v.name)) answer.SetBinary(v.name, *bytes);
    else answer.SetValue(v.name, v.value);
  }
  for (const RequestTable& t : request.tables()) {
    answer.BeginTable(t.cursor, t.columnCount, t.columnText);
    for (const auto& cells : t.rows) answer.AddRow(cells, BinaryCells(request, cells));
  }
}

void ItemsProgram(const Request& request, Answer& answer) {
  std::vector<std::string> names, cells;
  for (const RequestValue& v : request.values()) {
    if (Reserved(v.name)) continue;
    names.push_back(v.name);
    auto bytes = request.Binary(v.name);
    cells.push_back(bytes ? std::move(*bytes) : v.value);
  }
  answer.BeginTable("items", names);
  answer.AddRow(cells);
}

void RowsProgram(const Request& request, Answer& answer) {
  long long rows = 0, cols = 0, cellLen = 0, tables = 0;
  const long long zero = 0, one = 1;
  if (!Argument(request, "ROWS", 0, 10000000, rows, answer) || !Argument(request, "COLS", 1, 10000, cols, answer) ||
      !Argument(request, "CELLLEN", 0, 1000000, cellLen, answer, &zero) ||
      !Argument(request, "TABLES", 1, 10000, tables, answer, &one))
    return;
  // Refuse at once what could not fit, rather than build most of it first.
  const long double estimate = static_cast<long double>(tables) * rows * cols * (cellLen > 16 ? cellLen : 16);
  if (estimate > static_cast<long double>(kMaxAnswerBytes)) {
    answer.SetError(kStatusAnswerTooLarge, "ROWS x COLS x CELLLEN x TABLES passes the answer limit");
    return;
  }
  std::vector<std::string> names;
  for (long long c = 1; c <= cols; ++c) names.push_back("c" + std::to_string(c));
  std::vector<std::string> cells(static_cast<std::size_t>(cols));
  for (long long t = 1; t <= tables; ++t) {
    answer.BeginTable("t" + std::to_string(t), names);
    for (long long r = 1; r <= rows; ++r) {
      for (long long c = 1; c <= cols; ++c) {
        std::string& cell = cells[static_cast<std::size_t>(c - 1)];
        cell = "r" + std::to_string(r) + "c" + std::to_string(c);
        if (static_cast<long long>(cell.size()) < cellLen) cell.append(static_cast<std::size_t>(cellLen) - cell.size(), 'x');
      }
      if (answer.AddRow(cells) == 0) return;   // over the answer limit: the caller refuses it
    }
  }
}

void FailProgram(const Request& request, Answer& answer) {
  const auto code = request.Integer("CODE");
  if (!code || *code < -99999 || *code > 999999) {
    answer.SetError(kStatusBadArgument, "CODE missing or outside the status field (-99999..999999)");
    return;
  }
  answer.SetError(static_cast<int>(*code), request.Value("MSG").value_or(std::string()));
}

void BlobProgram(const Request& request, Answer& answer) {
  for (const RequestValue& v : request.values()) {
    if (Reserved(v.name)) continue;
    if (auto bytes = request.Binary(v.name)) answer.SetBinary(v.name, *bytes);
  }
}

void CorruptProgram(const Request& request, Answer& answer) {
  static const std::map<std::string, AnswerFault> kKinds = {
      {"checksum", AnswerFault::kChecksum}, {"sequence", AnswerFault::kSequence}, {"length", AnswerFault::kLength}};
  const auto kind = kKinds.find(request.Value("KIND").value_or(std::string()));
  if (kind == kKinds.end()) {
    answer.SetError(kStatusBadArgument, "KIND must be checksum, sequence or length");
    return;
  }
  RowsProgram(request, answer);
  if (answer.status() == 0) answer.InjectFault(kind->second);
}

void RegisterBuiltins(ProgramRegistry& registry, KvStore& kv, const StopSignal& stop) {
  registry.Register("echo", EchoProgram);
  registry.Register("rows", RowsProgram);
  registry.Register("items", ItemsProgram);
  registry.Register("fail", FailProgram);
  registry.Register("blob", BlobProgram);
  registry.Register("corrupt", CorruptProgram);
  registry.Register("sleep", [&stop](const Request& request, Answer& answer) {
    long long ms = 0;
    if (!Argument(request, "MS", 0, kMaxSleepMs, ms, answer)) return;
    if (!stop.WaitFor(std::chrono::milliseconds(ms))) answer.SetError(kStatusStopping, StatusText(kStatusStopping));
  });
  registry.Register("kv.put", [&kv](const Request& request, Answer& answer) {
    const auto key = request.Value("KEY");
    const auto value = request.Value("VALUE");
    if (!key || key->empty() || !value) {
      answer.SetError(kStatusBadArgument, "KEY and VALUE are needed");
      return;
    }
    if (!kv.Put(request.transactionId(), *key, *value)) answer.SetError(kStatusStoreFull, StatusText(kStatusStoreFull));
  });
  registry.Register("kv.get", [&kv](const Request& request, Answer& answer) {
    const auto key = request.Value("KEY");
    if (!key || key->empty()) {
      answer.SetError(kStatusBadArgument, "KEY is needed");
      return;
    }
    const auto value = kv.Get(request.transactionId(), *key);
    answer.SetInteger("FOUND", value ? 1 : 0);
    if (value) answer.SetValue("VALUE", *value);
  });
}

}  // namespace veltemu
