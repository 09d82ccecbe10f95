#include "engine/report.h"

#include "data/codepage.h"
#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "data/record_stream.h"
#include "data/text_util.h"
#include "engine/list_line.h"
#include "engine/status.h"

namespace memro {
namespace {

const std::string kRule(60, '-');

// Writes the report's pieces straight to the stream: a full list has tens of thousands
// of entries, and joining each into one text first would copy every message again.
class ReportWriter {
 public:
  ReportWriter(std::ostream& out, bool unixLineEnds)
      : out_(out), unix_(unixLineEnds), end_(unixLineEnds ? "\n" : "\r\n") {}

  void Line(std::string_view text) {
    if (unix_ && text.find("\r\n") != std::string_view::npos) {
      std::string copy(text);
      std::string::size_type pos = 0;
      while ((pos = copy.find("\r\n", pos)) != std::string::npos) copy.erase(pos, 1);
      out_ << copy;
    } else {
      out_ << text;
    }
    out_ << end_;
  }

 private:
  std::ostream& out_;
  bool unix_;
  const char* end_;
};

}  // namespace

void WriteReport(std::ostream& out, RecordFile& dueList, std::int64_t count, const Date& today,
                 bool rangeOn, bool unixLineEnds) {
  const auto& t = Texts();
  ReportWriter w(out, unixLineEnds);
  w.Line(t.productTitle);
  w.Line(t.reportIntro + t.reportOrigin);
  w.Line("");
  w.Line(DateLabel(today));
  w.Line("");
  w.Line(kRule);
  std::string bytes;
  DueEntry entry;
  RecordReader reader(dueList);
  for (std::int64_t n = 1; n <= count; ++n) {
    const std::string_view view = reader.View(n);
    if (view.size() == kDueEntrySize) {
      entry.Assign(view);
    } else {
      reader.Read(n, bytes);
      entry.Assign(bytes);
    }
    w.Line("");
    w.Line(StatusText(entry, today, rangeOn));
    w.Line(ListLine(entry, int(today.year())));
    w.Line(Cp1252ToUtf8(TrimBlanksView(entry.message)));
    w.Line(kRule);
  }
}

}  // namespace memro
