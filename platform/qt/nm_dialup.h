#pragma once
// The dial-up port on Linux: NetworkManager's mobile-broadband, PPPoE,
// Bluetooth and ADSL connections through nmcli, or, where nmcli is missing
// or NetworkManager is not running, the pppd peers in /etc/ppp/peers
// through pon and poff. Short commands wait a bounded time; the dial runs
// in the background and reports through the event loop.

#include <QProcess>
#include <QString>
#include <QTimer>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialup.h"

namespace cirrodex {

// --- What nmcli and /proc say, as plain text work ---

struct NmConnection {
  std::string name, uuid, type, device, state;
};

// One line of nmcli's terse output: fields split at ":", with "\:" and "\\"
// standing for a colon and a backslash inside a field.
std::vector<std::string> split_terse_fields(std::string_view line);
// Lines of NAME:UUID:TYPE:DEVICE[:STATE]; lines with too few fields are skipped.
std::vector<NmConnection> parse_nmcli_connections(std::string_view output);
// gsm, cdma, pppoe, bluetooth and adsl: the kinds that dial a line.
bool is_dialup_type(std::string_view type);

enum class DialResult { Connected, NotConnected, Error };
// What the exit code of "nmcli connection up" means: 0 up; 3 (time-out) and
// 4 (activation failed) a line that did not come up; anything else an error.
DialResult nmcli_up_result(int exit_code);

// The peer of a "pppd call NAME" command line (arguments separated by NUL).
std::optional<std::string> pppd_call_name(std::string_view cmdline);
// Files of /etc/ppp/peers that name a peer: not hidden, no editor or
// package-manager leftovers.
bool is_peer_file_name(std::string_view name);

// --- The adapter ---

struct NmDialUpOptions {
  QString nmcli = QStringLiteral("nmcli");
  QString pon = QStringLiteral("pon");
  QString poff = QStringLiteral("poff");
  QString peers_dir = QStringLiteral("/etc/ppp/peers");
  QString proc_dir = QStringLiteral("/proc");
  QString net_dir = QStringLiteral("/sys/class/net");
  int command_timeout_ms = 5000;
  int hang_up_timeout_ms = 30000;
  // pppd's dial: how long to wait for the link, and how often to look.
  int link_timeout_ms = 90000;
  int link_poll_ms = 1000;
};

class NmDialUp final : public DialUp {
 public:
  explicit NmDialUp(NmDialUpOptions options = {});
  ~NmDialUp() override;
  NmDialUp(const NmDialUp&) = delete;
  NmDialUp& operator=(const NmDialUp&) = delete;

  void set_listener(DialUpListener* listener) override { listener_ = listener; }
  std::vector<std::string> entries() override;
  void dial(const std::string& entry) override;
  std::vector<ActiveConnection> active_connections() override;
  void hang_up(const std::string& handle) override;

  bool dialing() const { return process_ != nullptr || link_timer_.isActive(); }

 private:
  struct Run {
    bool started = false;
    int exit_code = -1;
    std::string out, err;
  };
  Run run(const QString& program, const QStringList& arguments, int timeout_ms) const;
  // nmcli's listing, or nothing when NetworkManager cannot be asked.
  std::optional<std::vector<NmConnection>> nm_list(bool active) const;
  std::vector<std::string> ppp_running() const;
  bool ppp_link_up() const;
  void start_dial(const QString& program, const QStringList& arguments, bool ppp, const std::string& peer);
  void dial_output();
  void dial_finished(int exit_code, bool crashed);
  void poll_link();
  void progress(const std::string& text);

  NmDialUpOptions options_;
  DialUpListener* listener_ = nullptr;
  QProcess* process_ = nullptr;
  bool ppp_dial_ = false;
  std::string peer_;
  std::string pending_out_;
  int step_ = 0;
  QTimer link_timer_;
  int link_waited_ms_ = 0;
};

}  // namespace cirrodex
