#pragma once
// The tip of the day: one tip at random each time the dialog opens, "Next
// Tip" to step through the rest, and the show-at-start-up box whose state the
// program saves as ShowTips when it exits.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <cstddef>
#include <functional>

namespace cirrodex {

class TipOfTheDay final : public QDialog {
  Q_OBJECT
 public:
  // Returns an index below count; the default draws from a seeded engine.
  using RandomIndex = std::function<std::size_t(std::size_t count)>;

  explicit TipOfTheDay(QWidget* parent = nullptr, RandomIndex random = {});

  bool show_at_startup() const { return show_box_->isChecked(); }
  void set_show_at_startup(bool on) { show_box_->setChecked(on); }

  // Puts a tip drawn at random into the dialog; done on every opening.
  void pick_random_tip();
  void next_tip();

  QLabel* heading_label() const { return heading_; }
  QLabel* tip_label() const { return tip_; }
  QCheckBox* show_box() const { return show_box_; }
  QPushButton* next_button() const { return next_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void show_tip(std::size_t index);

  RandomIndex random_;
  std::size_t index_ = 0;
  QLabel* heading_;
  QLabel* tip_;
  QCheckBox* show_box_;
  QPushButton* next_;
  QPushButton* close_;
};

}  // namespace cirrodex
