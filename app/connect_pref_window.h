#pragma once
// TfrmConnectPref: how the user reaches the Internet (dial-up entry, dialing
// and hanging up, quietly watching), the proxy and authentication values and
// the connection time-out. The values and what OK writes live in the
// connection logic; this window only shows them and keeps the controls'
// enabled states. Sounds, the Watcher timer and the running time-out are
// the program's, handed in as effects.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/core/connection.h"
#include "app/core/running_state.h"
#include "platform/dialup.h"
#include "platform/host.h"
#include "platform/settings.h"

class QShowEvent;
class QStyle;

namespace cirrodex {

class TfrmConnectPref final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 413;
  static constexpr int kHeight = 391;

  TfrmConnectPref(Settings& settings, Host& host, DialUp& dialup, RunningState& state, ConnectionPrefsEffects effects,
                  QWidget* parent = nullptr);
  ~TfrmConnectPref() override;

  // What showing the window does: the first page, the values from the
  // settings and the enabled states that go with them.
  void FormShow();
  // The controls' values.
  ConnectionPrefsForm form() const;

  void radioDialupClick();
  void radioDirectClick();
  void ckProxyClick();
  void ckAuthClick();
  void btnOkayClick();
  void btnCancelClick();

  void done(int result) override;

  static QColor silver() { return QColor(192, 192, 192); }
  static QColor grey_text() { return QColor(128, 128, 128); }

  QTabWidget* tabs() const { return tabs_; }
  QLabel* how_label() const { return lblHow_; }
  QRadioButton* dialup_radio() const { return radioDialup_; }
  QRadioButton* direct_radio() const { return radioDirect_; }
  QLabel* entry_label() const { return lblEntry_; }
  QComboBox* entry_list() const { return cboEntry_; }
  QLabel* dial_label() const { return lblDial_; }
  QCheckBox* dial_box() const { return ckDial_; }
  QLabel* hang_up_label() const { return lblHangUp_; }
  QCheckBox* hang_up_box() const { return ckHangUp_; }
  QLabel* watch_label() const { return lblWatch_; }
  QCheckBox* watch_box() const { return ckWatch_; }
  QCheckBox* auto_proxy_box() const { return ckAutoProxy_; }
  QGroupBox* proxy_group() const { return grpProxy_; }
  QCheckBox* proxy_box() const { return ckProxy_; }
  QLineEdit* proxy_field() const { return txtProxy_; }
  QLineEdit* proxy_port_field() const { return txtProxyPort_; }
  QLineEdit* proxy_user_field() const { return txtProxyUser_; }
  QLineEdit* proxy_password_field() const { return txtProxyPass_; }
  QGroupBox* auth_group() const { return grpAuth_; }
  QCheckBox* auth_box() const { return ckAuth_; }
  QLineEdit* auth_port_field() const { return txtAuthPort_; }
  QLineEdit* auth_user_field() const { return txtAuthUser_; }
  QLineEdit* auth_password_field() const { return txtAuthPass_; }
  QGroupBox* timeout_group() const { return grpTimeout_; }
  QLabel* timeout_label() const { return lblTimeout_; }
  QComboBox* timeout_list() const { return cboTimeout_; }
  QPushButton* ok_button() const { return btnOkay_; }
  QPushButton* cancel_button() const { return btnCancel_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* connection_page();
  QWidget* proxy_page();
  QWidget* other_page();
  void set_field(QLineEdit* field, bool enabled);
  void set_label(QLabel* label, bool normal);
  void set_proxy_fields(bool enabled);
  void set_auth_fields(bool enabled);
  void play(std::string_view name) const;

  Settings& settings_;
  Host& host_;
  DialUp& dialup_;
  RunningState& state_;
  ConnectionPrefsEffects effects_;
  QStyle* star_mask_;

  QTabWidget* tabs_;
  QLabel* lblHow_;
  QRadioButton* radioDialup_;
  QRadioButton* radioDirect_;
  QLabel* lblEntry_;
  QComboBox* cboEntry_;
  QLabel* lblDial_;
  QCheckBox* ckDial_;
  QLabel* lblHangUp_;
  QCheckBox* ckHangUp_;
  QLabel* lblWatch_;
  QCheckBox* ckWatch_;
  QCheckBox* ckAutoProxy_;
  QGroupBox* grpProxy_;
  QCheckBox* ckProxy_;
  QLineEdit* txtProxy_;
  QLineEdit* txtProxyPort_;
  QLineEdit* txtProxyUser_;
  QLineEdit* txtProxyPass_;
  QGroupBox* grpAuth_;
  QCheckBox* ckAuth_;
  QLineEdit* txtAuthPort_;
  QLineEdit* txtAuthUser_;
  QLineEdit* txtAuthPass_;
  QGroupBox* grpTimeout_;
  QLabel* lblTimeout_;
  QComboBox* cboTimeout_;
  QPushButton* btnOkay_;
  QPushButton* btnCancel_;
};

}  // namespace cirrodex
