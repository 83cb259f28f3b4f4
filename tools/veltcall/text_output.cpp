// Aligned text: "NAME = value" lines, then each result set as a table whose column widths come
// from its first rows, so a long answer streams with one small window of rows held.
#include <algorithm>
#include <string>
#include <vector>

#include "output_formats.h"
#include "text_codec.h"

namespace velt::veltcall {
namespace {

constexpr std::size_t kWidthWindow = 100;   // rows looked at to choose the column widths

// Control characters shown as escapes so that a cell stays on its line.
std::string Printable(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c == 0x7F) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

class TextOutput : public AnswerSink {
 public:
  TextOutput(std::FILE* out, int maxWidth, bool utf8) : out_(out), maxWidth_(maxWidth), utf8_(utf8) {}

  void Value(const std::string& name, const Cell& value) override {
    std::fprintf(out_, "%s = %s\n", Printable(name).c_str(), Printable(value.text).c_str());
    wroteSomething_ = true;
  }

  void BeginTable(const std::string& name, const std::vector<std::string>& columns) override {
    if (wroteSomething_) std::fputc('\n', out_);
    wroteSomething_ = true;
    std::fprintf(out_, "%s:\n", Printable(name).c_str());
    header_.clear();
    for (const std::string& c : columns) header_.push_back(Printable(c));
    window_.clear();
    widths_.clear();
    rows_ = 0;
  }

  void Row(const std::vector<Cell>& cells) override {
    ++rows_;
    std::vector<std::string> shown;
    for (const Cell& c : cells) shown.push_back(Printable(c.text));
    if (!widths_.empty()) {
      WriteRow(shown);
      return;
    }
    window_.push_back(std::move(shown));
    if (window_.size() == kWidthWindow) FlushWindow();
  }

  void EndTable() override {
    if (widths_.empty()) FlushWindow();
    std::fprintf(out_, "(%llu row%s)\n", rows_, rows_ == 1 ? "" : "s");
  }

  void Finish(int, const ErrorReport*) override { std::fflush(out_); }

 private:
  int Width(const std::string& text) const {
    return utf8_ ? DisplayWidth(text) : static_cast<int>(text.size());
  }

  void FlushWindow() {
    widths_.assign(header_.size(), 1);
    for (std::size_t c = 0; c < header_.size(); ++c) widths_[c] = std::max(widths_[c], Width(header_[c]));
    for (const auto& row : window_)
      for (std::size_t c = 0; c < row.size() && c < widths_.size(); ++c) widths_[c] = std::max(widths_[c], Width(row[c]));
    if (maxWidth_ > 0)
      for (int& w : widths_) w = std::min(w, std::max(maxWidth_, 2));
    WriteRow(header_);
    std::vector<std::string> rule;
    for (const int w : widths_) rule.emplace_back(static_cast<std::size_t>(w), '-');
    WriteRow(rule);
    for (const auto& row : window_) WriteRow(row);
    window_.clear();
  }

  // Cells wider than their column are cut and end in the marker; the last column is not padded.
  void WriteRow(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t c = 0; c < cells.size() && c < widths_.size(); ++c) {
      const int width = widths_[c];
      std::string cell = cells[c];
      if (Width(cell) > width) cell = std::string(FitWidth(cell, width - 1, utf8_)) + (utf8_ ? "\xE2\x80\xA6" : "~");
      line += cell;
      if (c + 1 < cells.size()) line.append(static_cast<std::size_t>(width - Width(cell) + 2), ' ');
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out_);
  }

  std::FILE* out_;
  int maxWidth_;
  bool utf8_;
  bool wroteSomething_ = false;
  std::vector<std::string> header_;
  std::vector<std::vector<std::string>> window_;
  std::vector<int> widths_;
  unsigned long long rows_ = 0;
};

}  // namespace

std::unique_ptr<AnswerSink> MakeTextOutput(std::FILE* out, int maxWidth, bool utf8) {
  return std::make_unique<TextOutput>(out, maxWidth, utf8);
}

}  // namespace velt::veltcall
