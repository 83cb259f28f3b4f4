// One JSON document, written as the answer streams: each string goes through JsonCpp's quoting,
// the structure around it is written here so that no whole answer is held.
#include <json/json.h>

#include <string>
#include <vector>

#include "output_formats.h"

namespace velt::veltcall {
namespace {

std::string Quoted(const std::string& text) { return Json::valueToQuotedString(text.c_str()); }

// Binary values become {"base64": "..."} so that a reader can tell them from text.
std::string JsonCell(const Cell& c) { return c.binary ? "{\"base64\":" + Quoted(c.text) + "}" : Quoted(c.text); }

class JsonOutput : public AnswerSink {
 public:
  explicit JsonOutput(std::FILE* out) : out_(out) { std::fputs("{\"values\":{", out_); }

  void Value(const std::string& name, const Cell& value) override {
    std::fprintf(out_, "%s%s:%s", values_++ ? "," : "", Quoted(name).c_str(), JsonCell(value).c_str());
  }

  void BeginTable(const std::string& name, const std::vector<std::string>& columns) override {
    OpenSets();
    std::fprintf(out_, "%s\n{\"name\":%s,\"columns\":[", tables_++ ? "," : "", Quoted(name).c_str());
    keys_.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      keys_.push_back(Quoted(columns[i]));
      std::fprintf(out_, "%s%s", i ? "," : "", keys_.back().c_str());
    }
    std::fputs("],\"rows\":[", out_);
    rows_ = 0;
  }

  void Row(const std::vector<Cell>& cells) override {
    std::string line = rows_++ ? ",\n{" : "\n{";
    for (std::size_t i = 0; i < cells.size() && i < keys_.size(); ++i) {
      if (i) line += ',';
      line += keys_[i];
      line += ':';
      line += JsonCell(cells[i]);
    }
    line += '}';
    std::fwrite(line.data(), 1, line.size(), out_);
  }

  void EndTable() override { std::fputs("]}", out_); }

  void Finish(int status, const ErrorReport* error) override {
    OpenSets();
    std::fprintf(out_, "],\"status\":%d,\"error\":", status);
    if (error == nullptr) {
      std::fputs("null}\n", out_);
    } else {
      std::fprintf(out_, "{\"stage\":%s,\"code\":%d,\"name\":%s,\"message\":%s,\"hint\":%s}}\n",
                   Quoted(error->stage).c_str(), error->code, error->name.empty() ? "null" : Quoted(error->name).c_str(),
                   Quoted(error->message).c_str(), Quoted(error->hint).c_str());
    }
    std::fflush(out_);
  }

 private:
  void OpenSets() {
    if (setsOpen_) return;
    std::fputs("},\"resultSets\":[", out_);
    setsOpen_ = true;
  }

  std::FILE* out_;
  int values_ = 0;
  int tables_ = 0;
  unsigned long long rows_ = 0;
  bool setsOpen_ = false;
  std::vector<std::string> keys_;
};

}  // namespace

std::unique_ptr<AnswerSink> MakeJsonOutput(std::FILE* out) { return std::make_unique<JsonOutput>(out); }

}  // namespace velt::veltcall
