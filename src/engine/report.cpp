#include "engine/report.h"

#include <algorithm>
#include <cstring>

#include "data/codepage.h"
#include "data/fixed_texts.h"
#include "data/text_util.h"
#include "engine/date_text.h"
#include "engine/list_line.h"
#include "engine/status.h"

namespace memro {
namespace {

const std::string kRule(60, '-');

// Builds the report's lines in one text that goes to the stream in a few large writes:
// a full list has tens of thousands of entries, and a stream insertion per piece costs
// more than making the pieces.
class ReportText {
 public:
  ReportText(std::ostream& out, bool unixLineEnds, std::size_t expectedBytes)
      : out_(out), unix_(unixLineEnds), end_(unixLineEnds ? "\n" : "\r\n") {
    // Room up to a flush and the entry that crosses it, so the text is seldom copied.
    text_.reserve(std::min(expectedBytes, kFlushBytes) + 16 * 1024);
  }

  // Begin starts a line and gives the text to add it to; End finishes the line.
  std::string& Begin() {
    start_ = text_.size();
    return text_;
  }
  void End() {
    if (unix_) DropCrBeforeLf();
    text_ += end_;
    if (text_.size() >= kFlushBytes) Flush();
  }
  void Line(std::string_view line) {
    Begin() += line;
    End();
  }
  void Flush() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  static constexpr std::size_t kFlushBytes = 1 << 20;

  void DropCrBeforeLf() {
    char* const line = text_.data() + start_;
    const std::size_t size = text_.size() - start_;
    if (!std::memchr(line, '\r', size)) return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size; ++i) {
      if (line[i] == '\r' && i + 1 < size && line[i + 1] == '\n') continue;
      line[kept++] = line[i];
    }
    text_.resize(start_ + kept);
  }

  std::ostream& out_;
  bool unix_;
  const char* end_;
  std::string text_;
  std::size_t start_ = 0;
};

}  // namespace

void WriteReport(std::ostream& out, const DueEntries& entries, const Date& today, bool rangeOn,
                 bool unixLineEnds) {
  const auto& t = Texts();
  const int year = int(today.year());
  ReportText w(out, unixLineEnds, entries.size() * 160);
  w.Line(t.productTitle);
  w.Line(t.reportIntro + t.reportOrigin);
  w.Line("");
  w.Line(DateLabel(today));
  w.Line("");
  w.Line(kRule);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const DueItem& item = entries[k];
    const std::string_view stored = entries.DateField(item);
    // Dates read for another year (a list kept over New Year) are read again.
    const auto date = entries.year() == year ? item.dateRead : StoredDate(stored, year);
    w.Line("");
    AppendStatusText(w.Begin(), item.frequency, date, today, rangeOn);
    w.End();
    AppendListLine(w.Begin(), item.frequency, stored, date);
    w.End();
    AppendCp1252AsUtf8(w.Begin(), TrimBlanksView(entries.Message(item)));
    w.End();
    w.Line(kRule);
  }
  w.Flush();
}

void WriteReport(std::ostream& out, RecordFile& dueList, std::int64_t count, const Date& today,
                 bool rangeOn, bool unixLineEnds) {
  WriteReport(out, DueEntries::Read(dueList, count, int(today.year())), today, rangeOn,
              unixLineEnds);
}

}  // namespace memro
