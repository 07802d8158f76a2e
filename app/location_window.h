#pragma once
// TfrmLocation, the location chooser: the read-only world tree with an exact
// search, and a box for a US zip code. OK hands the chosen place on for a
// fetch.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "locations/location_context.h"
#include "locations/location_tree.h"

namespace cirrodex {

class Host;

struct LocationWindowHooks {
  // Makes ctx the location context and fetches it.
  std::function<void(const LocationContext& ctx)> fetch;
  std::function<void(std::string_view sound)> play_sound;  // "sOkay", "sCancel"
  std::function<void()> open_help;
};

class TfrmLocation final : public QWidget {
 public:
  TfrmLocation(const LocationTree& tree, Host& host, LocationWindowHooks hooks, QWidget* parent = nullptr);

  void find();
  void find_next();
  void ok();
  void cancel();

  QTreeWidget* tree_view() const { return TreeView1; }
  QLineEdit* search_box() const { return edtSearch; }
  QLineEdit* zip_box() const { return edtZip; }
  QLabel* count_label() const { return lblTotal; }
  QSplitter* splitter() const { return splitter_; }
  // The depth-first index of the node shown by item, and back.
  int index_of(const QTreeWidgetItem* item) const;
  QTreeWidgetItem* item_at(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  int node_count() const { return node_count_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* build_tree_pane();
  QWidget* build_search_pane();
  void select(int index);
  std::string search_text() const;

  const LocationTree& tree_;
  Host& host_;
  LocationWindowHooks hooks_;
  std::vector<QTreeWidgetItem*> items_;
  int last_match_ = 0;
  int node_count_ = 0;

  QSplitter* splitter_;
  QTreeWidget* TreeView1;
  QLabel* lblTotal;
  QLineEdit* edtSearch;
  QPushButton* btnFind;
  QPushButton* btnNext;
  QLineEdit* edtZip;
  QPushButton* btnOK;
  QPushButton* btnCancel;
};

}  // namespace cirrodex
