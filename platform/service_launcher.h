#pragma once
// Starting the conditions service as a child of the program. The program
// binds the listening socket on loopback itself and hands it over the way
// systemd hands sockets (LISTEN_FDS), so the address is known at once and
// requests wait in the socket's queue until the child takes them.

#include <optional>
#include <string>

namespace cirrodex {

class ServiceLauncher {
 public:
  virtual ~ServiceLauncher() = default;

  // Whether something accepts a connection at host:port (a loopback
  // address) within a short wait.
  virtual bool answers(const std::string& host, int port) = 0;

  struct Child {
    int pid = 0;
    int port = 0;  // on 127.0.0.1
  };
  // Binds 127.0.0.1 on a free port and starts the program with the socket.
  // Empty, with why set, when either cannot be done.
  virtual std::optional<Child> start(const std::string& program, std::string& why) = 0;
  // Whether the process is still there (any process of ours with that id).
  virtual bool running(int pid) = 0;
  // Asks it to end, and makes it end when it does not within a moment.
  virtual void stop(int pid) = 0;
};

}  // namespace cirrodex
