#include "app/tip_window.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>
#include <random>

#include "app/core/tips.h"

namespace cirrodex {

namespace {

TipOfTheDay::RandomIndex default_random() {
  return [engine = std::mt19937(std::random_device{}())](std::size_t count) mutable {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(engine);
  };
}

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

TipOfTheDay::TipOfTheDay(QWidget* parent, RandomIndex random)
    : QDialog(parent),
      random_(random ? std::move(random) : default_random()),
      heading_(new QLabel(latin1(kTipHeading))),
      tip_(new QLabel),
      show_box_(new QCheckBox(QStringLiteral("&Show tips at start-up"))),
      next_(new QPushButton(QStringLiteral("&Next Tip"))),
      close_(new QPushButton(QStringLiteral("&Close"))) {
  setWindowTitle(latin1(kTipCaption));
  setModal(true);

  QFont heading_font = heading_->font();
  heading_font.setPixelSize(20);
  heading_font.setBold(true);
  heading_->setFont(heading_font);
  heading_->setTextFormat(Qt::PlainText);

  tip_->setTextFormat(Qt::PlainText);
  tip_->setWordWrap(true);
  tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  tip_->setMinimumSize(320, 96);

  // The tip sits on a white card, the way such dialogs set it off from the chrome.
  auto* card = new QFrame;
  card->setFrameShape(QFrame::StyledPanel);
  card->setAutoFillBackground(true);
  QPalette card_palette = card->palette();
  card_palette.setColor(QPalette::Window, Qt::white);
  card_palette.setColor(QPalette::WindowText, Qt::black);
  card->setPalette(card_palette);
  auto* card_layout = new QVBoxLayout(card);
  card_layout->setContentsMargins(14, 12, 14, 12);
  card_layout->setSpacing(10);
  card_layout->addWidget(heading_);
  card_layout->addWidget(tip_, 1);

  close_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(show_box_);
  buttons->addStretch(1);
  buttons->addWidget(next_);
  buttons->addWidget(close_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(card, 1);
  layout->addLayout(buttons);

  connect(next_, &QPushButton::clicked, this, &TipOfTheDay::next_tip);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  show_tip(0);
}

void TipOfTheDay::pick_random_tip() { show_tip(random_(kTips.size()) % kTips.size()); }

void TipOfTheDay::next_tip() { show_tip((index_ + 1) % kTips.size()); }

void TipOfTheDay::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) pick_random_tip();
  QDialog::showEvent(event);
}

void TipOfTheDay::show_tip(std::size_t index) {
  index_ = index;
  tip_->setText(latin1(kTips[index]));
}

}  // namespace cirrodex
