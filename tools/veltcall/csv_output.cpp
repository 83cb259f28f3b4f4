// RFC 4180 CSV of the result sets: a header row of column names, the rows, CRLF line ends, a
// field quoted when it holds a quote, comma or line break; a blank line between result sets.
#include <string>
#include <vector>

#include "output_formats.h"

namespace velt::veltcall {
namespace {

void AppendField(std::string& line, const std::string& field) {
  if (field.find_first_of("\",\r\n") == std::string::npos) {
    line += field;
    return;
  }
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

class CsvOutput : public AnswerSink {
 public:
  explicit CsvOutput(std::FILE* out) : out_(out) {}

  void Value(const std::string&, const Cell&) override {}

  void BeginTable(const std::string&, const std::vector<std::string>& columns) override {
    if (tables_++) std::fputs("\r\n", out_);
    std::vector<Cell> header;
    for (const std::string& c : columns) header.push_back({c, false});
    Row(header);
  }

  void Row(const std::vector<Cell>& cells) override {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i) line += ',';
      AppendField(line, cells[i].text);
    }
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), out_);
  }

  void EndTable() override {}
  void Finish(int, const ErrorReport*) override { std::fflush(out_); }

 private:
  std::FILE* out_;
  int tables_ = 0;
};

}  // namespace

std::unique_ptr<AnswerSink> MakeCsvOutput(std::FILE* out) { return std::make_unique<CsvOutput>(out); }

}  // namespace velt::veltcall
