#include "platform/qt/nm_dialup.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <array>

#include "platform/text.h"

namespace cirrodex {

namespace {

// nmcli's exit code when NetworkManager is not running.
constexpr int kNmNotRunning = 8;
constexpr unsigned kIffUp = 0x1;

QString from_latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

std::string last_line(const std::string& out) {
  std::string last;
  std::size_t start = 0;
  while (start <= out.size()) {
    const std::size_t end = std::min(out.find('\n', start), out.size());
    if (std::string line = text::trim(std::string_view(out).substr(start, end - start)); !line.empty())
      last = std::move(line);
    start = end + 1;
  }
  return last;
}

std::string message_of(const std::string& err, const std::string& out, int code) {
  if (std::string line = last_line(err); !line.empty()) return line;
  if (std::string line = last_line(out); !line.empty()) return line;
  return "exit code " + std::to_string(code);
}

QByteArray read_all(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

// --- Text work ---

std::vector<std::string> split_terse_fields(std::string_view line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      fields.back() += line[++i];
    } else if (c == ':') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::vector<NmConnection> parse_nmcli_connections(std::string_view output) {
  std::vector<NmConnection> out;
  std::size_t start = 0;
  while (start < output.size()) {
    const std::size_t end = std::min(output.find('\n', start), output.size());
    std::string_view line = output.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string> f = split_terse_fields(line);
    if (f.size() < 4) continue;
    out.push_back({f[0], f[1], f[2], f[3], f.size() > 4 ? f[4] : std::string()});
  }
  return out;
}

bool is_dialup_type(std::string_view type) {
  static constexpr std::array<std::string_view, 5> kTypes = {"gsm", "cdma", "pppoe", "bluetooth", "adsl"};
  return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

DialResult nmcli_up_result(int exit_code) {
  switch (exit_code) {
    case 0:
      return DialResult::Connected;
    case 3:
    case 4:
      return DialResult::NotConnected;
    default:
      return DialResult::Error;
  }
}

std::optional<std::string> pppd_call_name(std::string_view cmdline) {
  std::vector<std::string_view> args;
  std::size_t start = 0;
  while (start < cmdline.size()) {
    const std::size_t end = std::min(cmdline.find('\0', start), cmdline.size());
    args.push_back(cmdline.substr(start, end - start));
    start = end + 1;
  }
  if (args.empty()) return std::nullopt;
  const std::string_view program =
      args[0].substr(args[0].rfind('/') == std::string_view::npos ? 0 : args[0].rfind('/') + 1);
  if (program != "pppd") return std::nullopt;
  for (std::size_t i = 1; i + 1 < args.size(); ++i)
    if (args[i] == "call" && !args[i + 1].empty()) return std::string(args[i + 1]);
  return std::nullopt;
}

bool is_peer_file_name(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.back() == '~') return false;
  for (std::string_view leftover : {".dpkg-", ".ucf-", ".bak", ".orig", ".swp"})
    if (name.find(leftover) != std::string_view::npos) return false;
  return true;
}

// --- NmDialUp ---

NmDialUp::NmDialUp(NmDialUpOptions options) : options_(std::move(options)) {
  link_timer_.setInterval(options_.link_poll_ms);
  QObject::connect(&link_timer_, &QTimer::timeout, &link_timer_, [this] { poll_link(); });
}

NmDialUp::~NmDialUp() {
  if (process_ != nullptr) {
    // NetworkManager or pppd carry on with the line; only the watcher goes.
    QObject::disconnect(process_, nullptr, nullptr, nullptr);
    process_->kill();
    process_->waitForFinished(1000);
    delete process_;
  }
}

NmDialUp::Run NmDialUp::run(const QString& program, const QStringList& arguments, int timeout_ms) const {
  Run r;
  QProcess p;
  p.start(program, arguments);
  if (!p.waitForStarted(timeout_ms)) return r;
  r.started = true;
  p.closeWriteChannel();
  if (!p.waitForFinished(timeout_ms)) {
    p.kill();
    p.waitForFinished(1000);
    throw DialUpError(program.toStdString() + " did not answer in time");
  }
  r.out = text::utf8_to_latin1(p.readAllStandardOutput().toStdString());
  r.err = text::utf8_to_latin1(p.readAllStandardError().toStdString());
  r.exit_code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  return r;
}

std::optional<std::vector<NmConnection>> NmDialUp::nm_list(bool active) const {
  QStringList args = {QStringLiteral("-t"), QStringLiteral("-f"),
                      active ? QStringLiteral("NAME,UUID,TYPE,DEVICE,STATE") : QStringLiteral("NAME,UUID,TYPE,DEVICE"),
                      QStringLiteral("connection"), QStringLiteral("show")};
  if (active) args << QStringLiteral("--active");
  const Run r = run(options_.nmcli, args, options_.command_timeout_ms);
  if (!r.started || r.exit_code == kNmNotRunning) return std::nullopt;
  if (r.exit_code != 0) throw DialUpError("nmcli: " + message_of(r.err, r.out, r.exit_code));
  std::vector<NmConnection> lines = parse_nmcli_connections(r.out);
  // Only lines that dial: hanging up "the first connection" must never take
  // the LAN down.
  lines.erase(std::remove_if(lines.begin(), lines.end(), [](const NmConnection& c) { return !is_dialup_type(c.type); }),
              lines.end());
  return lines;
}

std::vector<std::string> NmDialUp::entries() {
  std::vector<std::string> names;
  if (const auto nm = nm_list(false)) {
    for (const NmConnection& c : *nm) names.push_back(c.name);
    return names;
  }
  const QDir peers(options_.peers_dir);
  for (const QString& name : peers.entryList(QDir::Files | QDir::Readable, QDir::Name)) {
    const std::string latin = name.toLatin1().toStdString();
    if (is_peer_file_name(latin)) names.push_back(latin);
  }
  return names;
}

std::vector<std::string> NmDialUp::ppp_running() const {
  std::vector<std::string> peers;
  const QDir proc(options_.proc_dir);
  for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    bool number = false;
    pid.toLongLong(&number);
    if (!number) continue;
    const QByteArray cmdline = read_all(proc.filePath(pid + QStringLiteral("/cmdline")));
    if (auto name = pppd_call_name(std::string_view(cmdline.constData(), static_cast<std::size_t>(cmdline.size())));
        name && std::find(peers.begin(), peers.end(), *name) == peers.end())
      peers.push_back(std::move(*name));
  }
  return peers;
}

bool NmDialUp::ppp_link_up() const {
  const QDir net(options_.net_dir);
  for (const QString& name : net.entryList({QStringLiteral("ppp*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
    bool ok = false;
    const unsigned flags =
        QString::fromLatin1(read_all(net.filePath(name + QStringLiteral("/flags"))).trimmed()).toUInt(&ok, 16);
    if (ok && (flags & kIffUp) != 0) return true;
  }
  return false;
}

std::vector<ActiveConnection> NmDialUp::active_connections() {
  std::vector<ActiveConnection> lines;
  if (const auto nm = nm_list(true)) {
    for (const NmConnection& c : *nm) lines.push_back({"nm:" + c.uuid, c.device, c.type, c.name, c.state});
    return lines;
  }
  for (const std::string& peer : ppp_running()) lines.push_back({"ppp:" + peer, "", "ppp", peer, "running"});
  return lines;
}

void NmDialUp::hang_up(const std::string& handle) {
  if (handle.rfind("nm:", 0) == 0) {
    const Run r = run(
        options_.nmcli,
        {QStringLiteral("connection"), QStringLiteral("down"), QStringLiteral("uuid"), from_latin1(handle.substr(3))},
        options_.hang_up_timeout_ms);
    if (!r.started) throw DialUpError("nmcli could not be started");
    if (r.exit_code != 0) throw DialUpError("nmcli: " + message_of(r.err, r.out, r.exit_code));
    return;
  }
  if (handle.rfind("ppp:", 0) != 0) throw DialUpError("not a connection of this program: " + handle);
  const std::string peer = handle.substr(4);
  const Run r = run(options_.poff, {from_latin1(peer)}, options_.command_timeout_ms);
  if (!r.started) throw DialUpError("poff could not be started");
  if (r.exit_code != 0) throw DialUpError("poff: " + message_of(r.err, r.out, r.exit_code));
  // poff only signals pppd; the line is gone when pppd is.
  for (int waited = 0;; waited += 100) {
    const std::vector<std::string> running = ppp_running();
    if (std::find(running.begin(), running.end(), peer) == running.end()) return;
    if (waited >= options_.hang_up_timeout_ms) throw DialUpError("pppd for " + peer + " is still running");
    QThread::msleep(100);
  }
}

void NmDialUp::dial(const std::string& entry) {
  if (dialing()) throw DialUpError("a dial is already in progress");
  if (const auto nm = nm_list(false)) {
    const auto it = std::find_if(nm->begin(), nm->end(), [&](const NmConnection& c) { return c.name == entry; });
    if (it == nm->end()) throw DialUpError("no dial-up connection named " + entry);
    start_dial(options_.nmcli,
               {QStringLiteral("--wait"), QStringLiteral("90"), QStringLiteral("connection"), QStringLiteral("up"),
                QStringLiteral("uuid"), from_latin1(it->uuid)},
               false, entry);
    return;
  }
  if (!QFile::exists(QDir(options_.peers_dir).filePath(from_latin1(entry))) || !is_peer_file_name(entry) ||
      entry.find('/') != std::string::npos)
    throw DialUpError("no pppd peer named " + entry);
  start_dial(options_.pon, {from_latin1(entry)}, true, entry);
}

void NmDialUp::start_dial(const QString& program, const QStringList& arguments, bool ppp, const std::string& peer) {
  ppp_dial_ = ppp;
  peer_ = peer;
  pending_out_.clear();
  step_ = 0;
  process_ = new QProcess;
  QProcess* p = process_;
  QObject::connect(p, &QProcess::started, p, [this] {
    if (listener_) listener_->on_dialing();
  });
  QObject::connect(p, &QProcess::readyReadStandardOutput, p, [this] { dial_output(); });
  QObject::connect(p, &QProcess::finished, p, [this](int code, QProcess::ExitStatus status) {
    dial_finished(code, status != QProcess::NormalExit);
  });
  QObject::connect(p, &QProcess::errorOccurred, p, [this](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    process_->deleteLater();
    process_ = nullptr;
    // A program that is not there fails inside start(): the event still
    // comes from the event loop, as every dial event does.
    const std::string why = (ppp_dial_ ? "pon" : "nmcli") + std::string(" could not be started");
    QMetaObject::invokeMethod(
        &link_timer_,
        [this, why] {
          if (listener_) listener_->on_error(-1, why);
        },
        Qt::QueuedConnection);
  });
  p->start(program, arguments);
}

void NmDialUp::progress(const std::string& text) {
  if (listener_) listener_->on_progress(++step_, text);
}

void NmDialUp::dial_output() {
  pending_out_ += text::utf8_to_latin1(process_->readAllStandardOutput().toStdString());
  std::size_t end;
  while ((end = pending_out_.find('\n')) != std::string::npos) {
    const std::string line = text::trim(std::string_view(pending_out_).substr(0, end));
    pending_out_.erase(0, end + 1);
    if (!line.empty()) progress(line);
  }
}

void NmDialUp::dial_finished(int exit_code, bool crashed) {
  dial_output();
  if (const std::string rest = text::trim(pending_out_); !rest.empty()) progress(rest);
  pending_out_.clear();
  const std::string err = text::utf8_to_latin1(process_->readAllStandardError().toStdString());
  process_->deleteLater();
  process_ = nullptr;
  const std::string message = message_of(err, "", exit_code);
  if (crashed) {
    if (listener_) listener_->on_error(-1, (ppp_dial_ ? "pon" : "nmcli") + std::string(" ended unexpectedly"));
    return;
  }
  if (ppp_dial_) {
    if (exit_code != 0) {
      if (listener_) listener_->on_error(exit_code, message);
      return;
    }
    // pppd has gone to the background; the link is up when its interface is.
    link_waited_ms_ = 0;
    link_timer_.start();
    return;
  }
  switch (nmcli_up_result(exit_code)) {
    case DialResult::Connected:
      if (listener_) listener_->on_connected();
      break;
    case DialResult::NotConnected:
      if (listener_) listener_->on_not_connected(exit_code, message);
      break;
    case DialResult::Error:
      if (listener_) listener_->on_error(exit_code, message);
      break;
  }
}

void NmDialUp::poll_link() {
  link_waited_ms_ += options_.link_poll_ms;
  if (ppp_link_up()) {
    link_timer_.stop();
    if (listener_) listener_->on_connected();
    return;
  }
  const std::vector<std::string> running = ppp_running();
  if (std::find(running.begin(), running.end(), peer_) == running.end()) {
    link_timer_.stop();
    if (listener_) listener_->on_not_connected(4, "pppd for " + peer_ + " ended before the link came up");
    return;
  }
  if (link_waited_ms_ >= options_.link_timeout_ms) {
    link_timer_.stop();
    if (listener_) listener_->on_not_connected(3, "the link to " + peer_ + " did not come up in time");
  }
}

}  // namespace cirrodex
