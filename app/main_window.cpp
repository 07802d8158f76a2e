#include "app/main_window.h"

#include <QContextMenuEvent>
#include <QFormLayout>
#include <QVBoxLayout>

namespace cirrodex {

namespace {

QString from_latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

struct SlotRow {
  const char* slot;
  const char* label;
};

constexpr SlotRow kRows[] = {
    {"TEXT_LOCATION", "Location:"},
    {"TEXT_CONDTIME", "Updated:"},
    {"TEXT_CONDITIONS", "Conditions:"},
    {"TEXT_TEMP", "Temp:"},
    {"TEXT_HUMIDITY", "Humidity:"},
    {"TEXT_PRESSURE", "Pressure:"},
    {"TEXT_WIND", "Wind:"},
    {"TEXT_VISIBILITY", "Visibility:"},
    {"TEXT_DEWPOINT", "Dew Point:"},
    {"TEXT_WINDCHILL", "Wind Chill:"},
    {"TEXT_HEATINDEX", "Heat Index:"},
    {"TEXT_SUNRISE", "Sunrise:"},
    {"TEXT_SUNSET", "Sunset:"},
    {"TEXT_MOONRISE", "Moon Rise:"},
    {"TEXT_MOONSET", "Moon Set:"},
};

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Cirrodex"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  for (const auto& row : kRows) {
    auto* value = new QLabel(this);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromLatin1(row.label), value);
    slots_.insert(QString::fromLatin1(row.slot), value);
  }
  layout->addLayout(form);
  auto* status = new QLabel(this);
  status->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(status);
  slots_.insert(QStringLiteral("TEXT_STATUSBAR"), status);

  mnuGetStats_ = new QMenu(QStringLiteral("Get Stats"), this);
  for (std::size_t i = 0; i < presetEntries_.size(); ++i) {
    presetEntries_[i] = mnuGetStats_->addAction(QString());
    presetEntries_[i]->setVisible(false);
  }
  resize(338, 368);
}

void TForm1::set_slot_text(const std::string& slot, const std::string& text) {
  // A slot this face does not have is ignored.
  if (QLabel* label = slots_.value(from_latin1(slot))) {
    label->setText(from_latin1(text));
    label->repaint();
  }
}

void TForm1::set_caption(const std::string& caption) { setWindowTitle(from_latin1(caption)); }

std::string TForm1::caption() const { return windowTitle().toLatin1().toStdString(); }

void TForm1::set_preset_entry(int index, const std::string& caption, bool visible) {
  QAction* entry = presetEntries_.at(static_cast<std::size_t>(index));
  // "&" marks an access key in menu texts; a location shows it as it is.
  entry->setText(from_latin1(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
  entry->setVisible(visible);
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) { mnuGetStats_->popup(event->globalPos()); }

}  // namespace cirrodex
