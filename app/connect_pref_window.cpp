#include "app/connect_pref_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QProxyStyle>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>

namespace cirrodex {

namespace {

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string to_latin1(const QString& text) { return text.toLatin1().toStdString(); }

// Labels have no access keys here, so "&&" is written as the one "&" it shows.
QLabel* caption_label(const char* caption, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(caption).replace(QStringLiteral("&&"), QStringLiteral("&")), parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

// Password fields show "*" for each character, whatever the style's own mark.
class StarMaskStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

}  // namespace

TfrmConnectPref::TfrmConnectPref(Settings& settings, Host& host, DialUp& dialup, RunningState& state,
                                 ConnectionPrefsEffects effects, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      host_(host),
      dialup_(dialup),
      state_(state),
      effects_(std::move(effects)),
      star_mask_(new StarMaskStyle),
      tabs_(new QTabWidget(this)),
      lblHow_(caption_label("How do you connect to the Internet?", this)),
      radioDialup_(new QRadioButton(QStringLiteral("Dial-Up Connection"), this)),
      radioDirect_(new QRadioButton(QStringLiteral("LAN/Cable/Direct Connection"), this)),
      lblEntry_(caption_label("Choose dial-up connection:", this)),
      cboEntry_(new QComboBox(this)),
      lblDial_(caption_label("Want Cirrodex to dial-up as needed?", this)),
      ckDial_(new QCheckBox(QStringLiteral("Yes."), this)),
      lblHangUp_(caption_label("If you're using a Dial-up connection, would you like Cirrodex to hang-up the "
                               "connection when done (on initial && auto-updates)?",
                               this)),
      ckHangUp_(new QCheckBox(QStringLiteral("Yes, hang-up when done."), this)),
      lblWatch_(caption_label("Would you like Cirrodex to quietly watch until you connect, then update?", this)),
      ckWatch_(new QCheckBox(QStringLiteral("Yes, quietly watch"), this)),
      ckAutoProxy_(
          new QCheckBox(QStringLiteral("Automatically adjust for proxy settings.  (This is still in BETA)"), this)),
      grpProxy_(new QGroupBox(QStringLiteral(" Proxy Settings "), this)),
      ckProxy_(new QCheckBox(QStringLiteral("Use these Proxy Settings"), this)),
      txtProxy_(new QLineEdit(this)),
      txtProxyPort_(new QLineEdit(this)),
      txtProxyUser_(new QLineEdit(this)),
      txtProxyPass_(new QLineEdit(this)),
      grpAuth_(new QGroupBox(QStringLiteral("  Authentication Settings  "), this)),
      ckAuth_(new QCheckBox(QStringLiteral("Use these Authentication Settings"), this)),
      txtAuthPort_(new QLineEdit(this)),
      txtAuthUser_(new QLineEdit(this)),
      txtAuthPass_(new QLineEdit(this)),
      grpTimeout_(new QGroupBox(QStringLiteral(" Connection Timeout  "), this)),
      lblTimeout_(caption_label("Default is 120 seconds.", this)),
      cboTimeout_(new QComboBox(this)),
      btnOkay_(new QPushButton(QStringLiteral("&OK"), this)),
      btnCancel_(new QPushButton(QStringLiteral("&Cancel"), this)) {
  setObjectName(QStringLiteral("frmConnectPref"));
  setWindowTitle(QStringLiteral("Cirrodex - Connection Preferences"));
  setFixedSize(kWidth, kHeight);
  star_mask_->setParent(this);

  tabs_->addTab(connection_page(), QStringLiteral("Connection Settings"));
  tabs_->addTab(proxy_page(), QStringLiteral("Proxy Settings"));
  tabs_->addTab(other_page(), QStringLiteral("Other"));

  btnOkay_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnOkay_);
  buttons->addWidget(btnCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addLayout(buttons);

  connect(radioDialup_, &QRadioButton::clicked, this, &TfrmConnectPref::radioDialupClick);
  connect(radioDirect_, &QRadioButton::clicked, this, &TfrmConnectPref::radioDirectClick);
  connect(ckProxy_, &QCheckBox::clicked, this, &TfrmConnectPref::ckProxyClick);
  connect(ckAuth_, &QCheckBox::clicked, this, &TfrmConnectPref::ckAuthClick);
  connect(btnOkay_, &QPushButton::clicked, this, &TfrmConnectPref::btnOkayClick);
  connect(btnCancel_, &QPushButton::clicked, this, &TfrmConnectPref::btnCancelClick);
}

// The dial-up choices.
QWidget* TfrmConnectPref::connection_page() {
  auto* connection_page = new QWidget;
  auto* c = new QVBoxLayout(connection_page);
  c->addWidget(lblHow_);
  auto* choices = new QHBoxLayout;
  choices->addWidget(radioDialup_);
  choices->addWidget(radioDirect_);
  choices->addStretch(1);
  c->addLayout(choices);
  c->addWidget(lblEntry_);
  c->addWidget(cboEntry_);
  c->addWidget(lblDial_);
  c->addWidget(ckDial_);
  c->addWidget(lblHangUp_);
  c->addWidget(ckHangUp_);
  c->addWidget(lblWatch_);
  c->addWidget(ckWatch_);
  c->addStretch(1);
  return connection_page;
}

// The automatic proxy box, the proxy and the authentication settings.
QWidget* TfrmConnectPref::proxy_page() {
  auto* proxy_page = new QWidget;
  auto* p = new QVBoxLayout(proxy_page);
  p->addWidget(ckAutoProxy_);
  auto* pg = new QGridLayout(grpProxy_);
  pg->addWidget(ckProxy_, 0, 0, 1, 4);
  pg->addWidget(caption_label("Proxy:", grpProxy_), 1, 0);
  pg->addWidget(txtProxy_, 1, 1);
  pg->addWidget(caption_label("Proxy Port:", grpProxy_), 1, 2);
  pg->addWidget(txtProxyPort_, 1, 3);
  pg->addWidget(caption_label("Userid:", grpProxy_), 2, 0);
  pg->addWidget(txtProxyUser_, 2, 1);
  pg->addWidget(caption_label("Password:", grpProxy_), 2, 2);
  pg->addWidget(txtProxyPass_, 2, 3);
  p->addWidget(grpProxy_);
  auto* ag = new QGridLayout(grpAuth_);
  ag->addWidget(ckAuth_, 0, 0, 1, 4);
  ag->addWidget(caption_label("Port:", grpAuth_), 1, 0);
  ag->addWidget(txtAuthPort_, 1, 1);
  ag->addWidget(caption_label("Userid:", grpAuth_), 2, 0);
  ag->addWidget(txtAuthUser_, 2, 1);
  ag->addWidget(caption_label("Password:", grpAuth_), 2, 2);
  ag->addWidget(txtAuthPass_, 2, 3);
  p->addWidget(grpAuth_);
  p->addStretch(1);
  for (QLineEdit* secret : {txtProxyPass_, txtAuthPass_}) {
    secret->setEchoMode(QLineEdit::Password);
    secret->setStyle(star_mask_);
  }
  return proxy_page;
}

// The connection time-out.
QWidget* TfrmConnectPref::other_page() {
  auto* other_page = new QWidget;
  auto* o = new QVBoxLayout(other_page);
  auto* tg = new QVBoxLayout(grpTimeout_);
  tg->addWidget(lblTimeout_);
  tg->addWidget(cboTimeout_);
  for (std::string_view choice : kTimeoutChoices) cboTimeout_->addItem(latin1(choice));
  o->addWidget(grpTimeout_);
  o->addStretch(1);
  return other_page;
}

// The style is the last child, so it outlives the fields that use it.
TfrmConnectPref::~TfrmConnectPref() = default;

void TfrmConnectPref::play(std::string_view name) const {
  if (effects_.play_sound) effects_.play_sound(name);
}

void TfrmConnectPref::set_field(QLineEdit* field, bool enabled) {
  field->setEnabled(enabled);
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, enabled ? QApplication::palette(field).color(QPalette::Base) : silver());
  field->setPalette(palette);
}

void TfrmConnectPref::set_label(QLabel* label, bool normal) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText,
                   normal ? QApplication::palette(label).color(QPalette::WindowText) : grey_text());
  label->setPalette(palette);
}

