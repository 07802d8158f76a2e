#include "platform/qt/termination_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace cirrodex {

namespace {

int g_write_end = -1;

// Only async-signal-safe work here: one byte into the socket pair.
void notify(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_write_end, &byte, 1);
}

}  // namespace

void on_termination_signals(std::function<void()> on_signal) {
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0) return;
  g_write_end = pair[0];
  auto* notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                   [read_end = pair[1], on_signal = std::move(on_signal)] {
                     char bytes[16];
                     while (::read(read_end, bytes, sizeof bytes) > 0) {
                     }
                     on_signal();
                   });
  struct sigaction action {};
  action.sa_handler = notify;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

}  // namespace cirrodex
