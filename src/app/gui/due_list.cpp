#include "app/gui/due_list.h"

#include <QAbstractListModel>

#include "data/codepage.h"
#include "platform/qt/qt_text.h"

namespace memro {

class DueListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(shown_);
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount({})) return {};
    if (role == Qt::DisplayRole) return Line(index.row());
    if (role == Qt::AccessibleTextRole && describe_) return describe_(index.row());
    return {};
  }

  QString Line(int row) const { return Q(Cp1252ToUtf8(lines_[static_cast<std::size_t>(row)])); }

  void Clear() {
    beginResetModel();
    lines_.clear();
    shown_ = 0;
    endResetModel();
  }

  void Append(const std::string& line) { lines_.push_back(line); }

  // One insertion for all lines added since the last: a signal per line would cost the
  // view a layout each.
  void Flush() {
    if (shown_ == lines_.size()) return;
    beginInsertRows({}, static_cast<int>(shown_), static_cast<int>(lines_.size()) - 1);
    shown_ = lines_.size();
    endInsertRows();
  }

  std::function<QString(int)> describe_;

 private:
  std::vector<std::string> lines_;
  std::size_t shown_ = 0;
};

DueListView::DueListView(QWidget* parent) : QListView(parent), model_(new DueListModel(this)) {
  setUniformItemSizes(true);
  setModel(model_);
  connect(
      selectionModel(), &QItemSelectionModel::currentRowChanged, this,
      [this](const QModelIndex& now) { emit currentRowChanged(now.isValid() ? now.row() : -1); });
}

void DueListView::Clear() { model_->Clear(); }
void DueListView::Append(const std::string& line) { model_->Append(line); }
void DueListView::Flush() { model_->Flush(); }
void DueListView::SetDescription(std::function<QString(int)> describe) {
  model_->describe_ = std::move(describe);
}

int DueListView::count() const { return model_->rowCount({}); }

int DueListView::currentRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void DueListView::setCurrentRow(int row) {
  const QModelIndex index = model_->index(row, 0);
  if (!index.isValid()) {
    selectionModel()->clear();
    return;
  }
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QString DueListView::Line(int row) const { return model_->Line(row); }

}  // namespace memro
