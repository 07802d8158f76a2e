#include "app/location_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/host.h"

namespace cirrodex {

namespace {
constexpr int kWidth = 444;
constexpr int kHeight = 324;

QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

QLabel* note(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setWordWrap(true);
  return label;
}
}  // namespace

TfrmLocation::TfrmLocation(const LocationTree& tree, Host& host, LocationWindowHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), tree_(tree), host_(host), hooks_(std::move(hooks)) {
  setObjectName(QStringLiteral("frmLocation"));
  setWindowTitle(QStringLiteral("Cirrodex - Choose Location"));
  resize(kWidth, kHeight);

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setHandleWidth(6);
  splitter_->setChildrenCollapsible(false);
  splitter_->setStyleSheet(
      QStringLiteral("QSplitter::handle { border-left: 1px solid #808080; "
                     "border-right: 1px solid #ffffff; background: #c0c0c0; }"));

  QWidget* left = build_tree_pane();
  QWidget* right = build_search_pane();
  splitter_->addWidget(left);
  splitter_->addWidget(right);
  splitter_->setSizes({kWidth * 51 / 100, kWidth - kWidth * 51 / 100 - 6});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter_);

  connect(btnFind, &QPushButton::clicked, this, [this] { find(); });
  connect(btnNext, &QPushButton::clicked, this, [this] { find_next(); });
  connect(btnOK, &QPushButton::clicked, this, [this] { ok(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { cancel(); });
  connect(edtSearch, &QLineEdit::returnPressed, this, [this] { find(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect desk = screen->availableGeometry();
    move(desk.center() - QPoint(kWidth / 2, kHeight / 2));
  }
}

// The tree of every place with the count under it.
QWidget* TfrmLocation::build_tree_pane() {
  auto* left = new QWidget(splitter_);
  auto* left_layout = new QVBoxLayout(left);
  left_layout->setContentsMargins(0, 0, 0, 0);
  TreeView1 = new QTreeWidget(left);
  TreeView1->setObjectName(QStringLiteral("TreeView1"));
  TreeView1->setHeaderHidden(true);
  TreeView1->setIndentation(19);
  TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TreeView1->setUniformRowHeights(true);
  lblTotal = new QLabel(QStringLiteral("Total locations available above:"), left);
  lblTotal->setAlignment(Qt::AlignCenter);
  left_layout->addWidget(TreeView1, 1);
  left_layout->addWidget(lblTotal);

  // Items are made in depth-first order, each under the latest item of the
  // depth above; the tree widget keeps that order (no sorting).
  const auto& nodes = tree_.nodes();
  items_.reserve(nodes.size());
  for (const auto& node : nodes) {
    auto* item = node.parent < 0 ? new QTreeWidgetItem(TreeView1)
                                 : new QTreeWidgetItem(items_[static_cast<std::size_t>(node.parent)]);
    item->setText(0, latin1(node.text));
    item->setData(0, Qt::UserRole, static_cast<int>(items_.size()));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    items_.push_back(item);
  }

  return left;
}

// The search, the zip code and the buttons, on silver.
QWidget* TfrmLocation::build_search_pane() {
  auto* right = new QWidget(splitter_);
  right->setAutoFillBackground(true);
  QPalette silver = right->palette();
  silver.setColor(QPalette::Window, QColor(192, 192, 192));
  right->setPalette(silver);
  auto* right_layout = new QVBoxLayout(right);
  auto* search = new QGroupBox(QStringLiteral(" Search  "), right);
  auto* search_layout = new QVBoxLayout(search);
  edtSearch = new QLineEdit(search);
  edtSearch->setObjectName(QStringLiteral("edtSearch"));
  auto* buttons = new QHBoxLayout;
  btnFind = new QPushButton(QStringLiteral("Find"), search);
  btnNext = new QPushButton(QStringLiteral("Next"), search);
  buttons->addWidget(btnFind);
  buttons->addWidget(btnNext);
  search_layout->addWidget(edtSearch);
  search_layout->addLayout(buttons);
  search_layout->addWidget(
      note("This does an EXACT search. Some locations may not be spelled the same or may "
           "include other location names.",
           search));
  right_layout->addWidget(search);
  right_layout->addWidget(
      note("If you can't find your city, you may enter a zip code here and we'll find your "
           "city or a city near you. (US Only)",
           right));
  auto* zip_row = new QHBoxLayout;
  zip_row->addWidget(new QLabel(QStringLiteral("Enter US Zip:"), right));
  edtZip = new QLineEdit(right);
  edtZip->setObjectName(QStringLiteral("edtZip"));
  edtZip->setMaxLength(5);
  // Zip codes are digits; anything else would only make an address the
  // service cannot answer.
  edtZip->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), edtZip));
  edtZip->setFixedWidth(60);
  zip_row->addWidget(edtZip);
  zip_row->addStretch();
  right_layout->addLayout(zip_row);
  right_layout->addStretch();
  auto* ok_row = new QHBoxLayout;
  btnOK = new QPushButton(QStringLiteral("&OK"), right);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), right);
  ok_row->addWidget(btnOK);
  ok_row->addWidget(btnCancel);
  right_layout->addLayout(ok_row);

  return right;
}

