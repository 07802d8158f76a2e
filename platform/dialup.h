#pragma once
// Dial-up lines and the online state: the phone book, dialing with its
// events, the active connections and hanging them up; the detector that
// tells whether the machine is online; the little circle on the main window
// that shows it.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cirrodex {

// Anything the dial-up service refused, in words fit for a log line.
class DialUpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One line that is up (or coming up). handle is opaque to the program and
// only given back to hang_up.
struct ActiveConnection {
  std::string handle;
  std::string device_name;
  std::string device_type;
  std::string entry_name;
  std::string status;
};

// The events of a dial, delivered later from the event loop, never from
// inside dial itself.
class DialUpListener {
 public:
  virtual ~DialUpListener() = default;
  virtual void on_dialing() = 0;
  virtual void on_connected() = 0;
  // The line did not come up (time-out, refused, busy).
  virtual void on_not_connected(int code, const std::string& text) = 0;
  // The dial could not be carried out at all.
  virtual void on_error(int code, const std::string& text) = 0;
  // A step of the dial; state counts the steps of this dial from 1.
  virtual void on_progress(int state, const std::string& text) = 0;
};

class DialUp {
 public:
  virtual ~DialUp() = default;
  // Who hears the dial events; nullptr: nobody.
  virtual void set_listener(DialUpListener* listener) = 0;
  // The names of the phone book's entries. Throws DialUpError.
  virtual std::vector<std::string> entries() = 0;
  // Starts dialing the named entry and returns at once; the events follow.
  // Throws DialUpError when the dial cannot even be started.
  virtual void dial(const std::string& entry) = 0;
  // Throws DialUpError.
  virtual std::vector<ActiveConnection> active_connections() = 0;
  // Returns when the system reports the connection gone. Throws DialUpError.
  virtual void hang_up(const std::string& handle) = 0;
};

class OnlineDetector {
 public:
  virtual ~OnlineDetector() = default;
  // The state as of the detector's last check.
  virtual bool online() const = 0;
  // Called with the new state each time it changes; an empty function
  // stops the calls.
  virtual void set_on_change(std::function<void(bool online)> callback) = 0;
};

// The online indicator: lime while online, red while offline.
class OnlineIndicator {
 public:
  virtual ~OnlineIndicator() = default;
  virtual void set_online(bool online) = 0;
  // Above the skin's picture again, which may have been repainted over it.
  virtual void bring_to_front() = 0;
};

}  // namespace cirrodex