void TfrmConnectPref::set_proxy_fields(bool enabled) {
  for (QLineEdit* field : {txtProxy_, txtProxyPort_, txtProxyUser_, txtProxyPass_}) set_field(field, enabled);
}

void TfrmConnectPref::set_auth_fields(bool enabled) {
  for (QLineEdit* field : {txtAuthPort_, txtAuthUser_, txtAuthPass_}) set_field(field, enabled);
}

ConnectionPrefsForm TfrmConnectPref::form() const {
  ConnectionPrefsForm f;
  f.timeout_choice = to_latin1(cboTimeout_->currentText());
  f.auto_proxy = ckAutoProxy_->isChecked();
  f.use_proxy = ckProxy_->isChecked();
  f.proxy = to_latin1(txtProxy_->text());
  f.proxy_port = to_latin1(txtProxyPort_->text());
  f.proxy_user = to_latin1(txtProxyUser_->text());
  f.proxy_password = to_latin1(txtProxyPass_->text());
  f.use_auth = ckAuth_->isChecked();
  f.auth_port = to_latin1(txtAuthPort_->text());
  f.auth_user = to_latin1(txtAuthUser_->text());
  f.auth_password = to_latin1(txtAuthPass_->text());
  f.dialup_connection = radioDialup_->isChecked();
  for (int i = 0; i < cboEntry_->count(); ++i) f.entry_names.push_back(to_latin1(cboEntry_->itemText(i)));
  f.entry = to_latin1(cboEntry_->currentText());
  f.dial_as_needed = ckDial_->isChecked();
  f.hang_up_when_done = ckHangUp_->isChecked();
  f.quiet_watch = ckWatch_->isChecked();
  return f;
}

