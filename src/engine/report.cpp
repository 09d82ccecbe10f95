#include "engine/report.h"

#include "data/codepage.h"
#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "engine/list_line.h"
#include "engine/status.h"

namespace memro {
namespace {

const std::string kRule(60, '-');

void Emit(std::ostream& out, std::string text, bool unixLineEnds) {
  if (unixLineEnds) {
    std::string::size_type pos = 0;
    while ((pos = text.find("\r\n", pos)) != std::string::npos) text.erase(pos, 1);
  }
  out << text;
}

}  // namespace

void WriteReport(std::ostream& out, RecordFile& dueList, std::int64_t count, const Date& today,
                 bool rangeOn, bool unixLineEnds) {
  const auto& t = Texts();
  Emit(out,
       t.productTitle + "\r\n" + t.reportIntro + t.reportOrigin + "\r\n\r\n" + DateLabel(today) +
           "\r\n\r\n" + kRule + "\r\n",
       unixLineEnds);
  std::string bytes;
  for (std::int64_t n = 1; n <= count; ++n) {
    dueList.Read(n, bytes);
    const DueEntry entry = DueEntry::FromBytes(bytes);
    Emit(out,
         "\r\n" + StatusText(entry, today, rangeOn) + "\r\n" + ListLine(entry, int(today.year())) +
             "\r\n" + Cp1252ToUtf8(ShownMessage(entry)) + "\r\n" + kRule + "\r\n",
         unixLineEnds);
  }
}

}  // namespace memro
