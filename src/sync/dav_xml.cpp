#include "sync/dav_xml.h"

#include <QXmlStreamReader>

namespace memro::sync {
namespace {

int StatusCode(const QString& line) {
  const QStringList parts = line.simplified().split(' ');
  return parts.size() > 1 ? parts[1].toInt() : 0;
}

// Walks the document keeping the names of the open elements.
class Reader {
 public:
  explicit Reader(const QByteArray& xml) : xml_(xml) {}

  Multistatus Read() {
    while (!xml_.atEnd()) {
      const auto token = xml_.readNext();
      if (token == QXmlStreamReader::StartElement) {
        Start();
      } else if (token == QXmlStreamReader::EndElement) {
        End();
      } else if (token == QXmlStreamReader::Characters) {
        Text(xml_.text().toString());
      }
    }
    return std::move(out_);
  }

 private:
  QString Parent(int up = 1) const {
    return open_.size() > up ? open_[open_.size() - 1 - up] : QString();
  }

  void Start() {
    const QString name = xml_.name().toString();
    open_.push_back(name);
    if (name == "response") out_.responses.emplace_back();
    if (name == "propstat") {
      found_ = {};
      propstatStatus_ = 0;
    }
    if (Parent() == "prop") current_ = name;
    if (Parent() == "resourcetype") found_.resourceTypes << name;
    if (name == "comp" && Parent() == "supported-calendar-component-set") {
      found_.components << xml_.attributes().value("name").toString().toUpper();
    }
  }

  void Text(const QString& text) {
    if (!open_.isEmpty() && open_.back() == "sync-token" && Parent() == "multistatus") {
      out_.syncToken += text.trimmed();
    }
    if (open_.isEmpty() || out_.responses.empty()) return;
    const QString& name = open_.back();
    if (name == "href" && Parent() == "response") {
      out_.responses.back().href += text.trimmed();
    } else if (name == "status") {
      (Parent() == "propstat" ? propstatStatus_ : out_.responses.back().status) = StatusCode(text);
    } else if (Parent() == "prop" || (name == "href" && Parent(2) == "prop")) {
      found_.props[current_] += name == "href" ? text.trimmed() : text;
    }
  }

  void End() {
    if (open_.back() == "propstat" && !out_.responses.empty() && propstatStatus_ / 100 == 2) {
      DavResponse& r = out_.responses.back();
      r.props.insert(found_.props);
      r.resourceTypes << found_.resourceTypes;
      r.components << found_.components;
    }
    open_.pop_back();
  }

  QXmlStreamReader xml_;
  QStringList open_;
  QString current_;
  DavResponse found_;
  int propstatStatus_ = 0;
  Multistatus out_;
};

}  // namespace

Multistatus ParseMultistatus(const QByteArray& xml) { return Reader(xml).Read(); }

}  // namespace memro::sync
