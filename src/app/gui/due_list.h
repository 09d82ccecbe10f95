#pragma once

#include <QListView>
#include <functional>
#include <string>
#include <vector>

namespace memro {

class DueListModel;

// The due list: one line per due entry, read from the entries as the view asks, with
// rows of one height, so that a file of the format's 32,766 events fills it at once.
// The accessible text of a row adds what a sighted user reads beside the list.
class DueListView : public QListView {
  Q_OBJECT

 public:
  explicit DueListView(QWidget* parent = nullptr);

  // Lines in the file's code page; added lines show when Flush() is called.
  void Clear();
  void Append(const std::string& line);
  void Flush();
  // The text a screen reader speaks for a row: its line, status and message start.
  void SetDescription(std::function<QString(int row)> describe);

  int count() const;
  int currentRow() const;  // -1: none
  void setCurrentRow(int row);
  QString Line(int row) const;

 signals:
  void currentRowChanged(int row);

 private:
  DueListModel* model_;
};

}  // namespace memro
