#pragma once
// The host: what background work may ask of the window it runs in.

#include <string>

namespace cirrodex {

enum class MessageKind { Information, Warning, Error, Confirmation, Plain };
enum class MessageButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class Host {
 public:
  virtual ~Host() = default;
  // Puts the text on the status line and paints it at once, so it stays
  // readable while the caller goes on without returning to the event loop.
  virtual void show_status(const std::string& text) = 0;
  virtual void beep() = 0;
  // Blocks the caller for ms milliseconds; the window keeps painting but
  // user input is held back.
  virtual void pause(int ms) = 0;
  // A modal message box; returns the button the user chose.
  virtual MessageAnswer message_box(const std::string& text, MessageKind kind, MessageButtons buttons) = 0;
  virtual void repaint() = 0;
};

}  // namespace cirrodex