int TfrmLocation::index_of(const QTreeWidgetItem* item) const {
  return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

std::string TfrmLocation::search_text() const {
  const QByteArray bytes = edtSearch->text().toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TfrmLocation::select(int index) {
  QTreeWidgetItem* item = item_at(index);
  TreeView1->setCurrentItem(item);  // opens its parents
  TreeView1->scrollToItem(item);
  last_match_ = index;
}

void TfrmLocation::find() {
  const std::string s = search_text();
  if (const auto at = tree_.find_from(s, 1))
    select(*at);
  else
    host_.message_box(location_not_found_message(s, false), MessageKind::Information, MessageButtons::Ok);
}

void TfrmLocation::find_next() {
  const std::string s = search_text();
  if (const auto at = tree_.find_from(s, last_match_ > 0 ? last_match_ + 1 : 1))
    select(*at);
  else
    host_.message_box(location_not_found_message(s, true), MessageKind::Information, MessageButtons::Ok);
}

void TfrmLocation::ok() {
  const int index = index_of(TreeView1->currentItem());
  const QByteArray zip = edtZip->text().toLatin1();
  const auto choice = choose_location(tree_, index > 0 ? std::optional<int>(index) : std::nullopt,
                                      std::string(zip.constData(), static_cast<std::size_t>(zip.size())));
  switch (choice.outcome) {
    case LocationChoice::Outcome::SelectError:
      host_.beep();
      host_.message_box(choice.message, MessageKind::Warning, MessageButtons::Ok);
      return;
    case LocationChoice::Outcome::EmptyLocation:
      hide();
      host_.beep();
      host_.message_box(choice.message, MessageKind::Warning, MessageButtons::Ok);
      show();
      return;
    case LocationChoice::Outcome::Fetch:
      break;
  }
  hide();
  if (hooks_.fetch) hooks_.fetch(choice.context);
  if (hooks_.play_sound) hooks_.play_sound("sOkay");
  close();
}

void TfrmLocation::cancel() {
  if (hooks_.play_sound) hooks_.play_sound("sCancel");
  close();
}

void TfrmLocation::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  TreeView1->setVisible(true);
  edtZip->clear();
  items_.front()->setExpanded(true);
  node_count_ = static_cast<int>(items_.size());
  lblTotal->setText(QStringLiteral("Total locations available above: ") + QString::number(node_count_));
}

void TfrmLocation::closeEvent(QCloseEvent* event) {
  // Only hidden: the chooser keeps its tree and last match for the run.
  event->accept();
  hide();
}

void TfrmLocation::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    if (hooks_.open_help) hooks_.open_help();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace cirrodex