void TfrmConnectPref::FormShow() {
  tabs_->setCurrentIndex(0);
  ConnectionPrefsForm f = form();
  load_connection_prefs(settings_, f);

  cboTimeout_->setCurrentText(latin1(f.timeout_choice));
  ckAutoProxy_->setChecked(f.auto_proxy);
  ckProxy_->setChecked(f.use_proxy);
  set_proxy_fields(f.use_proxy);
  ckAuth_->setChecked(f.use_auth);
  set_auth_fields(f.use_auth);
  txtProxy_->setText(latin1(f.proxy));
  txtProxyPort_->setText(latin1(f.proxy_port));
  txtProxyUser_->setText(latin1(f.proxy_user));
  txtProxyPass_->setText(latin1(f.proxy_password));
  txtAuthPort_->setText(latin1(f.auth_port));
  txtAuthUser_->setText(latin1(f.auth_user));
  txtAuthPass_->setText(latin1(f.auth_password));

  if (!f.dialup_connection) {
    radioDirect_->setChecked(true);
    radioDirectClick();
  } else {
    radioDialup_->setChecked(true);
    cboEntry_->clear();
    for (const std::string& name : f.entry_names) cboEntry_->addItem(latin1(name));
    cboEntry_->setCurrentIndex(cboEntry_->findText(latin1(f.entry)));
    // The hang-up box keeps the state it had: only a click on the dial-up
    // choice enables it.
    for (QWidget* control : std::initializer_list<QWidget*>{cboEntry_, ckDial_, ckWatch_}) control->setEnabled(true);
    for (QLabel* label : {lblEntry_, lblDial_, lblWatch_}) set_label(label, true);
  }
  ckDial_->setChecked(f.dial_as_needed);
  ckHangUp_->setChecked(f.hang_up_when_done);
  ckWatch_->setChecked(f.quiet_watch);
}

void TfrmConnectPref::radioDialupClick() {
  cboEntry_->setEnabled(true);
  cboEntry_->clear();
  try {
    for (const std::string& name : dialup_.entries()) cboEntry_->addItem(latin1(name));
  } catch (const std::exception&) {
    host_.beep();
  }
  // Nothing chosen yet: the user picks the entry.
  cboEntry_->setCurrentIndex(-1);
  for (QWidget* control : std::initializer_list<QWidget*>{ckDial_, ckHangUp_, ckWatch_}) control->setEnabled(true);
  for (QLabel* label : {lblEntry_, lblDial_, lblHangUp_, lblWatch_}) set_label(label, true);
}

void TfrmConnectPref::radioDirectClick() {
  for (QWidget* control : std::initializer_list<QWidget*>{cboEntry_, ckDial_, ckHangUp_, ckWatch_})
    control->setEnabled(false);
  for (QLabel* label : {lblEntry_, lblDial_, lblHangUp_, lblWatch_}) set_label(label, false);
}

void TfrmConnectPref::ckProxyClick() {
  // The fields follow the proxy field's own state, not the box.
  set_proxy_fields(!txtProxy_->isEnabled());
}

void TfrmConnectPref::ckAuthClick() { set_auth_fields(ckAuth_->isChecked()); }

void TfrmConnectPref::btnOkayClick() {
  if (apply_connection_prefs(form(), settings_, host_, state_, effects_) == PrefsOutcome::KeepOpen) return;
  accept();
  play("sOkay");
}

void TfrmConnectPref::btnCancelClick() {
  play("sCancel");
  reject();
}

void TfrmConnectPref::done(int result) {
  // Every way of closing (OK, Cancel, Escape, the title bar) ends here.
  if (isVisible()) play("sOkay");
  QDialog::done(result);
}

void TfrmConnectPref::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    if (const QScreen* desktop = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(desktop->geometry().center());
      move(frame.topLeft());
    }
    FormShow();
  }
  QDialog::showEvent(event);
}

}  // namespace cirrodex
